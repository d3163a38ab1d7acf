#!/usr/bin/env bash
# The recovery copies and a run's idea of "the same file", tried as another
# user and as an unlucky user would: copies planted in a shared folder, a
# file repaired by hand after a kill, another program writing during a save,
# a disk mounted anew, an overlay file system, two runs at once, a file
# under two names with two workers.
# Needs root (it acts as other users and mounts file systems); a case whose
# tool or mount is missing says why and is skipped.
# Usage: safety_net_test.sh QUILLMERE-CLI
set -uo pipefail
cli=$(realpath "$1")
source "$(dirname "$0")/safety_helpers.sh"

# Two users of a shared machine, with names so that messages can name them.
user_a=12345 user_b=23456
for user in quillmere-a:$user_a quillmere-b:$user_b; do
  if ! getent passwd "${user#*:}" >/dev/null; then
    useradd -M -N -u "${user#*:}" "${user%:*}" && restores+=("userdel ${user%:*}")
  fi
done
name_a=$(getent passwd $user_a | cut -d: -f1)
as_user() {
  local user=$1; shift
  mkdir -p "$work/home-$user"; chown "$user" "$work/home-$user"
  setpriv --reuid="$user" --regid="$user" --clear-groups \
    env HOME="$work/home-$user" XDG_STATE_HOME="$work/home-$user/state" "$@"
}
# Runs the command with its first ftruncate killing it: a rewrite in place
# stopped with the new text written and the recovery copy beside the file.
killed_at_truncate() { (strace -f -o /dev/null -e inject=ftruncate:signal=KILL "$@"; true) >/dev/null 2>&1; }

case_planted_copy() {
  command -v strace >/dev/null || { skip "planted copy: no strace"; return; }
  local d="$work/sticky"; mkdir -p "$d"; chmod 1777 "$d"
  echo '<p>B writes in colour</p>' >"$d/index.html"
  chown $user_b:$user_b "$d/index.html"; chmod 644 "$d/index.html"
  # A's own copy, from a run on A's hard-linked file killed mid-rewrite,
  # given the device and number of B's file and B's file's copy name.
  as_user $user_a sh -c "echo '<p>A was here, colour</p>' >'$d/a.html' && ln '$d/a.html' '$d/a2.html'"
  as_user $user_a strace -f -o /dev/null -e inject=ftruncate:signal=KILL \
    "$cli" --replace colour color "$d/a.html" >/dev/null 2>&1
  local copy="$d/.index.html.quillmere-recovery" device inode
  device=$(printf %x "$(stat -c %d "$d/index.html")"); inode=$(printf %x "$(stat -c %i "$d/index.html")")
  as_user $user_a sh -c "sed '1s/device=[0-9a-f]* file=[0-9a-f]*/device=$device file=$inode/' \
    '$d/.a.html.quillmere-recovery' >'$copy'"
  check "planted copy: made from a real one" 'head -c 26 "$copy" | grep -q "^quillmere recovery copy 2 "'
  as_user $user_a mkfifo "$d/.other.html.quillmere-recovery"
  echo '<p>colour</p>' >"$d/other.html"; chown $user_b "$d/other.html"
  local rc=0 err
  err=$(as_user $user_b "$cli" --replace colour color "$d/index.html" "$d/other.html" 2>&1 >/dev/null) || rc=$?
  check "planted copy: B's run cleans B's page and is not blocked by a FIFO, exit 0" \
    '[ $rc -eq 0 ] && [ "$(cat "$d/index.html")" == "<p>B writes in color</p>" ] && [ "$(cat "$d/other.html")" == "<p>color</p>" ]'
  check "planted copy: a warning names it and its owner" \
    '[[ "$err" == *"Recovery copy ignored: $copy"$'"'"'\t'"'"'"owned by $name_a"* ]]'
  check "planted copy: left where it is" '[ -e "$copy" ] && [ -p "$d/.other.html.quillmere-recovery" ]'
  echo '<p>B writes in colour</p>' >"$d/index.html"
  rc=0; "$cli" -r --include '*.html' --replace colour color "$d" >/dev/null 2>&1 || rc=$?
  check "planted copy: root's run over the folder is not led by it either" \
    '[ "$(cat "$d/index.html")" == "<p>B writes in color</p>" ] && [ -e "$copy" ]'
}

