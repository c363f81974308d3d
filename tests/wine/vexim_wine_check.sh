#!/usr/bin/env bash
# The Windows check: builds vexim.exe for 64-bit Windows, runs it under wine64 on a virtual X
# display for one unattended Modbus/TCP download to the KRT module simulator, and checks its
# exit code and the module's memory (the stored digest must be the file's). The run is bounded,
# so a dialog that waits for an answer fails the check instead of hanging it.
#   tests/wine/vexim_wine_check.sh [linux build dir]   (default build/linux; it provides krtsim
#                                                       and the sample-object tools)
set -euo pipefail
cd "$(dirname "$0")/../.."

linux_build=${1:-build/linux}
win_build=${VEXIM_WIN64_BUILD:-build/win64}
run_limit=${VEXIM_WINE_TIMEOUT:-180}

wine_loader=/usr/lib/wine/wine64
[ -x "$wine_loader" ] || wine_loader=$(command -v wine64 || command -v wine)

cmake -S . -B "$win_build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake >/dev/null
cmake --build "$win_build" --target vexim
cmake --build "$linux_build" --target krtsim make_sample_vxo check_stored_digest

work=$(mktemp -d)
sim_pid=""
cleanup() {
  if [ -n "$sim_pid" ] && kill -0 "$sim_pid" 2>/dev/null; then kill -TERM "$sim_pid"; fi
  WINEPREFIX="$work/prefix" /usr/lib/wine/wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

"$linux_build/tests/vexim/make_sample_vxo" "$work/sample.vxo" >/dev/null
"$linux_build/tests/krtsim/krtsim" --tcp 127.0.0.1:0 --log "$work/requests.log" \
  --dump "$work/module.dump" >"$work/krtsim.out" 2>&1 &
sim_pid=$!
for _ in $(seq 100); do
  grep -q '^krtsim ready' "$work/krtsim.out" 2>/dev/null && break
  sleep 0.1
done
port=$(sed -n 's/^krtsim ready tcp .*:\([0-9]*\)$/\1/p' "$work/krtsim.out")
[ -n "$port" ] || { echo "krtsim did not start:"; cat "$work/krtsim.out"; exit 1; }

export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
# A fresh prefix is made on first use; make it outside the bounded run. Its server is ended
# afterwards: started without a display, it would leave the download with no window driver.
timeout 300 "$wine_loader" wineboot -i >/dev/null 2>&1 || true
/usr/lib/wine/wineserver -k 2>/dev/null || true
mkdir -p "$WINEPREFIX/drive_c/temp"

cp "$win_build/downloader/vexim.exe" "$work/sample.vxo" "$WINEPREFIX/drive_c/temp/"
code=0
(cd "$WINEPREFIX/drive_c/temp" &&
  xvfb-run -a timeout -k 10 "$run_limit" "$wine_loader" vexim.exe 1 'C:\temp\sample.vxo' \
    "127.0.0.1:$port" 1 -A) || code=$?

kill -TERM "$sim_pid"
wait "$sim_pid" || true
sim_pid=""

echo "vexim.exe exit code: $code"
[ -f "$WINEPREFIX/drive_c/temp/vexim.log" ] && cat "$WINEPREFIX/drive_c/temp/vexim.log"
if [ "$code" -ne 0 ]; then
  echo "FAILED: the unattended download under wine ended with $code (124: it did not end in time)"
  exit 1
fi
"$linux_build/tests/vexim/check_stored_digest" "$work/module.dump" "$work/sample.vxo" 1 || {
  echo "FAILED: the module does not hold the downloaded program"
  exit 1
}
echo "vexim.exe under wine64: download checked"
