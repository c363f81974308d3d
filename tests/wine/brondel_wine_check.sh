#!/usr/bin/env bash
# The Windows check of Brondel: runs the shipped Brondel.exe (tests/wine/wine_prefix.sh says
# which build) twice under wine on a virtual X display, on a scratch repository, with a
# description file whose name holds a character beyond ASCII ("PME KRT 0302_Démo.txt"; Windows gives such names in its ANSI
# code page). The first run installs it, the second removes the entry that its tree shows. The
# check holds that the index and the profile stay well-formed UTF-8 XML (as the DTM software
# reads them) and name the file as it is named on disk, and that the removal finds the entry.
# A small Windows program plays the user. Bounded, so a window that waits fails the check.
#   tests/wine/brondel_wine_check.sh [linux build dir]   (default build/linux; it provides the
#                                                         sample description generator)
set -euo pipefail
cd "$(dirname "$0")/../.."

linux_build=${1:-build/linux}
run_limit=120
cmake --build "$linux_build" --target make_sample_description
. tests/wine/wine_prefix.sh
wine_check_start brondel

"$wine_loader" reg add 'HKCU\SOFTWARE\Calvento R&D\VADADOZAVOZAVOZ' /v UnityPath /t REG_SZ \
  /d 'C:\site\unity\' /f >/dev/null 2>&1
wine_stop

site="$WINEPREFIX/drive_c/site"
mkdir -p "$site"
CALVENTO_REGISTRY="$work/unused.reg" "$linux_build/tests/dtmrepo/make_sample_description" \
  "$site" >/dev/null
mv "$site/PME KRT 0302_Demo.txt" "$site/PME KRT 0302_Démo.txt"
"$wine_cxx" -O1 -static -o "$work/brondel_driver.exe" tests/wine/brondel_driver.cpp
cp "$win_build/dtmrepo/Brondel.exe" "$work/"
# The driver's argument reaches it in the ANSI code page, as the dialog would take it.
cat >"$work/session.sh" <<SESSION
#!/usr/bin/env bash
cd "$site"
for step in install remove; do
  "$wine_loader" "$work/Brondel.exe" >"$work/\$step.trace" 2>&1 &
  brondel=\$!
  if [ "\$step" = install ]; then
    "$wine_loader" "$work/brondel_driver.exe" install 'C:\site\PME KRT 0302_Démo.txt' \
      >"$work/\$step.out" 2>&1 || true
  else
    "$wine_loader" "$work/brondel_driver.exe" remove >"$work/\$step.out" 2>&1 || true
  fi
  code=0
  wait "\$brondel" || code=\$?
  echo "\$code" >"$work/\$step.code"
  cp "$site/unity/DDXMLRepository/DDXMLRepository.XML" "$work/\$step.index" || true
done
SESSION
chmod +x "$work/session.sh"
on_display timeout -k 10 "$run_limit" "$work/session.sh" || true

for step in install remove; do
  code=$(cat "$work/$step.code" 2>/dev/null || echo none)
  [ "$code" = 0 ] || fail "Brondel.exe ($step) exit code $code"
  xmllint --noout "$work/$step.index" 2>"$work/$step.xmllint" ||
    fail "the index after the $step is not well-formed: $(head -n 2 "$work/$step.xmllint")"
done
grep -qF 'New DTM Succesfully Added.' "$work/install.out" || fail "the install did not succeed"
grep -qF 'DDXMLFile="PME KRT 0302_Démo.XML"' "$work/install.index" ||
  fail "the index does not name the profile in UTF-8"
profile="$site/unity/DDXMLRepository/PME KRT 0302_Démo.XML"
[ -f "$profile" ] || fail "no profile under the description's name in the repository"
[ ! -f "$profile" ] || xmllint --noout "$profile" 2>/dev/null || fail "the profile is not well-formed"
grep -qF 'Match, Removed.' "$work/remove.out" || fail "the removal did not find the entry"
if grep -qF 'Démo' "$work/remove.index"; then fail "the entry is still in the index"; fi
if [ "$failures" -ne 0 ]; then
  for output in install.out remove.out install.index remove.index; do
    echo "--- $output"; cat "$work/$output" 2>/dev/null || true
  done
  exit 1
fi
echo "Brondel.exe ($wine_bits-bit) under wine: install and removal of a description with a non-ASCII name checked"
