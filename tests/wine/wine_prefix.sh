# Sourced by the wine checks: which Windows build they run, and a private wine prefix with the
# fonts Windows programs expect.
#   wine_prefix_start <dir>    a fresh prefix in <dir>/prefix; sets WINEPREFIX and friends
#   wine_fonts windows|truetype
#       windows:  wine's own MS Sans Serif, Tahoma and Courier (the metrics of Windows' fonts),
#                 Arial, Courier New and Times New Roman by their metric twins (Liberation)
#       truetype: the same, with MS Sans Serif drawn by Liberation Sans, as Windows draws dialogs
#                 when it substitutes a TrueType font for the bitmap one
#   wine_dpi <dots per inch>   the display scale programs are told
#   wine_build TARGET...       configures and builds the targets in $win_build
#   wine_stop                  ends the prefix's wine server
#
# The checks run what users install: the 32-bit build (build/win32, cmake/mingw-i686.cmake,
# Release) under 32-bit wine. A machine whose kernel does not start 32-bit Linux programs
# cannot run 32-bit wine (its loader fails with "Exec format error"); there, and only there, the
# checks run the same sources built for 64-bit Windows (build/win64) under wine64, and say so.
# WINE_CHECK_BITS=32 or 64 chooses instead of the probe.
#   win_build        the Windows build the checked programs come from
#   wine_loader      the loader to run them (and the checks' own Windows programs) with
#   wine_cxx         the compiler of the checks' small Windows programs, for the same loader
#   wine_bits        32 or 64
wine_bits=${WINE_CHECK_BITS:-}
if [ -z "$wine_bits" ]; then
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    wine_bits=32
  else
    wine_bits=64
    echo "NOTE: this machine cannot start 32-bit programs (32-bit wine does not run here): the" \
      "wine checks run the 64-bit Windows build, build/win64, under wine64" >&2
  fi
fi
if [ "$wine_bits" = 32 ]; then
  if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo "FAILED: 32-bit wine does not start here: $(/usr/lib/wine/wine --version 2>&1 | tail -1)"
    exit 1
  fi
  win_build=${WINE_CHECK_BUILD:-build/win32}
  wine_toolchain=cmake/mingw-i686.cmake
  wine_cxx=i686-w64-mingw32-g++
  wine_loader=/usr/lib/wine/wine
else
  win_build=${WINE_CHECK_BUILD:-build/win64}
  wine_toolchain=cmake/mingw-x86_64.cmake
  wine_cxx=x86_64-w64-mingw32-g++
  wine_loader=/usr/lib/wine/wine64
  [ -x "$wine_loader" ] || wine_loader=$(command -v wine64 || command -v wine)
fi
wine_server=/usr/lib/wine/wineserver
[ -x "$wine_server" ] || wine_server=$(command -v wineserver)

wine_build() {
  # --no-warn-unused-cli: a configured build folder ignores the toolchain file it is given again.
  cmake -S . -B "$win_build" -G Ninja -DCMAKE_BUILD_TYPE=Release --no-warn-unused-cli \
    -DCMAKE_TOOLCHAIN_FILE="$wine_toolchain" >/dev/null
  cmake --build "$win_build" --target "$@"
}

wine_stop() {
  [ -n "${WINEPREFIX:-}" ] || return 0
  "$wine_server" -k 2>/dev/null || true
  "$wine_server" -w 2>/dev/null || true
}

wine_regedit() {
  local file="$WINEPREFIX/drive_c/setting.reg"
  printf 'REGEDIT4\n\n%s\n' "$1" >"$file"
  "$wine_loader" regedit /S 'C:\setting.reg' >/dev/null 2>&1
  rm -f "$file"
}

wine_prefix_start() {
  # A 64-bit prefix, as on the 64-bit Windows that runs the 32-bit programs nowadays.
  export WINEPREFIX="$1/prefix" WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
  mkdir -p "$WINEPREFIX"
  # Wine's server leaves its folder in the temporary folder: keep it with the prefix.
  export TMPDIR="$1/tmp"
  mkdir -p "$TMPDIR"
  # A fresh prefix is made on first use; make it before any bounded run. Its server is ended
  # afterwards: started without a display, it would leave later programs with no window driver.
  timeout 300 /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || true
  wine_stop
  mkdir -p "$WINEPREFIX/drive_c/temp"
}

wine_fonts() {
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  mkdir -p "$fonts"
  # Debian's wine does not look in its own font folder; the prefix's folder it does read.
  cp /usr/share/wine/fonts/* "$fonts/"
  local replacements='"Arial"="Liberation Sans"
"Courier New"="Liberation Mono"
"Times New Roman"="Liberation Serif"'
  if [ "$1" = truetype ]; then
    rm -f "$fonts"/ms_sans_serif.ttf "$fonts"/sserif*.fon "$fonts"/ssef*.fon "$fonts"/ssee*.fon
    replacements="$replacements
\"MS Sans Serif\"=\"Liberation Sans\""
  fi
  wine_regedit "[-HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]

[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]
$replacements"
  wine_stop
}

wine_dpi() {
  wine_regedit "[HKEY_CURRENT_USER\\Control Panel\\Desktop]
\"LogPixels\"=dword:$(printf '%08x' "$1")"
  wine_stop
}

# For the checks of the tool programs:
#   wine_check_start TARGET...   builds the targets in $win_build, makes $work and a prefix in
#                                it, and sets the exit trap
#   fail TEXT                    counts a failed expectation of the check ($failures)
wine_check_start() {
  wine_build "$@"
  work=$(mktemp -d)
  trap 'wine_stop; rm -rf "$work"' EXIT
  wine_prefix_start "$work"
}

failures=0
fail() {
  echo "FAILED: $1"
  failures=$((failures + 1))
}

# on_display [-s "server arguments"] COMMAND...: runs COMMAND on a virtual X display of its own.
# xvfb-run keeps its X authority file in the temporary folder and passes its path to the server
# unquoted, so a temporary folder whose name holds a blank leaves the program with no display at
# all. xvfb-run gets a folder of its own under /tmp; COMMAND gets the caller's TMPDIR back.
on_display() {
  local server=()
  if [ "${1:-}" = "-s" ]; then
    server=(-s "$2")
    shift 2
  fi
  local caller_tmp=(env -u TMPDIR)
  [ -z "${TMPDIR+set}" ] || caller_tmp=(env "TMPDIR=$TMPDIR")
  local own_tmp status=0
  own_tmp=$(TMPDIR=/tmp mktemp -d -t xvfb-home.XXXXXX)
  TMPDIR="$own_tmp" xvfb-run -a "${server[@]}" "${caller_tmp[@]}" "$@" || status=$?
  rm -rf "$own_tmp"
  return $status
}
