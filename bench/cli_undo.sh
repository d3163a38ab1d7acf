#!/usr/bin/env bash
# Times a run over 10,000 files of 3,000 bytes and the undo of that run, three
# rounds, and prints the undo's share of the run's time.
# Usage: cli_undo.sh QUILLMERE-CLI QUILLMERE-MAKE-HTML [JOBS]
# BENCH_DIR picks the file system (default /tmp); JOBS goes to both (default 1).
set -euo pipefail
cli=$(realpath "$1"); make_html=$(realpath "$2"); jobs=${3:-1}
work=$(mktemp -d "${BENCH_DIR:-/tmp}/undo-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
export XDG_STATE_HOME="$work/state"
"$make_html" 40 7 >"$work/source.html"
for round in 1 2 3; do
  rm -rf "$work/small" "$work/state"
  mkdir "$work/small"
  head -c 30000000 "$work/source.html" | (cd "$work/small" && split -b 3000 -d -a 5 - page_)
  sync
  start=$(date +%s.%N)
  "$cli" --jobs "$jobs" --pda --fonts "$work"/small/page_* >/dev/null
  middle=$(date +%s.%N)
  "$cli" --jobs "$jobs" --undo >/dev/null
  end=$(date +%s.%N)
  printf 'round %d: run %.2f s, undo %.2f s, undo/run %.2f\n' "$round" \
    "$(echo "$middle - $start" | bc)" "$(echo "$end - $middle" | bc)" \
    "$(echo "($end - $middle) / ($middle - $start)" | bc -l)"
done
