#!/usr/bin/env bash
# Builds Quillmere (installing what is missing) and starts its window.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/install-deps.sh" run
cmake -S "$top" -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLMERE_BUILD_TESTS=OFF
cmake --build "$top/build"
exec "$top/build/ui/quillmere"
