#!/usr/bin/env bash
# The Windows check of Halbrick: runs the shipped Halbrick.exe (tests/wine/wine_prefix.sh says
# which build) under wine on a virtual X display, against Debian's pyftpdlib serving sample device-replacement files on
# port 21 of 127.0.8.202 (so it needs root). A small Windows program plays the user (address,
# query, detail button twice, the close box); the check holds the server's commands, the three
# reports and the exit code. Bounded, so a window that waits fails the check instead of hanging.
#   tests/wine/halbrick_wine_check.sh [linux build dir]   (default build/linux; it provides the
#                                                          sample generator)
set -euo pipefail
cd "$(dirname "$0")/../.."

linux_build=${1:-build/linux}
address=${HALBRICK_WINE_ADDRESS:-127.0.8.202}  # another loopback address when that one is taken
run_limit=120

source tests/wine/wine_prefix.sh
wine_build halbrick
cmake --build "$linux_build" --target make_prm_samples

work=$(mktemp -d)
server_pid=""
cleanup() {
  if [ -n "$server_pid" ] && kill -0 "$server_pid" 2>/dev/null; then kill -TERM "$server_pid"; fi
  wine_stop
  rm -rf "$work"
}
trap cleanup EXIT

"$wine_cxx" -O1 -static -o "$work/halbrick_driver.exe" tests/wine/halbrick_driver.cpp
"$linux_build/tests/fdr/make_prm_samples" "$work/root/RAM0/fdr"
/usr/bin/python3 tests/fdr/fdr_ftp_server.py "$address" 21 "$work/root" "$work/commands.log" \
  >"$work/server.out" 2>&1 &
server_pid=$!
for _ in $(seq 100); do
  grep -q '^ready' "$work/server.out" 2>/dev/null && break
  sleep 0.1
done
grep -q '^ready' "$work/server.out" || { echo "The FDR server did not start:"; cat "$work/server.out"; exit 1; }

wine_prefix_start "$work"
cp "$win_build/fdr/Halbrick.exe" "$work/"

cat >"$work/session.sh" <<SESSION
#!/usr/bin/env bash
cd "$work"
"$wine_loader" Halbrick.exe >trace.txt 2>&1 &
halbrick=\$!
"$wine_loader" halbrick_driver.exe "$address" >reports.txt 2>&1 || true
code=0
wait "\$halbrick" || code=\$?
echo "\$code" >exit_code.txt
SESSION
chmod +x "$work/session.sh"
# The pointer rests in the middle of the display; on this one it lies beside the window (as when
# the user starts the program from an icon), so no mouse message reaches the window by chance.
on_display -s "-screen 0 2000x1600x24" timeout -k 10 "$run_limit" "$work/session.sh" || true

failures=0
check() {
  if grep -qF -- "$2" "$3"; then :; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}
code=$(cat "$work/exit_code.txt" 2>/dev/null || echo none)
[ "$code" = 0 ] || { echo "FAILED: Halbrick.exe exit code $code"; failures=$((failures + 1)); }
check "the report field fills the window from the start" "report field fills the window" \
  "$work/reports.txt"
check "the last file was fetched" "RETR rack1_PMEDWL_IBS_slot4.prm" "$work/commands.log"
check "the session ended with QUIT" "QUIT" "$work/commands.log"
check "the Summary report lists the files" "rack1_ATV320_drive.prm" "$work/reports.txt"
check "the damaged file fails its checksum" "File Checksum =  FAIL" "$work/reports.txt"
check "the good files pass" "File Checksum =  Good" "$work/reports.txt"
check "the Some report labels the DTM name" "DTM Name = 'PMEDWL_IBS'" "$work/reports.txt"
check "the High report lists the variables" "-40000" "$work/reports.txt"
if [ "$failures" -ne 0 ]; then
  echo "--- reports"; cat "$work/reports.txt" || true
  echo "--- commands"; cat "$work/commands.log" || true
  exit 1
fi
echo "Halbrick.exe ($wine_bits-bit) under wine: query of the FDR server checked"
