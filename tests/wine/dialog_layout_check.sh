#!/usr/bin/env bash
# The layout check under wine: every dialog of each program listed in layout_programs.txt is
# created from the templates in its executable (the shipped 32-bit build where this machine runs
# 32-bit wine, tests/wine/wine_prefix.sh) and each text measured with the control's
# own font, at three display scales and with two sets of font metrics. Fails on any text that
# does not fit its control.
#   tests/wine/dialog_layout_check.sh [Windows build dir]   (default: the one wine_prefix.sh picks)
set -euo pipefail
cd "$(dirname "$0")/../.."

[ -z "${1:-}" ] || export WINE_CHECK_BUILD=$1
source tests/wine/wine_prefix.sh
programs_build=$win_build
wine_build dialog_layout_check vexim fennick tamsel vornick brondel halbrick

work=$(mktemp -d)
cleanup() {
  wine_stop
  rm -rf "$work"
}
trap cleanup EXIT
wine_prefix_start "$work"
check="$WINEPREFIX/drive_c/dialog_layout_check.exe"
cp "$win_build/tests/wine/dialog_layout_check.exe" "$check"

failed=0
for fonts in windows truetype; do
  wine_fonts "$fonts"
  for dpi in 96 144 192; do
    wine_dpi "$dpi"
    echo "== fonts: $fonts, $dpi dpi"
    while read -r program header texts; do
      case "$program" in '' | '#'*) continue ;; esac
      # The Unix file system is drive Z: in every prefix.
      args=("Z:$PWD/$programs_build/$program")
      [ -z "$header" ] || args+=("Z:$PWD/$header" "Z:$PWD/$texts")
      # A screen larger than any dialog at the largest scale, so none is cut to fit it.
      on_display -s "-screen 0 4000x3000x24" timeout -k 10 120 "$wine_loader" "$check" \
        "${args[@]}" 2>/dev/null || failed=1
    done <tests/wine/layout_programs.txt
  done
done
if [ "$failed" -ne 0 ]; then
  echo "FAILED: texts that do not fit their controls (above)"
  exit 1
fi
echo "dialog layout checked"