case_stale_copy() {
  command -v strace >/dev/null || { skip "stale copy: no strace"; return; }
  local d="$work/stale"; mkdir -p "$d"
  lines 3000 >"$d/f.htm"; ln "$d/f.htm" "$d/f2.htm"
  killed_at_truncate "$cli" --remove-text "alpha " "$d/f.htm"
  local copy="$d/.f.htm.quillmere-recovery" before rc=0 err mode
  check "killed at ftruncate: a copy is left" '[ -e "$copy" ]'
  before=$(md5sum <"$d/f.htm")
  err=$("$cli" --dry-run --remove-text beta "$d/f.htm" 2>&1 >/dev/null) || rc=$?
  check "a dry run after a kill tells of the restore and writes nothing" \
    '[ $rc -eq 0 ] && [[ "$err" == *"File would be restored: $d/f.htm"* ]] && [ "$(md5sum <"$d/f.htm")" == "$before" ] && [ -e "$copy" ]'
  echo '<p>repaired by hand</p>' >"$d/f.htm"
  for mode in --diff --dry-run --remove-text; do
    rc=0; err=$("$cli" "$mode" --remove-text beta "$d/f.htm" 2>&1 >/dev/null) || rc=$?
    check "repaired by hand, then $mode: refused with the copy's path, nothing written" \
      '[ $rc -eq 1 ] && [[ "$err" == *"an interrupted save left a recovery copy at $copy; the file changed since"* ]] && [ "$(cat "$d/f.htm")" == "<p>repaired by hand</p>" ] && [ -e "$copy" ]'
  done
  # The damaged file gone, and a new one, perhaps under its number.
  rm -f "$d/f.htm" "$d/f2.htm"; echo '<p>a new file, beta</p>' >"$d/f.htm"
  rc=0; "$cli" --dry-run --remove-text beta "$d/f.htm" >/dev/null 2>&1 || rc=$?
  check "a new file in its place is not overwritten by a dry run" \
    '[ $rc -eq 1 ] && [ "$(cat "$d/f.htm")" == "<p>a new file, beta</p>" ]'
}

# Another program appends while a hard-linked file of 200 MB is rewritten in
# place; the run is stopped meanwhile so that it cannot win the race.
case_change_during_save() {
  local d="$work/during" rc=0 pid
  mkdir -p "$d"; lines 5500000 >"$d/big.txt"; ln "$d/big.txt" "$d/big2.txt"
  # The run's lease makes the appending shell wait; it gives way after 1 s.
  restores+=("echo $(cat /proc/sys/fs/lease-break-time) >/proc/sys/fs/lease-break-time")
  echo 1 >/proc/sys/fs/lease-break-time
  "$cli" --remove-text "alpha " "$d/big.txt" >/dev/null 2>"$d.err" &
  pid=$!
  wait_for "$d/.big.txt.quillmere-recovery" $pid
  kill -STOP $pid
  echo line >>"$d/big.txt"
  kill -CONT $pid; wait $pid || rc=$?
  check "a line appended during an in-place save: exit 1 with the reason" \
    '[ $rc -eq 1 ] && grep -q "changed by another program" "$d.err"'
  check "a line appended during an in-place save is kept" \
    '[ "$(tail -n 1 "$d/big.txt")" == line ] && grep -q "alpha " "$d/big.txt"'
}

case_remount() {
  command -v bindfs >/dev/null && command -v strace >/dev/null || { skip "remount: no bindfs or strace"; return; }
  local d="$work/remount"; mkdir -p "$d/src" "$d/mnt" "$d/other"
  local -x XDG_STATE_HOME="$d/state"
  lines 3000 >"$d/src/f.htm"; ln "$d/src/f.htm" "$d/src/f2.htm"
  "$cli" --remove-text "alpha " <"$d/src/f.htm" >"$d/expected"
  bindfs "$d/src" "$d/mnt" 2>/dev/null || { skip "remount: cannot mount with bindfs"; return; }
  killed_at_truncate "$cli" --remove-text "alpha " "$d/mnt/f.htm"
  local device; device=$(stat -c %d "$d/mnt/f.htm")
  umount "$d/mnt"; bindfs "$d/src" "$d/other"; bindfs "$d/src" "$d/mnt"
  mounts+=("$d/mnt" "$d/other")
  local rc=0 err
  err=$("$cli" --remove-text "alpha " "$d/mnt/f.htm" 2>&1 >/dev/null) || rc=$?
  check "after a kill and a mount under another device number the file is restored, then cleaned, nothing left" \
    '[ "$(stat -c %d "$d/mnt/f.htm")" != "$device" ] && [ $rc -eq 0 ] && [[ "$err" == *"File restored: "* ]] && cmp -s "$d/src/f.htm" "$d/expected" && [ -z "$(leftovers "$d/src")" ] && [ -z "$(leftovers "$XDG_STATE_HOME")" ]'
}

