#!/usr/bin/env bash
# The run command: builds what is missing, starts the KRT module simulator on 127.0.0.1,
# writes a small sample user-code object, downloads it with vexim's unattended command line
# (headless UI on Linux) and shows the outcome: vexim's exit code and log, the progress
# dialog's status lines, and the module's check that the stored digest matches the file. Then
# Fennick converts a sample project, Tamsel decodes a sample .SVC file and Halbrick queries
# a sample FDR server (see the end).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

build=${DEMO_BUILD_DIR:-build/linux}  # another tree may be named for trying the demo
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCALVENTO_SANITIZE=OFF
fi
cmake --build "$build" -j "$(nproc)" --target vexim krtsim make_sample_vxo check_stored_digest

work=$(mktemp -d)
sim_pid=""
cleanup() {
  if [ -n "$sim_pid" ] && kill -0 "$sim_pid" 2>/dev/null; then kill -TERM "$sim_pid"; fi
  rm -rf "$work"
}
trap cleanup EXIT

echo
echo "== Sample user-code object"
"$build/tests/vexim/make_sample_vxo" "$work/sample.vxo"

echo
echo "== KRT module simulator"
"$build/tests/krtsim/krtsim" --tcp 127.0.0.1:0 --log "$work/requests.log" \
  --dump "$work/module.dump" >"$work/krtsim.out" 2>&1 &
sim_pid=$!
for _ in $(seq 100); do
  grep -q '^krtsim ready' "$work/krtsim.out" 2>/dev/null && break
  sleep 0.1
done
grep '^krtsim ready' "$work/krtsim.out" || { cat "$work/krtsim.out"; exit 1; }
port=$(sed -n 's/^krtsim ready tcp .*:\([0-9]*\)$/\1/p' "$work/krtsim.out")

echo
echo "== vexim 1 sample.vxo 127.0.0.1:$port 1 -A"
export CALVENTO_REGISTRY="$work/registry.reg"
export CALVENTO_UI_TRANSCRIPT="$work/ui.txt"
export TMPDIR="$work"
code=0
vexim="$(cd "$build" && pwd)/downloader/vexim"
# The object is named relative to the folder it lies in: on Linux a leading "/" would be read
# as a switch, as on the Windows command line.
(cd "$work" && timeout 120 "$vexim" 1 sample.vxo "127.0.0.1:$port" 1 -A) || code=$?
echo "vexim exit code: $code"

echo
echo "== Progress dialog"
grep -E '^(title|status) ' "$work/ui.txt" || true

echo
echo "== vexim.log"
cat "$work/vexim.log" 2>/dev/null || echo "(no log)"

kill -TERM "$sim_pid"
wait "$sim_pid" || true
sim_pid=""

echo
echo "== Module check"
"$build/tests/vexim/check_stored_digest" "$work/module.dump" "$work/sample.vxo" 1 || code=$?

# --- Fennick: convert a sample Premium project (made by our own generator) in batch mode.
cmake --build "$build" -j "$(nproc)" --target fennick make_sample_project
echo
echo "== Sample Premium project"
"$build/tests/fennick/make_sample_project" "$work/Plant Line.zef"
echo
echo "== fennick \"Plant Line.zef\""
fennick_code=0
fennick="$(cd "$build" && pwd)/extractor/fennick"
(cd "$work" && timeout 120 "$fennick" "Plant Line.zef" >"$work/fennick.out") || fennick_code=$?
echo "fennick exit code: $fennick_code"
grep -E '^msgbox ' "$work/ui.txt" || true
echo
echo "== Plant Line_IBY_IntermediateFiles/Plant Line_Results.txt"
cat "$work/Plant Line_IBY_IntermediateFiles/Plant Line_Results.txt" 2>/dev/null || echo "(no results)"
echo
echo "== Rewritten lines of unitpro.xef (declarations, IN/OUT assignments, references, calls)"
tr -d '\r' <"$work/Plant Line_IBY_IntermediateFiles/unitpro.xef" 2>/dev/null |
  grep -E "Interbus-S|IBY_DIO_d0_s3\.|IBY_(SEND_REQ|READ_VAR|WRITE_VAR)[A-Z_]*_[0-9]+\(" | grep -v PDWL_COMMAND || true
echo
echo "== Files beside the archive"
(cd "$work" && ls -1d "Plant Line"*)
[ "$fennick_code" -eq 0 ] || code=$fennick_code

# Tamsel: File/Open .SVC on a sample service file made by the suites' generator, played by the
# headless UI; the transcript shows the window's fields and the boxes.
cmake --build "$build" -j "$(nproc)" --target tamsel make_sample_svc
echo
echo "== Tamsel: sample service file"
"$build/tests/loadcode/make_sample_svc" "$work/plant.SVC"
printf 'menu 100\nfile "%s"\n' "$work/plant.SVC" >"$work/tamsel-script.txt"
tamsel_code=0
CALVENTO_UI_SCRIPT="$work/tamsel-script.txt" CALVENTO_UI_TRANSCRIPT="$work/tamsel-ui.txt" \
  timeout 60 "$build/loadcode/tamsel" >"$work/tamsel-console.txt" || tamsel_code=$?
