#!/usr/bin/env bash
# The Windows check of Fennick: runs the shipped Fennick.exe (tests/wine/wine_prefix.sh says
# which build) twice under wine on a virtual X display. Wine has no Windows PowerShell (its powershell.exe runs no
# cmdlets), so the archive cannot be unpacked and the version probe gets no answer:
# - a batch conversion, `Fennick.exe "Plant Line.zef"`, says so in its box, ends with exit code
#   1, leaves the input archive as it was and nothing beside it or in the temporary folder;
# - a first start with the window (no settings yet) makes the install folder for the probe's
#   answer before it asks PowerShell, then shows the probe's box and ends.
# A small Windows program reads each box and presses OK. Bounded, so a window that waits fails
# the check.
#   tests/wine/fennick_wine_check.sh [linux build dir]   (default build/linux; it provides the
#                                                         sample project generator)
set -euo pipefail
cd "$(dirname "$0")/../.."

linux_build=${1:-build/linux}
run_limit=120
cmake --build "$linux_build" --target make_sample_project
. tests/wine/wine_prefix.sh
wine_check_start fennick

folder="$WINEPREFIX/drive_c/plant"
mkdir -p "$folder"
"$wine_cxx" -O1 -static -o "$work/fennick_driver.exe" tests/wine/fennick_driver.cpp
cp "$win_build/extractor/Fennick.exe" "$work/"
"$linux_build/tests/fennick/make_sample_project" "$folder/Plant Line.zef" >/dev/null
cp "$folder/Plant Line.zef" "$work/original.zef"
temp_before=$(find "$WINEPREFIX/drive_c/users" -path '*Temp*' 2>/dev/null | sort)

cat >"$work/session.sh" <<SESSION
#!/usr/bin/env bash
cd "$folder"
"$wine_loader" "$work/Fennick.exe" "Plant Line.zef" >"$work/trace.txt" 2>&1 &
fennick=\$!
"$wine_loader" "$work/fennick_driver.exe" ERROR >"$work/batch_box.txt" 2>&1 || true
code=0
wait "\$fennick" || code=\$?
echo "\$code" >"$work/exit_code.txt"
"$wine_loader" "$work/Fennick.exe" >"$work/window_trace.txt" 2>&1 &
fennick=\$!
"$wine_loader" "$work/fennick_driver.exe" OK >"$work/window_box.txt" 2>&1 || true
code=0
wait "\$fennick" || code=\$?
echo "\$code" >"$work/window_exit_code.txt"
SESSION
chmod +x "$work/session.sh"
on_display timeout -k 10 "$run_limit" "$work/session.sh" || true

code=$(cat "$work/exit_code.txt" 2>/dev/null || echo none)
[ "$code" = 1 ] || fail "Fennick.exe exit code $code, not 1"
grep -qF 'box "ERROR": PowerShell could not unpack Plant Line.zef' "$work/batch_box.txt" ||
  fail "the box does not say that PowerShell could not unpack the archive"
cmp -s "$folder/Plant Line.zef" "$work/original.zef" || fail "the input archive changed"
left=$(ls -A "$folder")
[ "$left" = "Plant Line.zef" ] || fail "files left beside the archive: $(echo $left)"
temp_after=$(find "$WINEPREFIX/drive_c/users" -path '*Temp*' 2>/dev/null | sort)
[ "$temp_after" = "$temp_before" ] || fail "work files left in the temporary folder"
code=$(cat "$work/window_exit_code.txt" 2>/dev/null || echo none)
[ "$code" = 0 ] || fail "Fennick.exe with its window: exit code $code, not 0"
[ -d "$WINEPREFIX/drive_c/Calvento/PMEDWL" ] || fail "no install folder for the probe's answer"
grep -qF 'box "OK": FENNICK ERROR(0) Unable to open c:\Calvento\PMEDWL\powershellver.txt' \
  "$work/window_box.txt" || fail "the window start did not show the probe's box"
if [ "$failures" -ne 0 ]; then
  for output in batch_box trace window_box window_trace; do
    echo "--- $output"; cat "$work/$output.txt" || true
  done
  exit 1
fi
echo "Fennick.exe ($wine_bits-bit) under wine: batch conversion and first start without PowerShell checked"
