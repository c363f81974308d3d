#!/usr/bin/env bash
# The Windows build's name look-alike check (platform/win32/path_lookalike.cpp) under wine, with
# Windows set to the code pages whose best fits lead out of a folder: 932 (Japanese), 949
# (Korean), 1253 (Greek), 1252, 1250 and 1254. Wine takes its ANSI code page from the locale
# variables it starts with. Skipped (77) where the 64-bit MinGW compiler or wine64 is missing.
#   path_lookalike_wine_check.sh <source dir> <work dir>
set -euo pipefail
source_dir=$1
work=$2
cxx=$(command -v x86_64-w64-mingw32-g++ || true)
loader=/usr/lib/wine/wine64
[ -x "$loader" ] || loader=$(command -v wine64 || true)
if [ -z "$cxx" ] || [ -z "$loader" ]; then
  echo "SKIPPED: no x86_64-w64-mingw32-g++ or wine64 here"
  exit 77
fi
mkdir -p "$work"
"$cxx" -std=c++20 -O1 -static -Wall -Wextra -I"$source_dir" -o "$work/lookalike_probe.exe" \
  "$source_dir/tests/platform/path_lookalike_wine_probe.cpp" \
  "$source_dir/platform/path_lookalike.cpp" "$source_dir/platform/win32/path_lookalike.cpp"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
# Wine leaves its server folder in the temporary folder: keep it in ours.
export TMPDIR="$work/tmp"
mkdir -p "$WINEPREFIX" "$TMPDIR"
status=0
for locale in ja_JP.UTF-8 ko_KR.UTF-8 el_GR.UTF-8 en_US.UTF-8 pl_PL.UTF-8 tr_TR.UTF-8; do
  LC_ALL=$locale LANG=$locale timeout 300 "$loader" "$work/lookalike_probe.exe" || status=1
done
/usr/lib/wine/wineserver -k 2>/dev/null || true
exit $status
