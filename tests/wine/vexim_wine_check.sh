#!/usr/bin/env bash
# The Windows check: runs the shipped vexim.exe (tests/wine/wine_prefix.sh says which build) under
# wine on a virtual X display against the KRT module simulator:
#  - one unattended Modbus/TCP download, checked by its exit code and the module's memory (the
#    stored digest must be the file's, and the program's words must pass their CRC);
#  - the dialog manager's keys, driven by vexim_ui_driver: Enter in a field of the main dialog
#    sends the module nothing, Esc during a download cancels it, and Help without its help file
#    says which file is missing;
#  - the box of an unattended run whose object does not open: no hidden window owns it;
#  - the UI layer's menus (menu_placeholder_check): no blank menu row to choose, no stray
#    separator, no empty popup to open.
# Every run is bounded, so a dialog that waits for an answer fails the check instead of hanging.
#   tests/wine/vexim_wine_check.sh [linux build dir]   (default build/linux; it provides krtsim
#                                                       and the sample-object tools)
set -euo pipefail
cd "$(dirname "$0")/../.."

linux_build=${1:-build/linux}
run_limit=${VEXIM_WINE_TIMEOUT:-180}
source tests/wine/wine_prefix.sh

wine_build vexim vexim_ui_driver menu_placeholder_check
cmake --build "$linux_build" --target krtsim make_sample_vxo check_stored_digest \
  check_stored_program

work=$(mktemp -d)
sim_pid=""
stop_sim() {
  if [ -n "$sim_pid" ] && kill -0 "$sim_pid" 2>/dev/null; then kill -TERM "$sim_pid"; fi
  [ -z "$sim_pid" ] || wait "$sim_pid" 2>/dev/null || true
  sim_pid=""
}
cleanup() {
  stop_sim
  wine_stop
  rm -rf "$work"
}
trap cleanup EXIT

# start_sim <name> [krtsim options]: a fresh module with its request log <name>.log and state
# dump <name>.dump in the work folder; sets port.
start_sim() {
  local name=$1
  shift
  "$linux_build/tests/krtsim/krtsim" --tcp 127.0.0.1:0 --log "$work/$name.log" \
    --dump "$work/$name.dump" "$@" >"$work/$name.out" 2>&1 &
  sim_pid=$!
  for _ in $(seq 100); do
    grep -q '^krtsim ready' "$work/$name.out" 2>/dev/null && break
    sleep 0.1
  done
  port=$(sed -n 's/^krtsim ready tcp .*:\([0-9]*\)$/\1/p' "$work/$name.out")
  [ -n "$port" ] || { echo "krtsim did not start:"; cat "$work/$name.out"; exit 1; }
}

requests() {
  cat "$work/$1.log" 2>/dev/null | grep -c . || true
}

"$linux_build/tests/vexim/make_sample_vxo" "$work/sample.vxo" >/dev/null
wine_prefix_start "$work"
wine_fonts windows
temp="$WINEPREFIX/drive_c/temp"
cp "$win_build/downloader/vexim.exe" "$win_build/tests/wine/vexim_ui_driver.exe" \
  "$win_build/tests/wine/menu_placeholder_check.exe" "$work/sample.vxo" "$temp/"

# One unattended download.
start_sim download
code=0
(cd "$temp" &&
  on_display timeout -k 10 "$run_limit" "$wine_loader" vexim.exe 1 'C:\temp\sample.vxo' \
    "127.0.0.1:$port" 1 -A) || code=$?
stop_sim
echo "vexim.exe exit code: $code"
[ -f "$temp/vexim.log" ] && cat "$temp/vexim.log"
if [ "$code" -ne 0 ]; then
  echo "FAILED: the unattended download under wine ended with $code (124: it did not end in time)"
  exit 1
fi
"$linux_build/tests/vexim/check_stored_digest" "$work/download.dump" "$work/sample.vxo" 1 &&
  "$linux_build/tests/wine/check_stored_program" "$work/download.dump" 1 || {
  echo "FAILED: the module does not hold the downloaded program"
  exit 1
}
echo "vexim.exe ($wine_bits-bit) under wine: download checked"

failed=0
drive() {
  local scenario=$1 object=${2:-sample.vxo}
  echo "== $scenario"
  (cd "$temp" && on_display timeout -k 10 "$run_limit" "$wine_loader" vexim_ui_driver.exe \
    'C:\temp\vexim.exe' "$scenario" 127.0.0.1 "$port" "C:\\temp\\$object" 2>/dev/null) ||
    failed=1
}

start_sim enter
drive enter-in-fields
stop_sim
if [ "$(requests enter)" -ne 0 ]; then
  echo "FAIL Enter in a field sent the module $(requests enter) requests"
  failed=1
fi

start_sim help
drive help-missing
stop_sim

# A longer program and every reply late, so that the transfer is still running when Esc comes.
"$linux_build/tests/vexim/make_sample_vxo" "$temp/long.vxo" 2000 >/dev/null
start_sim cancel --fault fc=3,do=late,ms=300 --fault fc=6,do=late,ms=300 \
  --fault fc=16,do=late,ms=300 --fault fc=0x42,do=late,ms=300
drive esc-during-download long.vxo
stop_sim
if "$linux_build/tests/vexim/check_stored_digest" "$work/cancel.dump" "$temp/long.vxo" 1 \
  >/dev/null 2>&1; then
  echo "FAIL the download went on to the end after Esc"
  failed=1
fi
echo "requests before the download stopped: $(requests cancel)"

drive unattended-box missing.vxo

echo "== menus"
(cd "$temp" && on_display timeout -k 10 "$run_limit" "$wine_loader" \
  menu_placeholder_check.exe 2>/dev/null) || failed=1

if [ "$failed" -ne 0 ]; then
  echo "FAILED: vexim's keys or menus under wine (above)"
  exit 1
fi
echo "vexim.exe ($wine_bits-bit) under wine: keys and menus checked"
