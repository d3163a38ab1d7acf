#!/usr/bin/env bash
# Times quillmere-cli on 64 MiB of real HTML (bench/make_real_html_corpus.sh)
# with no group (reading and writing only: the floor), with the eight group
# switches, and the same eight groups as Perl substitutions
# (bench/eight_groups.pl). Prints the median wall and processor (user +
# system) time of each over the rounds, the two ratios of each, and the peak
# memory of the eight-group run as a multiple of the input. On a shared
# machine the processor times vary less.
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
# time in seconds to NAME.times, the processor time (user + system) to NAME.cpu
# and the peak resident size in kB to NAME.peak.
run() {
  local name=$1
  shift
  local start end
  rm -f "$work/$name.out"
  start=$(date +%s%N)
  /usr/bin/time -f '%M %U %S' -o "$work/$name.rss" "$@" < "$corpus" > "$work/$name.out"
  end=$(date +%s%N)
  echo "scale=3; ($end - $start) / 1000000000" | bc >> "$work/$name.times"
  read -r kilobytes user system < "$work/$name.rss"
  echo "$kilobytes" >> "$work/$name.peak"
  echo "$user + $system" | bc >> "$work/$name.cpu"
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
floor_cpu=$(median "$work/floor.cpu")
all_cpu=$(median "$work/groups.cpu")
perl_cpu=$(median "$work/perl.cpu")
peak_kb=$(largest "$work/groups.peak")
same=$(cmp -s "$work/groups.out" "$work/perl.out" && echo "yes" || echo "no")

ratio() { echo "$1 / $2" | bc -l; }

printf 'input: %d bytes of real HTML; median of %d rounds\n' "$input_bytes" "$rounds"
printf '%-44s %8s %10s\n' "" "wall" "processor"
printf '%-44s %7.3fs %9.3fs\n' "quillmere-cli, no group (the floor)" "$floor" "$floor_cpu"
printf '%-44s %7.3fs %9.3fs\n' "quillmere-cli, eight groups" "$all" "$all_cpu"
printf '%-44s %7.3fs %9.3fs\n' "perl bench/eight_groups.pl" "$perl_time" "$perl_cpu"
printf '%-44s %7.1fx %9.1fx  (goal: at least 20)\n' "Perl / eight groups" \
  "$(ratio "$perl_time" "$all")" "$(ratio "$perl_cpu" "$all_cpu")"
printf '%-44s %7.2fx %9.2fx  (goal: at most 3)\n' "eight groups / floor" \
  "$(ratio "$all" "$floor")" "$(ratio "$all_cpu" "$floor_cpu")"
printf '%-44s %7.2fx  (%d kB; goal: at most 2.5)\n' "eight groups, peak memory / input" \
  "$(echo "$peak_kb * 1024 / $input_bytes" | bc -l)" "$peak_kb"
printf '%-44s %8s\n' "Perl output identical" "$same"
