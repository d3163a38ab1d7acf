#!/usr/bin/env bash
# Times quillmere-cli on 64 MiB of real HTML (bench/make_real_html_corpus.sh)
# with no group (reading and writing only: the floor), with the eight group
# switches, and the same eight groups as Perl substitutions
# (bench/eight_groups.pl). Prints the median of each over the rounds, the two
# ratios and the peak memory of the eight-group run as a multiple of the input.
# Usage: bench/real_html_bench.sh [path/to/quillmere-cli] [rounds]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cli=${1:-build-bench/cli/quillmere-cli}
rounds=${2:-7}
groups=(--tables --scripts --pictures --forms --sounds --notes --lists --fonts)

# Files live in memory where the system offers it (/dev/shm), so that disk
# write-back does not blur the times.
shm=/dev/shm
[ -d "$shm" ] && [ -w "$shm" ] || shm=${TMPDIR:-/tmp}
work=$(mktemp -d -p "$shm")
trap 'rm -rf "$work"' EXIT
corpus="$work/corpus.html"
"$here/make_real_html_corpus.sh" "$corpus"
input_bytes=$(stat -c %s "$corpus")

# run NAME COMMAND...: runs with the corpus on standard input, appends the wall
# time in seconds to NAME.times and the peak resident size in kB to NAME.peak.
run() {
  local name=$1
  shift
  local start end
  rm -f "$work/$name.out"
  start=$(date +%s%N)
  /usr/bin/time -f '%M' -o "$work/$name.rss" "$@" < "$corpus" > "$work/$name.out"
  end=$(date +%s%N)
  echo "scale=3; ($end - $start) / 1000000000" | bc >> "$work/$name.times"
  cat "$work/$name.rss" >> "$work/$name.peak"
}

median() { sort -n "$1" | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
largest() { sort -n "$1" | tail -n 1; }

for _ in $(seq "$rounds"); do
  run floor "$cli"
  run groups "$cli" "${groups[@]}"
  run perl perl "$here/eight_groups.pl"
done

floor=$(median "$work/floor.times")
all=$(median "$work/groups.times")
perl_time=$(median "$work/perl.times")
peak_kb=$(largest "$work/groups.peak")
same=$(cmp -s "$work/groups.out" "$work/perl.out" && echo "yes" || echo "no")

printf 'input: %d bytes of real HTML; median of %d rounds\n' "$input_bytes" "$rounds"
printf '%-44s %8.3f s\n' "quillmere-cli, no group (the floor)" "$floor"
printf '%-44s %8.3f s\n' "quillmere-cli, eight groups" "$all"
printf '%-44s %8.3f s\n' "perl bench/eight_groups.pl" "$perl_time"
printf '%-44s %8.1f x  (goal: at least 20)\n' "Perl time / eight-group time" "$(echo "$perl_time / $all" | bc -l)"
printf '%-44s %8.2f x  (goal: at most 3)\n' "eight-group time / floor" "$(echo "$all / $floor" | bc -l)"
printf '%-44s %8.2f x  (%d kB; goal: at most 2.5)\n' "eight-group peak memory / input" \
  "$(echo "$peak_kb * 1024 / $input_bytes" | bc -l)" "$peak_kb"
printf '%-44s %8s\n' "Perl output identical" "$same"
