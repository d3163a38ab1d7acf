#!/usr/bin/env bash
# The Qt window as a screen reader meets it, through AT-SPI: a private X
# display, session bus and accessibility bus, the window started with
# accessibility on, and tools/screen_reader_probe.py driving a run and
# checking what was announced. Usage: check-screen-reader.sh QUILLMERE-BINARY
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
window=$(realpath "$1")
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
# A display number of our own, well above those other sessions take (a low
# one may already be someone's in the abstract socket namespace).
display=""
for number in $(shuf -i 100-999 -n 20); do
  [ -e "/tmp/.X$number-lock" ] && continue
  Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  for _ in $(seq 50); do [ -S "/tmp/.X11-unix/X$number" ] && break; sleep 0.1; done
  if [ -S "/tmp/.X11-unix/X$number" ]; then display=":$number"; break; fi
done
[ -n "$display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY="$display" XDG_RUNTIME_DIR="$work" HOME="$work"
export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
unset AT_SPI_BUS_ADDRESS
dbus-run-session -- /usr/bin/python3 "$top/tools/screen_reader_probe.py" "$window" "$work"
