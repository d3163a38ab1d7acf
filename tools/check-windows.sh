#!/usr/bin/env bash
# Cross-builds quillmere-cli.exe and the tests that do not need Qt for 64-bit
# Windows with mingw-w64, runs every test executable under Wine (the Windows
# file store tests twice: in a single-byte and in a double-byte ANSI code
# page), and tries quillmere-cli.exe on real files.
#
# Installs what is missing through apt-get when run as root; otherwise prints
# the apt-get line to run.
#
# Usage: tools/check-windows.sh [build-dir]     (default: build-windows in the source tree)
set -euo pipefail

src=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$src/build-windows}")

step() { printf '\n== %s\n' "$*"; }
failures=()
failed() {
  printf 'FAILED: %s\n' "$*"
  failures+=("$*")
}

"$src/tools/install-deps.sh" windows

step "cross-build"
# Static executables need no MinGW DLLs under Wine.
cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-w64.cmake" \
      -DQUILLMERE_BUILD_GUI=OFF -DCMAKE_EXE_LINKER_FLAGS=-static >/dev/null
cmake --build "$build" -j2 2>&1 | tee "$build/build.log"
grep -q "warning:" "$build/build.log" && failed "the cross build has warnings"
cli="$build/cli/quillmere-cli.exe"

# --- Wine --------------------------------------------------------------------------
# A fresh prefix per run; no Mono or Gecko prompts; file names in UTF-8 on the
# Linux side, which Wine shows to programs in the ANSI code page 1252.
wine=/usr/lib/wine/wine64
export WINEPREFIX="$build/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
unset LANGUAGE
rm -rf "$WINEPREFIX"
trap '/usr/lib/wine/wineserver -k 2>/dev/null || true' EXIT
step "Wine prefix"
"$wine" wineboot --init >/dev/null 2>&1 || failed "wineboot"
"$wine" cmd /c ver

