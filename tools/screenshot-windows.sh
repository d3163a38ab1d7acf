#!/usr/bin/env bash
# Takes the README's pictures of the native window under Wine, at 96 and at
# 192 DPI: quillmere.exe in a Wine desktop of its own on a private Xvfb
# display, with Wine's own fonts. Needs a cross build (tools/check-windows.sh)
# and ImageMagick's import.
# Usage: tools/screenshot-windows.sh [build-dir] [docs-dir]
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$src/build-windows}")
docs=$(realpath -m "${2:-$src/docs}")
wine=/usr/lib/wine/wine64
export WINEPREFIX="$build/wine-screenshot" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
rm -rf "$WINEPREFIX"
"$wine" wineboot --init >/dev/null 2>&1
cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
rm -f "$build/display-screenshot"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$build/display-screenshot" >/dev/null 2>&1 &
xvfb=$!
trap '/usr/lib/wine/wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -s "$build/display-screenshot" ] && break; sleep 0.2; done
export DISPLAY=":$(head -1 "$build/display-screenshot")"
# A picture at each setting, in a desktop twice as large at 192 DPI.
shoot() {
  "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null
  "$wine" explorer /desktop=Quillmere,"$2" "$build/winui/quillmere.exe" >/dev/null 2>&1 &
  sleep 8
  import -window root -crop "$2+0+0" +repage "$3"
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  echo "wrote $3"
}
shoot 96 540x400 "$docs/screenshot-windows.png"
shoot 192 1080x800 "$docs/screenshot-windows-192dpi.png"
