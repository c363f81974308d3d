#!/usr/bin/env bash
# The layout check of the programs' windows under wine, the windows built in code among them:
# each program listed in layout_programs.txt is started, and window_layout_check measures every
# control of its window, on each page of its tab controls, in the program's own process
# (layout/window_layout_probe.cpp) at 96, 144 and 192 dpi. vexim opens with an object file
# whose Program Info list it shows. Fails on a text that does not fit its control (a list
# view's columns among them), a control in the System font, a label that paints a background
# other than its window's, and a label or button on a tab page painted other than the page.
#   tests/wine/window_layout_check.sh [Windows build dir]   (default: the one wine_prefix.sh picks)
# WINDOW_LAYOUT_ONLY=<pattern> checks only the programs whose line matches it.
set -euo pipefail
cd "$(dirname "$0")/../.."

[ -z "${1:-}" ] || export WINE_CHECK_BUILD=$1
source tests/wine/wine_prefix.sh
wine_build window_layout_check window_layout_probe make_layout_object vexim fennick tamsel \
  vornick brondel halbrick

work=$(mktemp -d)
cleanup() {
  wine_stop
  rm -rf "$work"
}
trap cleanup EXIT
wine_prefix_start "$work"
wine_fonts windows
# Settings with which the programs open their windows at once: Fennick knows its PowerShell (wine
# has none to ask), Brondel finds an empty repository.
wine_regedit '[HKEY_CURRENT_USER\Software\Calvento R&D\FENNICK]
"PowerShellVer0"="5"
"PowerShellVer1"="1"

[HKEY_CURRENT_USER\Software\Calvento R&D\VADADOZAVOZAVOZ]
"UnityPath"="C:\\site\\unity\\"'
wine_stop
mkdir -p "$WINEPREFIX/drive_c/site/unity/DDXMLRepository"
printf '<?xml version="1.0" encoding="UTF-8"?>\r\n<DDXMLRepository>\r\n</DDXMLRepository>\r\n' \
  >"$WINEPREFIX/drive_c/site/unity/DDXMLRepository/DDXMLRepository.XML"
tools="$WINEPREFIX/drive_c/layout"
programs="$WINEPREFIX/drive_c/programs"
mkdir -p "$tools" "$programs"
cp "$win_build/tests/wine/window_layout_check.exe" "$win_build/tests/wine/window_layout_probe.dll" \
  "$win_build/tests/wine/make_layout_object.exe" "$tools/"
timeout -k 10 120 "$wine_loader" 'C:\layout\make_layout_object.exe' 'C:\layout\program info.vxo'
wine_stop

failed=0
for dpi in 96 144 192; do
  wine_dpi "$dpi"
  echo "== $dpi dpi"
  while read -r program _; do
    case "$program" in '' | '#'*) continue ;; esac
    name=$(basename "$program")
    # A fresh copy each time: nothing a run leaves beside the program changes the next.
    rm -rf "${programs:?}"/*
    cp "$win_build/$program" "$programs/"
    arguments=()
    [ "$name" != vexim.exe ] || arguments=('-FC:\layout\program info.vxo')
    on_display -s "-screen 0 4000x3000x24" timeout -k 10 180 "$wine_loader" \
      'C:\layout\window_layout_check.exe' "C:\\programs\\$name" "${arguments[@]}" \
      2>/dev/null || failed=1
    wine_stop
  done < <(grep -E "${WINDOW_LAYOUT_ONLY:-.}" tests/wine/layout_programs.txt)
done
if [ "$failed" -ne 0 ]; then
  echo "FAILED: controls of the programs' windows that do not show their texts as they should"
  echo "(above)"
  exit 1
fi
echo "window layout checked"
