#!/usr/bin/env bash
# quillmere-cli's regular-expression rules against sd and perl -pi on the same
# 10,000 small HTML files, side by side: each tool gets its own copy of the
# files, the results must be byte for byte the same, and the wall time and
# peak memory of each run are printed (the median of the rounds).
# Usage: bench/regex_rules.sh [quillmere-cli] [rounds]
set -euo pipefail
cli=$(realpath "${1:-build/cli/quillmere-cli}")
rounds=${2:-5}
for tool in sd perl; do
  command -v "$tool" >/dev/null || { echo "needs $tool (tools/install-deps.sh bench)" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_STATE_HOME=$work/state

# 10,000 pages of about 4 KB, spans with attributes and prices to rewrite.
mkdir "$work/pristine"
awk -v dir="$work/pristine" 'BEGIN {
  for (i = 0; i < 10000; ++i) {
    file = dir "/page" i ".html"
    for (p = 0; p < 40; ++p) {
      printf "<p><span class=\"c%d\" id=\"s%d\">item %d</span> costs 1%d.%02d EUR</p>\n", p, i, p, p, i % 100 > file
    }
    close(file)
  }
}'

# The same edits for each tool: spans lose their attributes, "12.34 EUR"
# becomes "EUR 12.34". Patterns in each tool's own syntax, case-sensitive.
run_tool() {  # tool folder
  case $1 in
    quillmere) "$cli" --no-undo --case-sensitive -j1 \
                 --replace-regex '<span[^>]*>' '<span>' \
                 --replace-regex '([0-9]+\.[0-9]+) EUR' 'EUR $1' "$2"/*.html >/dev/null ;;
    sd) sd '<span[^>]*>' '<span>' "$2"/*.html && sd '([0-9]+\.[0-9]+) EUR' 'EUR $1' "$2"/*.html ;;
    perl) perl -pi -e 's/<span[^>]*>/<span>/g; s/([0-9]+\.[0-9]+) EUR/EUR $1/g' "$2"/*.html ;;
  esac
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

printf '%-10s %10s %10s\n' tool seconds peak_MB
for tool in quillmere sd perl; do
  times=()
  peaks=()
  for ((r = 0; r < rounds; ++r)); do
    rm -rf "$work/$tool"
    cp -r "$work/pristine" "$work/$tool"
    read -r seconds kilobytes < <( { /usr/bin/time -f '%e %M' bash -c "$(declare -f run_tool); \
        cli='$cli' run_tool $tool '$work/$tool'" ; } 2>&1 >/dev/null | tail -n 1)
    times+=("$seconds")
    peaks+=("$kilobytes")
  done
  printf '%-10s %10s %10.1f\n' "$tool" "$(printf '%s\n' "${times[@]}" | median)" \
    "$(echo "$(printf '%s\n' "${peaks[@]}" | median) / 1024" | bc -l)"
done
diff -r "$work/quillmere" "$work/sd" >/dev/null || { echo "quillmere-cli and sd differ" >&2; exit 1; }
diff -r "$work/quillmere" "$work/perl" >/dev/null || { echo "quillmere-cli and perl differ" >&2; exit 1; }
echo "the three tools wrote the same files"
