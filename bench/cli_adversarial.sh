#!/usr/bin/env bash
# Runs quillmere-cli with every cleaning group on 13.5 MB of adversarial
# tags of each kind, printing the wall time and peak memory of each run.
# Usage: bench/cli_adversarial.sh [path/to/quillmere-cli]
set -euo pipefail
cli=${1:-build/cli/quillmere-cli}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
size=13500000

make_input() {  # name unit [head]
  # yes ends on SIGPIPE once head has enough, which is not a failure here.
  (set +o pipefail; printf '%s' "${3:-}"; yes "$2" | tr -d '\n' | head -c "$size") > "$work/$1"
}
make_input img_tags '<img x>'
make_input adjacent_br '<BR>'
make_input comments '<!-- c -->'
make_input double_spaces '  '
make_input unterminated_script '<p>text</p>' '<script>'
make_input cells '<td x>'
make_input empty_paragraphs '<p></p>'
make_input list_items '<LI>'
make_input mixed '<img x><BR><BR><!-- c --><td x>  <p></p><B>b</B><font size=1><li><table>'

all_groups=(--tables --scripts --pictures --forms --sounds --notes --lists --fonts
            --remove-text '<p>' --remove-block '<!' '>' --replace '<BR>' '<br>')
printf '%-22s %10s %12s\n' input seconds peak_MB
for input in "$work"/*; do
  read -r seconds kilobytes < <(/usr/bin/time -f '%e %M' "$cli" "${all_groups[@]}" \
      < "$input" 2>&1 >/dev/null | tail -n 1)
  printf '%-22s %10s %12.1f\n' "$(basename "$input")" "$seconds" "$(echo "$kilobytes / 1024" | bc -l)"
done
