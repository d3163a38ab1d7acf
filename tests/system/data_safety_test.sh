#!/usr/bin/env bash
# quillmere-cli against real files the way a careful user tries it: access
# lists and attributes, other users' links and files, full disks (tmpfs and
# copy-on-write btrfs), stop signals, kill -9, endless or huge input.
# Needs root (it acts as other users and mounts small file systems); a case
# whose tool or mount is missing says why and is skipped.
# Usage: data_safety_test.sh QUILLMERE-CLI [--sanitized]
set -uo pipefail
cli=$(realpath "$1")
sanitized=${2:-}
source "$(dirname "$0")/safety_helpers.sh"

case_access_lists() {
  command -v setfacl >/dev/null || { skip "access lists: no setfacl"; return; }
  local d="$work/acl"; mkdir -p "$d/default"
  echo '<p>alpha</p>' >"$d/f.htm"; chmod 640 "$d/f.htm"
  setfacl -m u:12345:rw "$d/f.htm"
  setfattr -n user.note -v kept "$d/f.htm"
  setfattr -n trusted.origin -v kept "$d/f.htm"
  setfattr -n security.label -v kept "$d/f.htm"
  echo '<p>alpha</p>' >"$d/default/g.htm"; chmod 640 "$d/default/g.htm"
  setfacl -d -m u:12345:rw "$d/default"
  local before_f before_a before_g
  cd "$d" || return
  before_f=$(getfacl -cn f.htm); before_a=$(getfattr -d -m - f.htm)
  before_g=$(getfacl -cn default/g.htm)
  "$cli" --remove-text alpha "$d/f.htm" "$d/default/g.htm" >/dev/null
  check "access list kept" '[ "$(getfacl -cn f.htm)" == "$before_f" ]'
  check "every attribute kept" '[ "$(getfattr -d -m - f.htm)" == "$before_a" ]'
  check "no default access list taken from the folder" \
    '[ "$(getfacl -cn default/g.htm)" == "$before_g" ]'
  check "text changed" 'grep -q "<p></p>" f.htm'
  cd - >/dev/null || return
}

