#!/usr/bin/env bash
# --jsonl-stream on hostile records: a record nested 50,000 levels deep, a
# long record's peak memory as a multiple of its size, a record longer than
# --max-record, and a record that does not fit under a memory limit; each
# followed by a good record, whose answer must come too.
# Usage: bench/stream_records.sh [quillmere-cli] [record MB]
set -euo pipefail
cli=$(realpath "${1:-build/cli/quillmere-cli}")
megabytes=${2:-200}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
good='{"id":"next","text":"<b>ok</b>"}'

answers() {  # file [limit KB] [options...]: the answers, each cut to 90 bytes
  local file=$1 limit=$2
  shift 2
  (ulimit -v "$limit"; "$cli" --jsonl-stream --fonts "$@" < "$file" | cut -c1-90)
}

python3 -c "import sys; d = 50000; print('{\"id\":' + '[' * d + ']' * d + ',\"text\":\"x\"}')" \
  > "$work/deep.jsonl"
echo "$good" >> "$work/deep.jsonl"
echo "== a record nested 50,000 levels deep"
answers "$work/deep.jsonl" unlimited

python3 -c "
import sys
n = $megabytes * 1024 * 1024 // 17
sys.stdout.write('{\"id\":1,\"text\":\"' + '<B>bold</B> text ' * n + '\"}\n')" > "$work/long.jsonl"
echo "$good" >> "$work/long.jsonl"
bytes=$(head -n 1 "$work/long.jsonl" | wc -c)
echo "== a record of $bytes bytes"
read -r seconds kilobytes < <( { /usr/bin/time -f '%e %M' "$cli" --jsonl-stream --fonts \
    < "$work/long.jsonl" > "$work/out.jsonl"; } 2>&1 | tail -n 1)
cut -c1-90 "$work/out.jsonl"
printf 'seconds %s, peak %.0f MB, %.2f times the record\n' "$seconds" \
  "$(echo "$kilobytes / 1024" | bc -l)" "$(echo "$kilobytes * 1024 / $bytes" | bc -l)"

echo "== the same record with --max-record 64M"
answers "$work/long.jsonl" unlimited --max-record 64M
for limit in 300 450; do
  echo "== the same record under a memory limit of $limit MB (ulimit -v)"
  answers "$work/long.jsonl" $((limit * 1000))
done