case_overlay() {
  local d="$work/overlay"; mkdir -p "$d/lower" "$d/upper" "$d/work" "$d/merged"
  echo '<p>alpha</p>' >"$d/lower/a.htm"; lines 1000 >"$d/lower/b.htm"
  mount -t overlay overlay -o "lowerdir=$d/lower,upperdir=$d/upper,workdir=$d/work" "$d/merged" \
    2>/dev/null || { skip "overlayfs: cannot mount"; return; }
  mounts+=("$d/merged")
  local rc=0
  "$cli" --remove-text alpha "$d/merged/a.htm" "$d/merged/b.htm" >/dev/null 2>&1 || rc=$?
  check "overlayfs: files of the lower layer are cleaned by the first run" \
    '[ $rc -eq 0 ] && ! grep -q alpha "$d/merged/a.htm" "$d/merged/b.htm" && grep -q alpha "$d/lower/a.htm"'
}

# Root with the state folder of another user, as after `sudo -E`.
case_foreign_state_folder() {
  local d="$work/sudo" state="$work/b-state"
  mkdir -p "$d" "$state"; chown $user_b "$state"; chmod 700 "$state"
  lines 100 >"$d/f.htm"; ln "$d/f.htm" "$d/f2.htm"
  local rc=0
  XDG_STATE_HOME="$state" "$cli" --no-undo --remove-text "alpha " "$d/f.htm" >/dev/null 2>&1 || rc=$?
  check "another user's state folder: the run cleans without writing there" \
    '[ $rc -eq 0 ] && ! grep -q "alpha " "$d/f2.htm" && [ -z "$(find "$state" -mindepth 1)" ]'
}

case_concurrent_runs() {
  local d="$work/concurrent" round i a b bad=0 missed before
  for round in $(seq 1 20); do
    rm -rf "$d"; mkdir -p "$d"
    for i in $(seq 1 600); do printf '<table><tr><td>Colour %d</td></tr></table>\n' "$i" >"$d/p$i.htm"; done
    "$cli" -r --tables "$d" >/dev/null 2>"$d.a" &
    a=$!
    "$cli" -r --replace Colour Color "$d" >/dev/null 2>"$d.b" &
    b=$!
    wait $a; wait $b
    # A file without both edits must have an error line from one run.
    before=$bad
    for missed in $(grep -l -e '<table' -e Colour "$d"/p*.htm); do
      grep -qF "$missed"$'\t' "$d.a" "$d.b" || bad=$((bad + 1))
    done
    [ $bad -eq $before ] || echo "  round $round: $((bad - before)) file(s) without both edits and without an error"
  done
  check "20 rounds of two runs at once over 600 pages: every file has both edits or an error line" '[ $bad -eq 0 ]'
}

case_two_names_two_workers() {
  local d="$work/twonames" keep rc err
  for keep in --no-keep-mtime --keep-mtime; do
    rm -rf "$d"; mkdir -p "$d"
    for i in $(seq 1 2000); do echo '<p>a</p>' >"$d/f$i.htm"; done
    rc=0
    err=$(cd "$d" && ls | sed 'p; s|^|./|' | "$cli" --jobs 2 ${keep/--no-keep-mtime/} \
      --replace a aa --files-from - 2>&1 >/dev/null) || rc=$?
    check "2000 files under two names, --jobs 2 ${keep/--no-keep-mtime/}: each cleaned exactly once" \
      '[ $rc -eq 0 ] && [ -z "$err" ] && [ "$(cat "$d"/f*.htm | sort -u)" == "<p>aa</p>" ]'
  done
}

case_planted_copy
case_stale_copy
case_change_during_save
case_remount
case_overlay
case_foreign_state_folder
case_concurrent_runs
case_two_names_two_workers
echo "safety net: $failures failure(s)"
[ "$failures" -eq 0 ]