case_foreign_link() {
  local site="$work/site"; mkdir -p "$site"
  echo 'secret=a' >"$work/root.conf"; chmod 600 "$work/root.conf"
  echo '<p>a</p>' >"$site/index.html"
  ln -s "$work/root.conf" "$site/zz.html"
  chown -R 12345:12345 "$site"; chown -h 12345:12345 "$site/zz.html"
  local err rc=0
  err=$("$cli" --replace a b "$site"/*.html 2>&1 >/dev/null) || rc=$?
  check "another user's link is not followed" '[ "$(cat "$work/root.conf")" == "secret=a" ]'
  check "and is reported with its reason, exit 1" \
    '[ $rc -eq 1 ] && [[ "$err" == *"zz.html"$'"'"'\t'"'"'"link owned by another user"* ]]'
  check "the link stays a link" '[ -L "$site/zz.html" ]'
}

case_other_users_file() {
  command -v setpriv >/dev/null || { skip "owner: no setpriv"; return; }
  local d="$work/shared"; mkdir -p "$d"; chown 23456:23456 "$d"; chmod 2775 "$d"
  echo '<p>alpha</p>' >"$d/f.htm"; chown 23456:23456 "$d/f.htm"; chmod 664 "$d/f.htm"
  mkdir -p "$work/home12345"; chown 12345 "$work/home12345"
  XDG_STATE_HOME="$work/home12345" setpriv --reuid=12345 --regid=12345 --groups=23456 \
    "$cli" --remove-text alpha "$d/f.htm" >/dev/null
  check "another user's file keeps its owner" '[ "$(stat -c %u:%g "$d/f.htm")" == "23456:23456" ]'
  check "and gets the text" 'grep -q "<p></p>" "$d/f.htm"'
  check "nothing left beside it" '[ -z "$(leftovers "$d")" ]'
}

# full_disk NAME DIR: a growing edit on a nearly full disk, by rename and in
# place, must fail with "disk full" and leave every byte. In place, the
# recovery copy may go to the private folder elsewhere, so the edit grows the
# text by more than the room left.
full_disk() {
  local name=$1 d=$2 f
  for f in "$d/one.htm" "$d/linked.htm"; do
    local before rc=0 err
    before=$(md5sum <"$f")
    err=$("$cli" --replace alpha ALPHA-ALPHA-ALPHA-ALPHA-ALPHA-ALPHA "$f" 2>&1 >/dev/null) || rc=$?
    check "$name $(basename "$f"): disk full reported" '[ $rc -eq 1 ] && [[ "$err" == *"disk full"* ]]'
    check "$name $(basename "$f"): file unchanged" '[ "$(md5sum <"$f")" == "$before" ]'
  done
  check "$name: nothing left behind" '[ -z "$(leftovers "$d")" ] && [ -z "$(leftovers "$XDG_STATE_HOME")" ]'
}

case_full_tmpfs() {
  local d="$work/tmpfs"; mkdir -p "$d"
  mount -t tmpfs -o size=400k,nr_inodes=64 tmpfs "$d" 2>/dev/null || { skip "tmpfs: cannot mount"; return; }
  mounts+=("$d")
  # Two files of 144 kB leave about 110 kB: no room for either grown text.
  lines 4000 >"$d/one.htm"
  lines 4000 >"$d/linked.htm"; ln "$d/linked.htm" "$d/linked2.htm"
  full_disk tmpfs "$d"
}

case_full_btrfs() {
  command -v mkfs.btrfs >/dev/null || { skip "btrfs: no mkfs.btrfs"; return; }
  local img="$work/btrfs.img" d="$work/btrfs"; mkdir -p "$d"
  truncate -s 120M "$img"; mkfs.btrfs -q "$img" >/dev/null 2>&1
  mount -o loop "$img" "$d" 2>/dev/null || { skip "btrfs: cannot mount a loop image"; return; }
  mounts+=("$d")
  lines 500000 >"$d/one.htm"
  lines 500000 >"$d/linked.htm"; ln "$d/linked.htm" "$d/linked2.htm"
  # Fill it until about 8 MB are left.
  local free; free=$(df -B1M --output=avail "$d" | tail -1)
  [ "$free" -gt 8 ] && fallocate -l "$((free - 8))M" "$d/filler" 2>/dev/null; sync
  full_disk btrfs "$d"
}

case_stop_signals() {
  local d="$work/signals" signal
  for signal in TERM HUP QUIT; do
    rm -rf "$d"; mkdir -p "$d"
    lines 3000000 >"$d/big.htm"; echo '<p>alpha beta</p>' >"$d/small.htm"
    "$cli" --jobs 1 --remove-text "alpha " "$d/big.htm" "$d/small.htm" >"$d.out" 2>/dev/null &
    local pid=$! rc=0
    # The signal comes while the first file is being saved.
    wait_for "$d/.big.htm.quillmere-new" $pid
    kill -s "$signal" $pid; wait $pid || rc=$?
    local number; number=$(kill -l "$signal")
    check "SIG$signal: exit 128+$number" '[ $rc -eq $((128 + number)) ]'
    check "SIG$signal: the file in hand finished, the next untouched" \
      '! grep -q "alpha " "$d/big.htm" && grep -q "alpha " "$d/small.htm"'
    check "SIG$signal: summary printed, nothing left" \
      'grep -q "^Stopped. Files : 1 of 2" "$d.out" && [ -z "$(leftovers "$d")" ]'
  done
}

# Ctrl+C with two workers, once the first file is saved: each worker
# finishes its file and takes no other, the summary is printed, nothing
# temporary is left, and every file is wholly old or wholly new.
case_interrupt_jobs() {
  local d="$work/jobs" f old=0 new=0 rc=0
  rm -rf "$d"; mkdir -p "$d"
  lines 400000 >"$work/jobs.orig"
  "$cli" --remove-text "alpha " <"$work/jobs.orig" >"$work/jobs.new"
  for f in 1 2 3 4 5 6 7 8; do cp "$work/jobs.orig" "$d/f$f.htm"; done
  local size; size=$(stat -c %s "$work/jobs.orig")
  "$cli" --jobs 2 --json --remove-text "alpha " "$d"/f*.htm >"$d.out" 2>/dev/null &
  local pid=$!
  while [ "$(stat -c %s "$d/f1.htm")" == "$size" ] && kill -0 $pid 2>/dev/null; do sleep 0.01; done
  kill -INT $pid; wait $pid || rc=$?
  for f in "$d"/f*.htm; do
    if cmp -s "$f" "$work/jobs.orig"; then old=$((old + 1)); elif cmp -s "$f" "$work/jobs.new"; then new=$((new + 1)); fi
  done
  check "--jobs 2, Ctrl+C: exit 130" '[ $rc -eq 130 ]'
  check "--jobs 2, Ctrl+C: every file wholly old or new, some left untouched" \
    '[ $((old + new)) -eq 8 ] && [ $new -ge 1 ] && [ $old -ge 1 ]'
  check "--jobs 2, Ctrl+C: the files saved are the ones reported, then the summary" \
    '[ "$(grep -c "\"result\":\"changed\"" "$d.out")" -eq $new ] && tail -1 "$d.out" | grep -q "\"stopped_by_signal\":2"'
  check "--jobs 2, Ctrl+C: nothing left" '[ -z "$(leftovers "$d")" ]'
}

# A hard-linked file is rewritten in place; kill -9 as soon as it is touched
# (and a little later), with an edit that shrinks the text and one that
# grows it. A second run with the same options must finish the job.
case_kill_in_place() {
  local d="$work/kill" attempt
  mkdir -p "$d"; lines 5000000 >"$work/big.orig"
  local shrink=(--remove-text "alpha ") grow=(--case-sensitive --replace alpha ALPHA-BETA-GAMMA)
  for attempt in 1 2 3 4; do
    local edit=("${shrink[@]}"); [ $((attempt % 2)) -eq 0 ] && edit=("${grow[@]}")
    "$cli" "${edit[@]}" <"$work/big.orig" >"$work/big.expected"
    rm -f "$d"/*; cp "$work/big.orig" "$d/f.htm"; ln "$d/f.htm" "$d/f2.htm"
    local before; before=$(stat -c %Y.%Z "$d/f.htm")
    "$cli" "${edit[@]}" "$d/f.htm" >/dev/null 2>&1 &
    local pid=$!
    while [ "$(stat -c %Y.%Z "$d/f.htm")" == "$before" ] && kill -0 $pid 2>/dev/null; do :; done
    [ $attempt -gt 2 ] && sleep 0.03
    kill -9 $pid 2>/dev/null; wait $pid 2>/dev/null
    "$cli" "${edit[@]}" "$d/f.htm" >/dev/null 2>"$d.err"
    check "kill -9 $attempt: the next run gives the result of one run" 'cmp -s "$d/f2.htm" "$work/big.expected"'
    check "kill -9 $attempt: nothing left" '[ -z "$(leftovers "$d")" ] && [ -z "$(leftovers "$XDG_STATE_HOME")" ]'
  done
}

case_input() {
  local rc=0 err
  err=$(timeout 10 "$cli" --notes </dev/zero 2>&1 >/dev/null) || rc=$?
  check "/dev/zero refused at once" '[ $rc -eq 1 ] && [[ "$err" == *"NUL byte"* ]]'
  if [ -n "$sanitized" ]; then skip "out of memory: the sanitizers need the address space"; return; fi
  rc=0
  err=$(head -c 50M /dev/zero | tr '\0' a | (ulimit -v 400000; "$cli" --replace a AAAAAAAAAAAAAAAAAAAAAA) 2>&1 >/dev/null) || rc=$?
  check "out of memory: exit 1 with the reason" '[ $rc -eq 1 ] && [[ "$err" == *"out of memory"* ]]'
}

case_dry_run() {
  local d="$work/dry"; mkdir -p "$d"
  echo '<p>alpha</p>' >"$d/ro.htm"; chmod 444 "$d/ro.htm"; echo '<p>alpha</p>' >"$d/ok.htm"
  local rc=0 out err
  out=$("$cli" --dry-run --remove-text alpha "$d/ro.htm" "$d/ok.htm" 2>"$d.err") || rc=$?
  check "dry run: a file that cannot be saved is an error" \
    '[ $rc -eq 1 ] && grep -q "read-only (no write bit)" "$d.err" && [[ "$out" != *ro.htm* ]]'
  check "dry run: nothing written" 'grep -q alpha "$d/ro.htm" && grep -q alpha "$d/ok.htm"'
}

case_access_lists
case_foreign_link
case_other_users_file
case_full_tmpfs
case_full_btrfs
case_stop_signals
case_interrupt_jobs
case_kill_in_place
case_input
case_dry_run
echo "data safety: $failures failure(s)"
[ "$failures" -eq 0 ]
