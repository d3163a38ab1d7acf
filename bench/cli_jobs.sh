#!/usr/bin/env bash
# quillmere-cli --jobs 1 against --jobs 2: 10,000 small HTML files (3,000
# bytes) and 100 files of 5 MB, cleaned in place with -r --pda --fonts, in a
# folder on tmpfs and one on disk. Each round makes the files afresh (and an
# empty undo journal beside them), then times one run; the medians of wall
# time, the speed-up and the peak memory are printed.
# Usage: bench/cli_jobs.sh [quillmere-cli] [quillmere_make_html] [rounds] [folder...]
# Folders default to /dev/shm (tmpfs) and /var/tmp (disk).
set -euo pipefail
cli=$(realpath "${1:-build-bench/cli/quillmere-cli}")
make_html=$(realpath "${2:-build-bench/bench/quillmere_make_html}")
rounds=${3:-5}
shift $(($# < 3 ? $# : 3))
folders=("$@")
[ ${#folders[@]} -gt 0 ] || folders=(/dev/shm /var/tmp)

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# prepare WORK: the pristine sets small/ (10,000 files) and large/ (100 files).
prepare() {
  local work=$1
  mkdir -p "$work/pristine/small" "$work/pristine/large"
  "$make_html" 40 7 >"$work/source.html"
  head -c $((10000 * 3000)) "$work/source.html" |
    (cd "$work/pristine/small" && split -b 3000 -d -a 5 --additional-suffix=.htm - page_)
  "$make_html" 5 11 >"$work/large.htm"
  for i in $(seq -w 1 100); do cp "$work/large.htm" "$work/pristine/large/big_$i.htm"; done
  rm -f "$work/source.html" "$work/large.htm"
}

# measure WORK SET JOBS: one run on fresh files; prints "wall peak_kB".
measure() {
  local work=$1 set=$2 jobs=$3
  rm -rf "$work/run" "$work/state"
  cp -r "$work/pristine/$set" "$work/run"
  sync
  XDG_STATE_HOME="$work/state" /usr/bin/time -f '%e %M' -o "$work/time.txt" \
    "$cli" -r --pda --fonts --jobs "$jobs" "$work/run" >"$work/summary.txt"
  cat "$work/time.txt"
}

echo "quillmere-cli -r --pda --fonts --jobs N FOLDER; median of $rounds rounds"
printf '%-10s %-22s %9s %9s %8s %14s %12s\n' "where" "files" "jobs 1" "jobs 2" "speed-up" \
  "peak (jobs 2)" "peak/largest"
for folder in "${folders[@]}"; do
  work=$(mktemp -d "$folder/quillmere-jobs-XXXXXX")
  trap 'rm -rf "$work"' EXIT
  prepare "$work"
  where=$(df --output=fstype "$work" | tail -1)
  for set in small large; do
    : >"$work/w1"; : >"$work/w2"; : >"$work/m2"
    for _ in $(seq "$rounds"); do
      for jobs in 1 2; do
        read -r wall peak < <(measure "$work" "$set" "$jobs")
        echo "$wall" >>"$work/w$jobs"
        [ "$jobs" -eq 2 ] && echo "$peak" >>"$work/m2"
      done
    done
    w1=$(median <"$work/w1"); w2=$(median <"$work/w2"); m2=$(median <"$work/m2")
    largest=$(find "$work/pristine/$set" -type f -printf '%s\n' | sort -n | tail -1)
    label=$([ "$set" == small ] && echo "10,000 x 3,000 bytes" || echo "100 x 5 MB")
    printf '%-10s %-22s %8.2fs %8.2fs %7.2fx %11d kB %11.1fx\n' "$where" "$label" "$w1" "$w2" \
      "$(echo "$w1 / $w2" | bc -l)" "$m2" "$(echo "$m2 * 1024 / $largest" | bc -l)"
  done
  echo "           last summary: $(head -1 "$work/summary.txt")"
  rm -rf "$work"
  trap - EXIT
done
