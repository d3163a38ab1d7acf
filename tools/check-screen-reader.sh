#!/usr/bin/env bash
# The Qt window as a screen reader meets it, through AT-SPI: a private X
# display, session bus and accessibility bus, the window started with
# accessibility on, and tools/screen_reader_probe.py driving a run and
# checking what was announced. Usage: check-screen-reader.sh QUILLMERE-BINARY
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
window=$(realpath "$1")
work=$(mktemp -d)
# The display's server is waited for as it goes, so that the next check's
# server never meets this one's leftovers.
trap 'kill $(jobs -p) 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT
# A display of our own: Xvfb picks a free number and writes it once it
# accepts connections (a socket file alone may be a stale one). It must not
# reset when its last client goes (the accessibility bus's launcher comes
# and goes first): a window connecting during the reset is refused.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
if ! [ -s "$work/display" ] || ! kill -0 "$xvfb" 2>/dev/null; then
  echo "Xvfb did not start:" >&2
  cat "$work/xvfb.log" >&2
  exit 1
fi
display=":$(head -1 "$work/display")"
# Ready when a client gets through, not when a number is told: on a busy
# machine the server may still be setting up.
python3 - "$display" <<'PYTHON' || { echo "Xvfb on $display takes no connection" >&2; exit 1; }
import ctypes, sys, time
xcb = ctypes.CDLL("libxcb.so.1")
xcb.xcb_connect.restype = ctypes.c_void_p
xcb.xcb_connect.argtypes = [ctypes.c_char_p, ctypes.c_void_p]
xcb.xcb_connection_has_error.argtypes = [ctypes.c_void_p]
xcb.xcb_disconnect.argtypes = [ctypes.c_void_p]
end = time.time() + 60
while True:
    connection = xcb.xcb_connect(sys.argv[1].encode(), None)
    failed = xcb.xcb_connection_has_error(connection)
    xcb.xcb_disconnect(connection)
    if not failed:
        sys.exit(0)
    if time.time() > end:
        sys.exit(1)
    time.sleep(0.2)
PYTHON
export DISPLAY="$display" XDG_RUNTIME_DIR="$work" HOME="$work"
export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
unset AT_SPI_BUS_ADDRESS
dbus-run-session -- /usr/bin/python3 "$top/tools/screen_reader_probe.py" "$window" "$work"