step "tests under Wine"
mapfile -t tests < <(find "$build/tests" -name '*.exe' | sort)
[ ${#tests[@]} -gt 0 ] || failed "no test executables were built"
for test in "${tests[@]}"; do
  name=$(basename "$test" .exe)
  echo "-- $name"
  "$wine" "$test" --gtest_brief=1 || failed "$name"
done

# Wine takes the ANSI code page from the locale; a private ja_JP.UTF-8 locale
# gives code page 932 while file names stay UTF-8 on the Linux side.
echo "-- win_file_store_test in code page 932"
mkdir -p "$build/locale"
if localedef -i ja_JP -f UTF-8 "$build/locale/ja_JP.UTF-8"; then
  LOCPATH="$build/locale" LC_ALL=ja_JP.UTF-8 \
    "$wine" "$build/tests/batch/win_file_store_test.exe" --gtest_brief=1 ||
    failed "win_file_store_test in code page 932"
else
  failed "cannot make the ja_JP.UTF-8 locale"
fi

# --- quillmere-cli.exe on real files -------------------------------------------------
step "quillmere-cli.exe"
smoke="$build/smoke"
rm -rf "$smoke"
mkdir -p "$smoke/files"
cd "$smoke"

# expect WHAT ACTUAL EXPECTED
expect() {
  if [ "$2" == "$3" ]; then
    echo "ok $1"
  else
    failed "$1: got '$2', expected '$3'"
  fi
}
# expect_file WHAT FILE EXPECTED-BYTES (with printf's backslash escapes)
expect_file() {
  if printf '%b' "$3" | cmp -s - "$2"; then
    echo "ok $1"
  else
    failed "$1: $(od -c "$2" | head -3)"
  fi
}

version=$("$wine" "$cli" --version)
expect "--version" "$version" "quillmere-cli $(sed -n 's/^project(Quillmere VERSION \([0-9]*\.[0-9]*\.[0-9]*\).*/\1/p' "$src/CMakeLists.txt")"

# Filter mode: bytes through untouched but for the edit, CR LF included.
printf '<p>Colour</p>\r\ncaf\xe9 Colour\r\n' >in.htm
rc=0
"$wine" "$cli" --replace Colour Color <in.htm >out.htm 2>err.txt || rc=$?
expect "filter exit status" "$rc" 0
expect_file "filter output" out.htm '<p>Color</p>\r\ncaf\xe9 Color\r\n'
expect "filter error stream" "$(cat err.txt)" ""

rc=0
printf 'a\0b' | "$wine" "$cli" --notes >out.htm 2>err.txt || rc=$?
expect "NUL on standard input: exit status" "$rc" 1
# The error stream is in text mode: its lines end in CR LF.
expect "NUL on standard input: message" "$(cat err.txt)" \
  "$(printf 'quillmere-cli: standard input holds a NUL byte; it is not 8-bit text\r')"

rc=0
"$wine" "$cli" --no-such-option </dev/null >out.htm 2>err.txt || rc=$?
expect "usage error exit status" "$rc" 2

# In place: a changed file, an unchanged one, a read-only one, a missing one
# and one with a non-ASCII name, in that order.
cd files
printf 'keep Colour\r\n' >a.htm
printf 'nothing to do\r\n' >b.htm
touch -d '2001-02-03 04:05:06' b.htm
printf 'Colour\r\n' >ro.htm
chmod 444 ro.htm
printf 'caf\xc3\xa9 Colour' >café.htm
rc=0
"$wine" "$cli" --replace Colour Color a.htm b.htm ro.htm missing.htm café.htm \
  >../out.txt 2>../err.txt || rc=$?
expect "in place: exit status" "$rc" 1
expect "in place: summary" "$(cat ../out.txt)" "OK. Files : 5, Replaced files : 2, Errors : 2"
expect "in place: error lines" "$(cat ../err.txt)" \
  "$(printf 'File save error: ro.htm\tread-only (no write bit)\r\nFile open error: missing.htm\tnot found\r')"
expect_file "in place: changed file" a.htm 'keep Color\r\n'
expect_file "in place: unchanged file" b.htm 'nothing to do\r\n'
expect "in place: unchanged file not written" "$(stat -c %y b.htm)" \
  "$(touch -d '2001-02-03 04:05:06' ../stamp && stat -c %y ../stamp)"
expect_file "in place: read-only file" ro.htm 'Colour\r\n'
expect_file "in place: non-ASCII name" café.htm 'caf\xc3\xa9 Color'
expect "in place: no other file" "$(find . -mindepth 1 -printf '%f\n' | LC_ALL=C sort | tr '\n' ' ')" \
  "a.htm b.htm café.htm ro.htm "

rc=0
"$wine" "$cli" --dry-run --replace Color Colour b.htm a.htm >../out.txt 2>../err.txt || rc=$?
expect "dry run: exit status" "$rc" 0
expect "dry run: output" "$(cat ../out.txt)" \
  "$(printf 'a.htm\nOK. Files : 2, Replaced files : 1, Errors : 0')"
expect_file "dry run: file left alone" a.htm 'keep Color\r\n'

# A folder tree by two workers, reported as JSON Lines; a stream record.
mkdir -p ../tree/sub
printf 'Colour' >../tree/b.htm
printf 'Colour' >../tree/sub/a.htm
printf 'Colour' >../tree/skip.md
rc=0
"$wine" "$cli" -r --jobs 2 --json --replace Colour Color ../tree >../out.txt 2>../err.txt || rc=$?
expect "tree: exit status" "$rc" 0
expect "tree: JSON lines" "$(cat ../out.txt)" "$(cat <<'JSON'
{"type":"file","path":"..\\tree\\b.htm","result":"changed","bytes_before":6,"bytes_after":5}
{"type":"file","path":"..\\tree\\sub\\a.htm","result":"changed","bytes_before":6,"bytes_after":5}
{"type":"summary","files":2,"changed":2,"errors":0,"restored":0,"dry_run":false,"stopped_by_signal":0}
JSON
)"
expect_file "tree: not taken" ../tree/skip.md 'Colour'
rc=0
printf '{"id":1,"text":"Colour"}\n' | "$wine" "$cli" --jsonl-stream --replace Colour Color \
  >../out.txt 2>../err.txt || rc=$?
expect "stream: exit status" "$rc" 0
expect "stream: answer" "$(cat ../out.txt)" '{"id":1,"text":"Color","changed":true}'
cd "$src"

step "result"
if [ ${#failures[@]} -gt 0 ]; then
  printf 'check-windows: %d check(s) failed:\n' "${#failures[@]}"
  printf '  %s\n' "${failures[@]}"
  exit 1
fi
echo "check-windows: every check passed"
