#!/usr/bin/env bash
# Builds Quillmere with its tests (installing what is missing) and runs every
# test through ctest. Usage: test.sh [--sanitize] [--long]
#   --sanitize  build in build-sanitize with AddressSanitizer and UndefinedBehaviorSanitizer
#   --long      also run the long differential run (100,000 cases per test)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build-tests"
flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
for arg in "$@"; do
  case "$arg" in
    --sanitize) build="$top/build-sanitize"; flags+=(-DQUILLMERE_SANITIZE=address,undefined) ;;
    --long) flags+=(-DQUILLMERE_LONG_TESTS=ON) ;;
    *) echo "usage: $0 [--sanitize] [--long]" >&2; exit 2 ;;
  esac
done
"$top/tools/install-deps.sh" test
cmake -S "$top" -B "$build" -G Ninja "${flags[@]}"
cmake --build "$build"
cd "$build"
export LSAN_OPTIONS="suppressions=$top/tests/lsan_suppressions.txt${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 900 -j 2
