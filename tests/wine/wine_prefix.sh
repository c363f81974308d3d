# Sourced by the wine checks: a private wine prefix with the fonts Windows programs expect.
#   wine_prefix_start <dir>    a fresh 64-bit prefix in <dir>/prefix; sets WINEPREFIX and friends
#   wine_fonts windows|truetype
#       windows:  wine's own MS Sans Serif, Tahoma and Courier (the metrics of Windows' fonts),
#                 Arial, Courier New and Times New Roman by their metric twins (Liberation)
#       truetype: the same, with MS Sans Serif drawn by Liberation Sans, as Windows draws dialogs
#                 when it substitutes a TrueType font for the bitmap one
#   wine_dpi <dots per inch>   the display scale programs are told
#   wine_stop                  ends the prefix's wine server
# wine_loader names the loader to run programs with.

wine_loader=/usr/lib/wine/wine64
[ -x "$wine_loader" ] || wine_loader=$(command -v wine64 || command -v wine)
wine_server=/usr/lib/wine/wineserver
[ -x "$wine_server" ] || wine_server=$(command -v wineserver)

wine_stop() {
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
  export WINEPREFIX="$1/prefix" WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
  mkdir -p "$WINEPREFIX"
  # A fresh prefix is made on first use; make it before any bounded run. Its server is ended
  # afterwards: started without a display, it would leave later programs with no window driver.
  timeout 300 "$wine_loader" wineboot -i >/dev/null 2>&1 || true
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
