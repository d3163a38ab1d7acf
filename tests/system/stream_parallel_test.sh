#!/usr/bin/env bash
# quillmere-cli --jsonl-stream under GNU parallel --pipe: 10,000 records cut
# into blocks and cleaned by several processes at once must come back, in
# order, exactly as one process answers them, bad records included.
# Usage: stream_parallel_test.sh QUILLMERE-CLI
set -euo pipefail
cli=$(realpath "$1")
command -v parallel >/dev/null || { echo "SKIP: needs GNU parallel (Debian package parallel)"; exit 77; }
work=$(mktemp -d /tmp/quillmere-stream-XXXXXX)
trap 'rm -rf "$work"' EXIT

# Five kinds of record in turn, and now and then a line that is no JSON.
awk 'BEGIN {
  for (i = 0; i < 10000; i++) {
    k = i % 5
    if (i % 997 == 0) print "not json " i
    else if (k == 0) printf "{\"id\":%d,\"text\":\"<table><tr><td>cell %d</td></tr></table>  <B>b</B>\\r\\n\\r\\n<!-- c -->\"}\n", i, i
    else if (k == 1) printf "{\"id\":\"r%d\",\"text\":\"<ul><li>a<li>b</ul><script>x</script>\\u00e9\"}\n", i
    else if (k == 2) printf "{\"id\":%d,\"text_base64\":\"6TxCPg==\"}\n", i
    else if (k == 3) printf "{\"id\":%d,\"text\":\"NUL\\u0000byte\"}\n", i
    else printf "{\"id\":%d,\"text\":\"plain text %d\"}\n", i, i
  }
}' >"$work/records.jsonl"

options=(--jsonl-stream --pda --fonts)
"$cli" "${options[@]}" <"$work/records.jsonl" >"$work/serial.jsonl"
parallel --will-cite --pipe --keep-order --block 16k -j 4 "$cli" "${options[@]}" \
  <"$work/records.jsonl" >"$work/parallel.jsonl"

failures=0
check() { if eval "$2"; then echo "ok   $1"; else echo "FAIL: $1"; failures=$((failures + 1)); fi; }
blocks=$(( $(stat -c %s "$work/records.jsonl") / 16384 ))
check "the input spans many blocks ($blocks)" '[ "$blocks" -ge 20 ]'
check "one answer per record" '[ "$(wc -l <"$work/parallel.jsonl")" -eq 10000 ]'
check "parallel --pipe gives the serial answers, in order" 'cmp -s "$work/serial.jsonl" "$work/parallel.jsonl"'
check "cleaned records" \
  'grep -qxF "{\"id\":5,\"text\":\"<p>cell 5</p> b\\r\\n\",\"changed\":true}" "$work/parallel.jsonl"'
check "base64 in and out" 'grep -qxF "{\"id\":2,\"text_base64\":\"6Q==\",\"changed\":true}" "$work/parallel.jsonl"'
check "a NUL byte is answered by an error" \
  '[ "$(grep -c "\"error\":\"the text holds a NUL byte" "$work/parallel.jsonl")" -eq "$(grep -c u0000 "$work/records.jsonl")" ]'
check "a line that is no JSON is answered by an error" \
  '[ "$(grep -c "^{\"id\":null,\"error\":\"not JSON" "$work/parallel.jsonl")" -eq "$(grep -c "^not json" "$work/records.jsonl")" ]'
echo "stream through parallel: $failures failure(s)"
[ "$failures" -eq 0 ]
