# Sourced by the Windows checks of the tool programs: the wine loader, the 64-bit Windows build
# of the check's program, and a private wine prefix in the check's work folder, removed on exit.
#   wine_check_start TARGET...   builds the targets in $win_build (default build/win64), makes
#                                $work and the prefix $WINEPREFIX, and sets the exit trap

wine_loader=/usr/lib/wine/wine64
[ -x "$wine_loader" ] || wine_loader=$(command -v wine64 || command -v wine)

wine_check_start() {
  win_build=${win_build:-build/win64}
  cmake -S . -B "$win_build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake >/dev/null
  cmake --build "$win_build" --target "$@"
  work=$(mktemp -d)
  trap 'WINEPREFIX="$work/prefix" /usr/lib/wine/wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
  export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
  mkdir -p "$WINEPREFIX"
  # A fresh prefix is made outside the bounded run; its server, started without a display,
  # is ended so that the programs later find the virtual one.
  timeout 300 "$wine_loader" wineboot -i >/dev/null 2>&1 || true
  /usr/lib/wine/wineserver -k 2>/dev/null || true
}

# Counts a failed expectation of the check.
failures=0
fail() {
  echo "FAILED: $1"
  failures=$((failures + 1))
}
