#!/usr/bin/env bash
# Takes the README's picture of the native window under Wine: quillmere.exe
# in a Wine desktop of its own on a private Xvfb display, with Wine's own
# fonts. Needs a cross build (tools/check-windows.sh) and ImageMagick's import.
# Usage: tools/screenshot-windows.sh [build-dir] [output.png]
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$src/build-windows}")
out=$(realpath -m "${2:-$src/docs/screenshot-windows.png}")
wine=/usr/lib/wine/wine64
export WINEPREFIX="$build/wine-screenshot" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
rm -rf "$WINEPREFIX"
"$wine" wineboot --init >/dev/null 2>&1
cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
rm -f "$build/display-screenshot"
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$build/display-screenshot" >/dev/null 2>&1 &
xvfb=$!
trap '/usr/lib/wine/wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -s "$build/display-screenshot" ] && break; sleep 0.2; done
export DISPLAY=":$(head -1 "$build/display-screenshot")"
"$wine" explorer /desktop=Quillmere,540x400 "$build/winui/quillmere.exe" >/dev/null 2>&1 &
sleep 8
import -window root -crop 540x400+0+0 +repage "$out"
echo "wrote $out"
