#!/usr/bin/env bash
# The undo journal as a user meets it: private under any umask, a run after
# the clock went back, an undo killed at random moments and run again (in
# place and by rename), arguments that are no run.
# Needs root only for what the helpers share; a case whose tool is missing
# says why and is skipped.
# Usage: undo_journal_test.sh QUILLMERE-CLI
set -uo pipefail
cli=$(realpath "$1")
source "$(dirname "$0")/safety_helpers.sh"

case_private() {
  local d="$work/private"; mkdir -p "$d"
  echo '<p>secret alpha</p>' >"$d/small.htm"; chmod 600 "$d/small.htm"
  head -c 2000000 /dev/zero | tr '\0' a >"$d/large.htm"; chmod 600 "$d/large.htm"
  (umask 022 && "$cli" --replace a b "$d/small.htm" "$d/large.htm" >/dev/null 2>&1)
  check "journal: nothing in the state folder others may read or enter" \
    '[ -d "$XDG_STATE_HOME/quillmere/runs" ] && [ -z "$(find "$XDG_STATE_HOME/quillmere" -perm /077)" ]'
}

case_clock_back() {
  local d="$work/clock"; mkdir -p "$d"
  echo '<p>alpha beta</p>' >"$d/a.htm"; echo '<p>alpha beta</p>' >"$d/b.htm"
  local rc=0
  TZ=Asia/Tokyo timeout -s KILL 20 "$cli" --remove-text alpha "$d/a.htm" >/dev/null 2>&1 || rc=$?
  TZ=UTC timeout -s KILL 20 "$cli" --remove-text beta "$d/b.htm" >/dev/null 2>&1 || rc=$?
  check "a run after local time went back ends at once and can be undone" \
    '[ $rc -eq 0 ] && timeout -s KILL 20 "$cli" --undo >/dev/null 2>&1 && grep -q beta "$d/b.htm" && ! grep -q alpha "$d/a.htm"'
}

# undo_killed NAME LINKED: 20 runs, each undone by an undo killed after a
# random moment and then run again; the files must be the originals.
undo_killed() {
  local name=$1 linked=$2 d="$work/undo-$1" i ok=0
  mkdir -p "$d"
  lines 300000 >"$work/undo.orig"
  for i in $(seq 1 20); do
    rm -f "$d"/*; cp "$work/undo.orig" "$d/f.htm"
    [ "$linked" = yes ] && ln "$d/f.htm" "$d/f2.htm"
    "$cli" --remove-text "alpha " "$d/f.htm" >/dev/null 2>&1
    "$cli" --undo >/dev/null 2>&1 &
    local pid=$!
    sleep "0.0$((RANDOM % 10))$((RANDOM % 10))"
    kill -9 $pid 2>/dev/null; wait $pid 2>/dev/null
    "$cli" --undo >/dev/null 2>&1
    if cmp -s "$d/f.htm" "$work/undo.orig" && "$cli" --runs | sed -n 2p | grep -q ' yes$' &&
      [ -z "$(leftovers "$d")" ]; then
      ok=$((ok + 1))
    fi
  done
  check "undo killed at random moments ($name), then run again: 20 of 20 back exactly" '[ $ok -eq 20 ]'
}

case_bad_arguments() {
  local args rc
  for args in "--undo a.html" "--undo bogus" "--undo latest" "--undo --pda x.html" "--jsonl-stream --undo"; do
    rc=0
    # shellcheck disable=SC2086
    "$cli" $args </dev/null >/dev/null 2>&1 || rc=$?
    check "\"$args\" is a usage error" '[ $rc -eq 2 ]'
  done
}

case_private
case_clock_back
undo_killed by-rename no
undo_killed in-place yes
case_bad_arguments
echo "undo journal: $failures failure(s)"
[ "$failures" -eq 0 ]
