#!/usr/bin/env bash
# Times quillmere-cli with the eight groups on the real HTML corpus
# (bench/make_real_html_corpus.sh) made valid UTF-8, and on the same text as
# UTF-16LE and UTF-16BE (with a byte order mark). Prints the best wall and
# processor (user + system) time of each over the rounds and the UTF-16 /
# UTF-8 ratios, and checks that each UTF-16 output is the UTF-8 output in
# that encoding.
# Usage: bench/utf16_bench.sh [path/to/quillmere-cli] [rounds]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cli=${1:-build-bench/cli/quillmere-cli}
rounds=${2:-5}
groups=(--tables --scripts --pictures --forms --sounds --notes --lists --fonts)

shm=/dev/shm
[ -d "$shm" ] && [ -w "$shm" ] || shm=${TMPDIR:-/tmp}
work=$(mktemp -d -p "$shm")
trap 'rm -rf "$work"' EXIT
"$here/make_real_html_corpus.sh" "$work/raw.html"
# The corpus is cut at a fixed size and mixes a few legacy pages: only its
# valid UTF-8 is kept.
iconv -c -f UTF-8 -t UTF-8 "$work/raw.html" > "$work/utf-8" || true
iconv -f UTF-8 -t UTF-16LE "$work/utf-8" | { printf '\xFF\xFE'; cat; } > "$work/utf-16le"
iconv -f UTF-8 -t UTF-16BE "$work/utf-8" | { printf '\xFE\xFF'; cat; } > "$work/utf-16be"

# run NAME: runs on the NAME input, appends wall and processor seconds.
run() {
  local name=$1 start end user system
  start=$(date +%s%N)
  /usr/bin/time -f '%U %S' -o "$work/$name.cpu1" "$cli" "${groups[@]}" \
    < "$work/$name" > "$work/$name.out"
  end=$(date +%s%N)
  echo "scale=3; ($end - $start) / 1000000000" | bc >> "$work/$name.times"
  read -r user system < "$work/$name.cpu1"
  echo "$user + $system" | bc >> "$work/$name.cpu"
}

best() { sort -n "$1" | head -n 1; }
ratio() { echo "$1 / $2" | bc -l; }

for _ in $(seq "$rounds"); do
  for name in utf-8 utf-16le utf-16be; do run "$name"; done
done

printf 'input: %d bytes of UTF-8 text; best of %d rounds\n' "$(stat -c %s "$work/utf-8")" "$rounds"
printf '%-42s %8s %10s %8s %10s\n' "" "wall" "processor" "/UTF-8" "/UTF-8"
for name in utf-8 utf-16le utf-16be; do
  wall=$(best "$work/$name.times")
  cpu=$(best "$work/$name.cpu")
  printf '%-42s %7.3fs %9.3fs %7.2fx %9.2fx\n' "quillmere-cli, eight groups, $name" \
    "$wall" "$cpu" "$(ratio "$wall" "$(best "$work/utf-8.times")")" \
    "$(ratio "$cpu" "$(best "$work/utf-8.cpu")")"
done
for form in LE BE; do
  name=utf-16${form,,}
  same=$(tail -c +3 "$work/$name.out" | iconv -f "UTF-16$form" -t UTF-8 | cmp -s - "$work/utf-8.out" &&
    echo yes || echo no)
  printf '%-42s %8s\n' "$name output = UTF-8 output" "$same"
done
echo "goal: UTF-16 at most 2x UTF-8"
