#!/usr/bin/env bash
# quillmere-cli cleaning files in place: 10,000 small HTML files (files per
# second, when they change and when they do not) and one large file (wall
# time and peak memory against the file's size), each with the undo journal
# every run keeps and without it (--no-undo).
# Usage: bench/cli_batch_files.sh [quillmere-cli] [quillmere_make_html] [large MB] [folder] [rounds]
# The folder (default: a new one under $TMPDIR) decides the file system
# measured; rounds default to 7. The medians and the journal's cost come last.
set -euo pipefail
cli=${1:-build/cli/quillmere-cli}
make_html=${2:-build/bench/quillmere_make_html}
large_mb=${3:-500}
rounds=${5:-7}
work=$(mktemp -d "${4:-${TMPDIR:-/tmp}}/quillmere-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
count=10000
# The runs' undo journals go to the work folder, not the user's own.
export XDG_STATE_HOME="$work/state"

"$make_html" 40 7 > "$work/source.html"

make_small_files() {
  rm -rf "$work/small"
  mkdir "$work/small"
  head -c $((count * 3000)) "$work/source.html" | (cd "$work/small" && split -b 3000 -d -a 5 - page_)
  sync
}

# Each timed run starts with no journals kept, so it pays for its own journal
# and not for evicting older runs'.
fresh_state() { rm -rf "$XDG_STATE_HOME"; }

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# run_small LABEL ARGS...: times one run over the small files, prints files/s
# and adds the time to $work/LABEL.times.
run_small() {
  local label=$1
  shift
  local files=("$work"/small/page_*)
  local start end summary
  fresh_state
  start=$(date +%s.%N)
  summary=$("$cli" "$@" "${files[@]}")
  end=$(date +%s.%N)
  echo "$end - $start" | bc -l >>"$work/$label.times"
  printf '%-30s %8.3f s %10.0f files/s   %s\n' "$label ($round)" "$(echo "$end - $start" | bc -l)" \
    "$(echo "${#files[@]} / ($end - $start)" | bc -l)" "$summary"
}

echo "== $count files of 3000 bytes in $work"
# Rounds alternate, so that a busy moment of a shared machine falls on both.
for round in $(seq "$rounds"); do
  make_small_files
  run_small "changed" --pda --fonts
  make_small_files
  run_small "changed, --no-undo" --pda --fonts --no-undo
done
make_small_files
for round in 1 2 3; do
  run_small "unchanged" --remove-text 'not-in-any-file-qz'
done
rm -rf "$work/small"

echo "== one file of $large_mb MB"
"$make_html" "$large_mb" 11 > "$work/large.orig"
size=$(stat -c %s "$work/large.orig")

# run_large LABEL ARGS...: one run over a fresh copy of the large file; adds
# the time to $work/LABEL.times.
run_large() {
  local label=$1
  shift
  cp "$work/large.orig" "$work/large.html"
  fresh_state
  sync
  /usr/bin/time -f '%e %M' -o "$work/time.txt" "$cli" "$@" "$work/large.html" > /dev/null
  local wall peak_kb
  read -r wall peak_kb <"$work/time.txt"
  echo "$wall" >>"$work/$label.times"
  printf '%-24s file %d bytes, wall %6.2f s, peak RSS %d kB = %.2f x the file\n' "$label ($round)" \
    "$size" "$wall" "$peak_kb" "$(echo "$peak_kb * 1024 / $size" | bc -l)"
}

for round in $(seq "$rounds"); do
  run_large "with journal" --pda --fonts
  run_large "--no-undo" --pda --fonts --no-undo
done

with_small=$(median <"$work/changed.times")
without_small=$(median <"$work/changed, --no-undo.times")
with_large=$(median <"$work/with journal.times")
without_large=$(median <"$work/--no-undo.times")
echo "== medians of $rounds rounds"
printf '%-34s %8.0f files/s with the journal, %8.0f without (goal: at least 2000 with)\n' \
  "$count small files, changed" "$(echo "$count / $with_small" | bc -l)" \
  "$(echo "$count / $without_small" | bc -l)"
printf '%-34s %8.2f s with the journal, %8.2f s without: %+.0f %% (goal: at most +30 %%)\n' \
  "one file of $large_mb MB" "$with_large" "$without_large" \
  "$(echo "($with_large / $without_large - 1) * 100" | bc -l)"
