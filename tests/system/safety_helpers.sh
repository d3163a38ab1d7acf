# What the system tests of files share: a work folder removed at the end
# with the mounts made in it, the checks and their count, and texts.
# Sourced after `cli` is set; needs root.
[ "$(id -u)" -eq 0 ] || { echo "SKIP: needs root"; exit 77; }

work=$(mktemp -d /tmp/quillmere-safety-XXXXXX)
chmod 755 "$work"
export XDG_STATE_HOME="$work/state"
mounts=()
restores=()  # commands that put back what a case changed on the system
cleanup() {
  local m r
  for r in "${restores[@]}"; do eval "$r"; done
  for m in "${mounts[@]}"; do umount "$m" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok   $*"; }
skip() { echo "SKIP: $*"; }
check() { if eval "$2"; then pass "$1"; else fail "$1"; fi; }
lines() { seq 1 "$1" | sed 's|.*|<p>hello world alpha beta gamma</p>|'; }
# Names in a folder besides the ones given: what a run must not leave.
leftovers() { find "$1" -mindepth 1 -name '*quillmere-*' 2>/dev/null | head -5; }
# Waits until PATH exists while process PID runs; false if it ended first.
wait_for() {
  while [ ! -e "$1" ]; do kill -0 "$2" 2>/dev/null || return 1; done
}