echo "tamsel exit code: $tamsel_code"
echo
echo "== Tamsel transcript"
cat "$work/tamsel-ui.txt"
echo
echo "== Start of plant_parse.txt"
head -n 40 "$work/plant_parse.txt" | tr -d '\r'
echo
echo "== Summary rows (Tamsel's console)"
sed -n '/^IBS_Main,/,$p' "$work/tamsel-console.txt"
echo
echo "== plant_LOAD.xst: $(wc -l <"$work/plant_LOAD.xst") lines, its section starts:"
sed -n '5,12p' "$work/plant_LOAD.xst" | tr -d '\r'
[ "$tamsel_code" -eq 0 ] || code=$tamsel_code
# Vornick: File, Open .ZEF... on a sample M580 project made by our generator from the texts the
# Premium conversion writes; the transcript shows the boxes and the report window.
echo
echo "== Vornick: sample M580 project"
cmake --build "$build" -j "$(nproc)" --target vornick make_sample_m580
"$build/tests/converter/make_sample_m580" "$work/plant.zef"
printf 'menu 100\nfile "%s"\n' "$work/plant.zef" >"$work/vornick_script.txt"
vornick="$(cd "$build" && pwd)/converter/vornick"
vornick_code=0
(cd "$work" && CALVENTO_UI_SCRIPT="$work/vornick_script.txt" \
  CALVENTO_UI_TRANSCRIPT="$work/vornick_ui.txt" timeout 120 "$vornick" \
  >"$work/vornick_console.txt") || vornick_code=$?
echo "vornick exit code: $vornick_code"
echo
echo "== Vornick: boxes and report window"
{ grep -E '^(msgbox|report) ' "$work/vornick_ui.txt" || true; } | tail -n 2 | sed 's/\\r\\n/\n    /g'
echo
echo "== Vornick: output"
ls "$work" | grep -E '^plant(\.zef|_IBS\.zef|_IntermediateFiles)' || true
[ -f "$work/plant_IBS.zef" ] || vornick_code=1
[ "$vornick_code" -eq 0 ] || code=1
# The pair: Fennick's "Plant Line_IBY.zef" as the migration to M580 leaves it (our generator adds
# the PMEDWL module and its DTM), converted by Vornick.
echo
echo "== Fennick's output migrated to M580, then Vornick"
pair="$work/Plant Line_M580"
if "$build/tests/converter/make_sample_m580" --from-iby "$work/Plant Line_IBY.zef" "$pair.zef"; then
  printf 'menu 100\nfile "%s"\n' "$pair.zef" >"$work/pair_script.txt"
  (cd "$work" && CALVENTO_UI_SCRIPT="$work/pair_script.txt" CALVENTO_UI_TRANSCRIPT="$work/pair_ui.txt" \
    timeout 120 "$vornick" >"$work/pair_console.txt") || true
  grep -E '^msgbox ' "$work/pair_ui.txt" || true
  grep '^report ' "$work/pair_ui.txt" | tail -n 1 | sed 's/\\r\\n/\n    /g' | tail -n 3
fi
[ -f "${pair}_IBS.zef" ] || code=1

# Halbrick: a query of an FDR server (pyftpdlib on a loopback address) and its three reports.
bash scripts/halbrick_demo.sh "$build" || code=$?
# --- Brondel: install a sample description file (made by our own generator) into a scratch
# repository with the headless UI, and show the report and the new index line.
cmake --build "$build" -j "$(nproc)" --target brondel make_sample_description
brondel_work="$work/brondel"
mkdir -p "$brondel_work"
brondel_settings="$brondel_work/settings.reg"
echo
echo "== Sample description file and scratch repository"
CALVENTO_REGISTRY="$brondel_settings" "$build/tests/dtmrepo/make_sample_description" "$brondel_work"
description="$brondel_work/PME KRT 0302_Demo.txt"
printf 'menu 100\nfile "%s"\nmenu 104\n' "$description" >"$brondel_work/script.txt"
echo
echo "== brondel: File > Install new .txt"
brondel_code=0
brondel="$(cd "$build" && pwd)/dtmrepo/brondel"
(cd "$brondel_work" && CALVENTO_REGISTRY="$brondel_settings" \
  CALVENTO_UI_SCRIPT="$brondel_work/script.txt" CALVENTO_UI_TRANSCRIPT="$brondel_work/ui.txt" \
  timeout 120 "$brondel" >"$brondel_work/console.txt") || brondel_code=$?
echo "brondel exit code: $brondel_code"
echo
echo "== Brondel's report"
grep '^report ' "$brondel_work/ui.txt" | tail -1 |
  sed -e 's/^report "//' -e 's/"$//' -e 's/\\n\\r/\n/g' -e 's/\\r\\n/\n/g' -e 's/\\t/\t/g'
echo
echo "== New index line (unity/DDXMLRepository/DDXMLRepository.XML)"
grep 'PME KRT 0302_Demo' "$brondel_work/unity/DDXMLRepository/DDXMLRepository.XML"
echo
echo "== Repository tree"
grep '^tree ' "$brondel_work/ui.txt"
[ "$brondel_code" -eq 0 ] || code=$brondel_code
exit "$code"
