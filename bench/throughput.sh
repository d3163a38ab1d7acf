#!/usr/bin/env bash
# A batch run against the disk, side by side, best of 3 rounds: 10,000 pages
# of 3,000 bytes in 40 folders, one literal rule (remove "<b>"), each round
# on a fresh copy of the tree:
#   quillmere-cli -r (with the undo journal), the same with --no-undo, the
#   --undo of the journaled run, and find -print0 | xargs -0 sed -i (which
#   flushes nothing);
# then 5,000 pages in 40 folders cleaned by the window's run (offscreen), on
# a worker per core and one file at a time, and by quillmere-cli -r; then
# the journaled and --no-undo runs again beside a busy process. Prints each
# time, the ratios the runs are held to and the peak memory.
# Usage: bench/throughput.sh [build folder] [work folder]
# The build folder (default build-bench) needs quillmere-cli,
# quillmere_make_html and window_run_bench (QUILLMERE_BUILD_BENCH=ON); the
# work folder (default /var/tmp) decides the file system measured.
set -euo pipefail
build=$(realpath "${1:-build-bench}")
cli=$build/cli/quillmere-cli
make_html=$build/bench/quillmere_make_html
window_bench=$build/bench/window_run_bench
work=$(mktemp -d "${2:-/var/tmp}/quillmere-throughput-XXXXXX")
trap 'rm -rf "$work"' EXIT
export XDG_STATE_HOME="$work/state"
rule='<b>'

# make_tree FOLDER COUNT: COUNT pages of 3,000 bytes spread over 40 folders.
make_tree() {
  local folder=$1 count=$2
  mkdir -p "$folder"
  head -c $((count * 3000)) "$work/source.html" |
    (cd "$folder" && split -b 3000 -d -a 5 --additional-suffix=.htm - page_)
  for d in $(seq -w 0 39); do mkdir "$folder/d$d"; done
  local i=0
  for page in "$folder"/page_*.htm; do
    mv "$page" "$folder/d$(printf '%02d' $((i % 40)))/"
    i=$((i + 1))
  done
}

# fresh SET: a new copy of a pristine tree in $work/run, on disk, and no
# journals kept (each run pays for its own journal, not for evicting others).
fresh() {
  rm -rf "$work/run" "$XDG_STATE_HOME"
  cp -r "$work/pristine-$1" "$work/run"
  sync
}

# timed LABEL CMD...: runs CMD, adds its wall time to $work/LABEL and its
# peak memory to $work/LABEL.peak. The window's bench prints the time of the
# run alone (without starting the window and listing the files): that one
# is taken.
timed() {
  local label=$1
  shift
  /usr/bin/time -f '%e %M' -o "$work/time.txt" "$@" >"$work/out.txt"
  read -r wall peak <"$work/time.txt"
  case $label in window*) read -r wall _ <"$work/out.txt" ;; esac
  echo "$wall" >>"$work/$label"
  echo "$peak" >>"$work/$label.peak"
}

best() { sort -g "$work/$1" | head -1; }
ratio() { echo "scale=2; $1 / $2" | bc -l; }

"$make_html" 40 7 >"$work/source.html"
make_tree "$work/pristine-10000" 10000
make_tree "$work/pristine-5000" 5000

for round in 1 2 3; do
  fresh 10000
  timed journal "$cli" -r --remove-text "$rule" "$work/run"
  timed undo "$cli" --undo
  fresh 10000
  timed no-undo "$cli" -r --no-undo --remove-text "$rule" "$work/run"
  fresh 10000
  timed sed sh -c 'find "$1" -type f -print0 | xargs -0 sed -i "s/<b>//g"' sh "$work/run"
  fresh 5000
  timed window "$window_bench" "$work/run" "$rule"
  fresh 5000
  timed window-serial "$window_bench" "$work/run" "$rule" 1
  fresh 5000
  timed cli-5000 "$cli" -r --remove-text "$rule" "$work/run"
  echo "round $round done" >&2
done

# A second program busy on one core all along.
sh -c 'while :; do :; done' &
busy=$!
for round in 1 2 3; do
  fresh 10000
  timed busy-journal "$cli" -r --remove-text "$rule" "$work/run"
  fresh 10000
  timed busy-no-undo "$cli" -r --no-undo --remove-text "$rule" "$work/run"
done
kill "$busy"

journal=$(best journal); no_undo=$(best no-undo); undo=$(best undo); sed=$(best sed)
window=$(best window); serial=$(best window-serial); cli5000=$(best cli-5000)
where=$(df --output=fstype "$work" | tail -1 | tr -d ' ')
echo "best of 3 on $where, $(nproc) cores; 10,000 pages of 3,000 bytes in 40 folders, remove \"$rule\""
printf '%-44s %8s s\n' "quillmere-cli -r (undo journal)" "$journal"
printf '%-44s %8s s\n' "quillmere-cli -r --no-undo" "$no_undo"
printf '%-44s %8s s\n' "quillmere-cli --undo of the journaled run" "$undo"
printf '%-44s %8s s\n' "find -print0 | xargs -0 sed -i (no flush)" "$sed"
printf '%-44s %8s   (goal <= 1.20)\n' "journal / --no-undo" "$(ratio "$journal" "$no_undo")"
printf '%-44s %8s   (goal <= 1.00)\n' "undo / run" "$(ratio "$undo" "$journal")"
printf '%-44s %8s   (goal >= 2.00)\n' "sed / run" "$(ratio "$sed" "$journal")"
printf '%-44s %8s kB\n' "peak memory of the journaled run" "$(sort -g "$work/journal.peak" | tail -1)"
busy_journal=$(best busy-journal); busy_no_undo=$(best busy-no-undo)
echo "beside a busy process"
printf '%-44s %8s s\n' "quillmere-cli -r (undo journal)" "$busy_journal"
printf '%-44s %8s s\n' "quillmere-cli -r --no-undo" "$busy_no_undo"
printf '%-44s %8s   (goal <= 1.20)\n' "journal / --no-undo" "$(ratio "$busy_journal" "$busy_no_undo")"
echo "5,000 pages in 40 folders"
printf '%-44s %8s s\n' "the window's run, one file at a time" "$serial"
printf '%-44s %8s s\n' "the window's run on $(nproc) workers" "$window"
printf '%-44s %8s   (goal >= 1.70)\n' "one at a time / on workers" "$(ratio "$serial" "$window")"
printf '%-44s %8s s\n' "quillmere-cli -r" "$cli5000"
printf '%-44s %8s kB\n' "peak memory of the window" "$(sort -g "$work/window.peak" | tail -1)"
