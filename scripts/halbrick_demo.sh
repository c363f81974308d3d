#!/usr/bin/env bash
# Halbrick's part of the run command: serves sample device-replacement files (made by our own
# generator) from Debian's pyftpdlib on port 21 of the loopback address 127.0.8.200, as a
# controller's FDR server does, runs halbrick with the headless UI playing a user who queries
# it and steps through the detail levels, and shows the three reports the window showed.
#   scripts/halbrick_demo.sh [build dir]   (default build/linux; needs root for port 21)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/linux}
address=${HALBRICK_DEMO_ADDRESS:-127.0.8.200}
bash scripts/install-deps.sh
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCALVENTO_SANITIZE=OFF
fi
cmake --build "$build" -j "$(nproc)" --target halbrick make_prm_samples

work=$(mktemp -d)
server_pid=""
cleanup() {
  if [ -n "$server_pid" ] && kill -0 "$server_pid" 2>/dev/null; then
    kill -TERM "$server_pid"
    wait "$server_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

echo
echo "== Halbrick: sample files on the FDR server $address"
"$build/tests/fdr/make_prm_samples" "$work/root/RAM0/fdr"
ls -l "$work/root/RAM0/fdr" | tail -n +2

/usr/bin/python3 tests/fdr/fdr_ftp_server.py "$address" 21 "$work/root" "$work/commands.log" \
  >"$work/server.out" 2>&1 &
server_pid=$!
for _ in $(seq 100); do
  grep -q '^ready' "$work/server.out" 2>/dev/null && break
  kill -0 "$server_pid" 2>/dev/null || break
  sleep 0.1
done
grep -q '^ready' "$work/server.out" || { echo "The FDR server did not start:"; cat "$work/server.out"; exit 1; }

# The user types the address, presses "Query FDR Server", then the detail button twice.
cat >"$work/script.txt" <<SCRIPT
text 1002 "$address"
click 1001
click 1006
click 1006
close
SCRIPT

echo
echo "== halbrick (query $address, then Summary and High Detail)"
code=0
CALVENTO_REGISTRY="$work/registry.reg" CALVENTO_UI_SCRIPT="$work/script.txt" \
  CALVENTO_UI_TRANSCRIPT="$work/ui.txt" timeout 120 "$build/fdr/halbrick" >"$work/trace.txt" || code=$?
echo "halbrick exit code: $code"

echo
echo "== Commands the FDR server received"
cat "$work/commands.log"

# The report field's texts as the transcript recorded them, one per detail level shown.
/usr/bin/python3 - "$work/ui.txt" <<'PY'
import ast, sys
levels = ["Some Detail (after the query)", "Summary", "High Detail"]
reports = [line[len("report "):] for line in open(sys.argv[1], encoding="latin-1")
           if line.startswith("report ")]
for title, quoted in zip(levels, reports):
    print("\n== Report: " + title)
    print(ast.literal_eval(quoted.strip()).replace("\r\n", "\n").expandtabs(8))
for line in open(sys.argv[1], encoding="latin-1"):
    if line.startswith("msgbox"):
        print("\n" + line.strip())
PY

echo
echo "== Trace (first lines of $(wc -l <"$work/trace.txt") on standard output)"
head -n 12 "$work/trace.txt"
exit "$code"
