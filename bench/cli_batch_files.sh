#!/usr/bin/env bash
# quillmere-cli cleaning files in place: 10,000 small HTML files (files per
# second, when they change and when they do not) and one large file (wall
# time and peak memory against the file's size), each with the undo journal
# every run keeps and without it (--no-undo).
# Usage: bench/cli_batch_files.sh [quillmere-cli] [quillmere_make_html] [large MB] [folder]
# The folder (default: a new one under $TMPDIR) decides the file system measured.
set -euo pipefail
cli=${1:-build/cli/quillmere-cli}
make_html=${2:-build/bench/quillmere_make_html}
large_mb=${3:-500}
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

# run LABEL ARGS...: times one run over the small files, prints files/s.
run_small() {
  local label=$1
  shift
  local files=("$work"/small/page_*)
  local start end summary
  start=$(date +%s.%N)
  summary=$("$cli" "$@" "${files[@]}")
  end=$(date +%s.%N)
  printf '%-30s %8.3f s %10.0f files/s   %s\n' "$label" "$(echo "$end - $start" | bc -l)" \
    "$(echo "${#files[@]} / ($end - $start)" | bc -l)" "$summary"
}

echo "== $count files of 3000 bytes in $work"
# Rounds alternate, so that a busy moment of a shared machine falls on both.
for round in 1 2 3 4 5; do
  make_small_files
  run_small "changed ($round)" --pda --fonts
  make_small_files
  run_small "changed, --no-undo ($round)" --pda --fonts --no-undo
done
make_small_files
for round in 1 2 3; do
  run_small "unchanged ($round)" --remove-text 'not-in-any-file-qz'
done
rm -rf "$work/small"

echo "== one file of $large_mb MB"
"$make_html" "$large_mb" 11 > "$work/large.orig"
size=$(stat -c %s "$work/large.orig")

# run_large LABEL ARGS...: one run over a fresh copy of the large file.
run_large() {
  local label=$1
  shift
  cp "$work/large.orig" "$work/large.html"
  sync
  /usr/bin/time -v "$cli" "$@" "$work/large.html" 2> "$work/time.txt" > /dev/null
  local wall peak_kb
  wall=$(grep 'Elapsed (wall clock)' "$work/time.txt" | awk '{print $NF}')
  peak_kb=$(grep 'Maximum resident set size' "$work/time.txt" | awk '{print $NF}')
  printf '%-22s file %d bytes, wall %s, peak RSS %d kB = %.2f x the file\n' "$label" "$size" \
    "$wall" "$peak_kb" "$(echo "$peak_kb * 1024 / $size" | bc -l)"
}

for round in 1 2 3 4 5; do
  run_large "with journal ($round)" --pda --fonts
  run_large "--no-undo ($round)" --pda --fonts --no-undo
done
