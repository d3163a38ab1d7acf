#!/usr/bin/env bash
# Cross-builds quillmere.exe (the native window), quillmere-cli.exe, their
# tests and the two packages (a portable zip and an MSI installer) for 64-bit
# Windows with mingw-w64; runs every test executable under Wine on a private
# Xvfb display (the Windows file store tests twice: in a single-byte and in a
# double-byte ANSI code page); cleans real files, one of them named in Greek
# and one in Japanese, with quillmere-cli.exe and with quillmere.exe's window;
# installs and uninstalls the MSI silently and checks what it leaves.
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
      -DCMAKE_EXE_LINKER_FLAGS=-static -DQUILLMERE_BUILD_GUI=ON -DQUILLMERE_BUILD_TESTS=ON >/dev/null
{ nice cmake --build "$build" -j2 && nice cmake --build "$build" --target windows_packages; } 2>&1 |
  tee "$build/build.log"
grep -q "warning:" "$build/build.log" && failed "the cross build has warnings"
cli="$build/cli/quillmere-cli.exe"
window="$build/winui/quillmere.exe"
version=$(sed -n 's/^project(Quillmere VERSION \([0-9]*\.[0-9]*\.[0-9]*\).*/\1/p' "$src/CMakeLists.txt")
zip="$build/quillmere-$version-windows-x64.zip"
msi="$build/quillmere-$version-windows-x64.msi"
for built in "$window" "$cli" "$zip" "$msi"; do
  [ -f "$built" ] || failed "not built: $built"
done

# --- Wine --------------------------------------------------------------------------
# A fresh prefix per run; no Mono or Gecko prompts; file names in UTF-8 on the
# Linux side, which Wine shows to programs in the ANSI code page 1252.
wine=/usr/lib/wine/wine64
export WINEPREFIX="$build/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
unset LANGUAGE
rm -rf "$WINEPREFIX"
xvfb=""
cleanup() {
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
step "Wine prefix and display"
"$wine" wineboot --init >/dev/null 2>&1 || failed "wineboot"
"$wine" cmd /c ver
# Wine's own fonts (MS Sans Serif, Tahoma) have the metrics of the Windows
# fonts the dialogs are laid out in; Debian's Wine looks for them in the
# prefix. Unmanaged windows: with no window manager on the display, Wine
# would wait for one at every window shown and hidden.
cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
# A display of our own: Xvfb picks a free number and tells it.
rm -f "$build/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$build/display" >"$build/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 50); do [ -s "$build/display" ] && break; sleep 0.2; done
[ -s "$build/display" ] || failed "Xvfb did not start"
export DISPLAY=":$(head -1 "$build/display")"
echo "display $DISPLAY"

step "tests under Wine"
mapfile -t tests < <(find "$build/tests" -name '*.exe' | sort)
[ ${#tests[@]} -gt 0 ] || failed "no test executables were built"
for test in "${tests[@]}"; do
  name=$(basename "$test" .exe)
  echo "-- $name"
  "$wine" "$test" --gtest_brief=1 || failed "$name"
done

# The windows' layout at the larger screen settings: text that grows with
# the dialog and captions that still fit.
dpi() { "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null; }
for setting in 144 192; do
  echo "-- the windows' layout at $setting DPI"
  dpi "$setting"
  "$wine" "$build/tests/winui/winui_tests.exe" --gtest_brief=1 --gtest_filter='MainDialogLayout.*' ||
    failed "the windows' layout at $setting DPI"
done
dpi 96

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

expect "--version" "$("$wine" "$cli" --version)" "quillmere-cli $version"
expect "--help offers --diff" "$("$wine" "$cli" --help | grep -c -E '^ +--diff ' || true)" 1

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
  "$(printf 'quillmere-cli: standard input holds a NUL byte; it is not text (UTF-16 without its byte order mark needs --encoding)\r')"

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
# Outside code page 1252: unreachable through ANSI paths.
printf 'Greek Colour' >καλημέρα.htm
printf 'Japanese Colour' >日本語.htm
rc=0
"$wine" "$cli" --replace Colour Color a.htm b.htm ro.htm missing.htm café.htm καλημέρα.htm \
  日本語.htm >../out.txt 2>../err.txt || rc=$?
expect "in place: exit status" "$rc" 1
expect "in place: summary" "$(cat ../out.txt)" "Finished with errors. Files : 7, Replaced files : 4, Errors : 2"
expect "in place: error lines" "$(cat ../err.txt)" \
  "$(printf 'File save error: ro.htm\tread-only (the Read-only attribute is set)\r\nFile open error: missing.htm\tnot found\r')"
expect_file "in place: changed file" a.htm 'keep Color\r\n'
expect_file "in place: unchanged file" b.htm 'nothing to do\r\n'
expect "in place: unchanged file not written" "$(stat -c %y b.htm)" \
  "$(touch -d '2001-02-03 04:05:06' ../stamp && stat -c %y ../stamp)"
expect_file "in place: read-only file" ro.htm 'Colour\r\n'
expect_file "in place: non-ASCII name" café.htm 'caf\xc3\xa9 Color'
expect_file "in place: Greek name" καλημέρα.htm 'Greek Color'
expect_file "in place: Japanese name" 日本語.htm 'Japanese Color'
expect "in place: no other file" "$(find . -mindepth 1 -printf '%f\n' | LC_ALL=C sort | tr '\n' ' ')" \
  "a.htm b.htm café.htm ro.htm καλημέρα.htm 日本語.htm "
rc=0
"$wine" "$cli" --dry-run --replace Color Colour 日本語.htm >../out.txt 2>../err.txt || rc=$?
expect "dry run: a Japanese name is written back whole" "$(head -1 ../out.txt)" "日本語.htm"

rc=0
"$wine" "$cli" --dry-run --replace Color Colour b.htm a.htm >../out.txt 2>../err.txt || rc=$?
expect "dry run: exit status" "$rc" 0
expect "dry run: output" "$(cat ../out.txt)" \
  "$(printf 'a.htm\nOK. Files : 2, Would replace : 1, Errors : 0')"
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
{"type":"file","path":"../tree\\b.htm","result":"changed","bytes_before":6,"bytes_after":5,"encoding":"UTF-8"}
{"type":"file","path":"../tree\\sub\\a.htm","result":"changed","bytes_before":6,"bytes_after":5,"encoding":"UTF-8"}
{"type":"summary","files":2,"changed":2,"errors":0,"restored":0,"dry_run":false,"stopped_by_signal":0}
JSON
)"
expect_file "tree: not taken" ../tree/skip.md 'Colour'
rc=0
printf '{"id":1,"text":"Colour"}\n' | "$wine" "$cli" --jsonl-stream --replace Colour Color \
  >../out.txt 2>../err.txt || rc=$?
expect "stream: exit status" "$rc" 0
expect "stream: answer" "$(cat ../out.txt)" '{"id":1,"text":"Color","changed":true}'
# No RE2 for MinGW: pattern and word rules are refused with the reason.
rc=0
"$wine" "$cli" --replace-regex 'a+' b a.htm >../out.txt 2>../err.txt || rc=$?
expect "regex: refused in this build" "$rc/$(tr -d '\r' <../err.txt)" \
  "2/quillmere-cli: --replace-regex is not available in this build: regular expressions need RE2, which the Windows build lacks (try --help)"

# --diff writes nothing; patch -p0 turns the file into what a run writes,
# CR LF and a missing last line end included.
mkdir -p ../diff/before ../diff/patched
printf '<p>one  two</p>\r\n<font size=2>kept</font>\r\n<!-- gone -->\r\nlast' >../diff/before/p.htm
cp ../diff/before/p.htm ../diff/patched/p.htm
rc=0
(cd ../diff/before && "$wine" "$cli" --diff --notes --fonts p.htm >../changes.diff 2>/dev/null) || rc=$?
expect "--diff: exit status" "$rc" 0
expect "--diff: nothing written" "$(cat ../diff/patched/p.htm)" "$(cat ../diff/before/p.htm)"
(cd ../diff/patched && patch -p0 -s <../changes.diff) || failed "--diff: patch -p0 refused it"
(cd ../diff/before && "$wine" "$cli" --no-undo --notes --fonts p.htm >/dev/null 2>&1) || true
expect "--diff: patched as a run writes" \
  "$(cmp -s ../diff/before/p.htm ../diff/patched/p.htm && echo same || echo differs)" same

# A tree with a folder path past 300 characters beside ordinary and
# Greek-named folders: walked, read, saved and undone whole.
deep=$(printf 'd%.0s' $(seq 120))/$(printf 'e%.0s' $(seq 120))/$(printf 'f%.0s' $(seq 70))
mkdir -p "../long/$deep" ../long/old ../long/αβγ
for file in ../long/a.htm "../long/$deep/deep.htm" ../long/old/o.htm ../long/αβγ/g.htm; do
  printf '<font size=2>Colour</font>' >"$file"
done
rc=0
"$wine" "$cli" -r --fonts ../long >../out.txt 2>../err.txt || rc=$?
expect "long tree: exit status" "$rc" 0
expect "long tree: summary" "$(cat ../out.txt)" "OK. Files : 4, Replaced files : 4, Errors : 0"
expect "long tree: every file cleaned" "$(find ../long -name '*.htm' -exec cat {} +)" \
  "ColourColourColourColour"
rc=0
"$wine" "$cli" --undo >../out.txt 2>../err.txt || rc=$?
expect "long tree: undone" "$rc/$(cat "../long/$deep/deep.htm")" "0/<font size=2>Colour</font>"

# cmd leaves * and ? to the program: they name the files that match, sorted.
mkdir -p ../wild
printf '<font>one</font>' >../wild/b.htm
printf '<font>two</font>' >../wild/a.htm
printf '<font>three</font>' >../wild/a.html
rc=0
(cd ../wild && "$wine" cmd /c "Z:${cli//\//\\} --fonts --dry-run *.htm ?.html *.md") \
  >../out.txt 2>../err.txt || rc=$?
expect "wildcards: exit status" "$rc" 1
expect "wildcards: files in order" "$(tr -d '\r' <../out.txt)" \
  "$(printf 'a.htm\nb.htm\na.html\nFinished with errors. Files : 4, Would replace : 3, Errors : 1')"
expect "wildcards: no match" "$(tr -d '\r' <../err.txt)" \
  "$(printf 'File open error: *.md\tnot found (no file matches the pattern)')"

# On a console (a terminal here, which Wine makes one), a Greek name in an
# error line reads right whatever the console's code page.
script -qc "$wine $cli --fonts missing-καλημέρα.htm" /dev/null >../out.txt 2>&1 || true
expect "console: a Greek name reads right" \
  "$(grep -c 'File open error: missing-καλημέρα.htm' ../out.txt)" 1
cd "$src"

# --- quillmere.exe: its window on a Greek-named file ---------------------------------
# Keys go to the window as X events; the open-file dialog's first file is
# chosen with a double click.
step "quillmere.exe"
gui="$build/gui"
rm -rf "$gui"
mkdir -p "$gui"
printf '<table><tr><td>Colour</td></tr></table>' >"$gui/καλημέρα.htm"
(cd "$gui" && "$wine" "$window" >"$build/window.log" 2>&1 &)
# The window's X id now (Wine may make a new one when the window changes).
main_window() { xdotool search --onlyvisible --name '^Quillmere$' 2>/dev/null | head -1; }
keys() { xdotool key --window "$(main_window)" "$@" 2>/dev/null || true; }
timeout 30 xdotool search --sync --onlyvisible --name '^Quillmere$' >/dev/null || true
if [ -z "$(main_window)" ]; then
  failed "quillmere.exe: no window"
else
  keys Return  # "Add files", the default button
  open=$(timeout 30 xdotool search --sync --onlyvisible --name '^Open$' | head -1 || true)
  if [ -n "$open" ]; then
    eval "$(xdotool getwindowgeometry --shell "$open")"
    xdotool mousemove $((X + 150)) $((Y + 68)) click --repeat 2 --delay 100 1 || true
  fi
  sleep 1
  # From the file list: ten tab stops on to "Convert tables to text", tick
  # it, two back to START, press it.
  for _ in $(seq 10); do keys Tab; done
  keys space shift+Tab shift+Tab space
  for _ in $(seq 20); do
    [ "$(cat "$gui/καλημέρα.htm")" == "<p>Colour</p>" ] && break
    sleep 0.5
  done
  expect_file "quillmere.exe: Greek name" "$gui/καλημέρα.htm" '<p>Colour</p>'
  sleep 1
  keys Escape
  for _ in $(seq 20); do
    [ -z "$(main_window)" ] && break
    sleep 0.5
  done
  expect "quillmere.exe: Escape closes it" "$([ -n "$(main_window)" ] && echo open || echo closed)" closed
fi

# The manifest the window's look and sharpness depend on, as linked into the exe.
manifest=$(tr -s '\n\0' '  ' <"$window" | grep -ao '<assembly .*</assembly>' | head -1 || true)
for part in 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' '>PerMonitorV2<' \
  'name="Quillmere.Quillmere"'; do
  expect "quillmere.exe manifest: $part" "$([[ $manifest == *"$part"* ]] && echo yes)" yes
done

# --- packages --------------------------------------------------------------------------
step "packages"
expect "zip contents" "$(unzip -Z1 "$zip" | LC_ALL=C sort | tr '\n' ' ')" \
  "Quillmere/ Quillmere/README.txt Quillmere/quillmere-cli.exe Quillmere/quillmere.exe "
readme_txt() { unzip -p "$zip" Quillmere/README.txt; }
expect "README.txt: lines end in CRLF" "$(readme_txt | grep -c -v $'\r$' || true)" 0
expect "README.txt: no build notes or Markdown links" \
  "$(readme_txt | grep -c -e apt-get -e check-windows -e '](' || true)" 0
expect "README.txt: where the undo journals are" \
  "$(readme_txt | grep -c -F '%LOCALAPPDATA%\quillmere\runs\' || true)" 1
programs="$WINEPREFIX/drive_c/Program Files/Quillmere"
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
environment='HKLM\System\CurrentControlSet\Control\Session Manager\Environment'
shortcuts() { find "$WINEPREFIX/drive_c" -path '*Start Menu/Programs/Quillmere.lnk'; }
entries() { "$wine" reg query "$uninstall" /s | grep -c 'DisplayName.*Quillmere' || true; }
# The DisplayVersion of each Quillmere entry under installed programs.
entry_version() {
  "$wine" reg query "$uninstall" /s | tr -d '\r' | awk '
    /^HKEY_/ { if (quillmere) print version; quillmere = 0; version = "" }
    /^ *DisplayName .*Quillmere/ { quillmere = 1 }
    /^ *DisplayVersion / { version = $3 }
    END { if (quillmere) print version }'
}
system_path() { "$wine" reg query "$environment" /v PATH | tr -d '\r' | sed -n 's/^ *PATH *REG_[A-Z_]* *//p'; }
# How often the install folder stands in the system PATH, with or without its
# trailing backslash.
on_path() { system_path | tr ';' '\n' | sed 's/\\$//' | grep -c -i -x -F 'C:\Program Files\Quillmere' || true; }
# quillmere-cli found through the PATH by a new command prompt, away from any
# folder holding it.
cli_from_path() { (cd "$WINEPREFIX" && "$wine" cmd /c quillmere-cli --version 2>&1 | tr -d '\r'); }
path_before=$(system_path)
"$wine" msiexec /i "$msi" /qn || failed "silent install"
expect "installed files" "$(ls "$programs" 2>&1 | tr '\n' ' ')" \
  "README.txt quillmere-cli.exe quillmere.exe "
expect "Start-menu entry" "$(shortcuts | wc -l)" 1
expect "uninstall entry" "$(entries)" 1
expect "installed quillmere-cli.exe runs" \
  "$("$wine" "C:\\Program Files\\Quillmere\\quillmere-cli.exe" --version)" "quillmere-cli $version"
expect "install folder in the system PATH" "$(on_path)" 1
expect "quillmere-cli runs from the PATH" "$(cli_from_path)" "quillmere-cli $version"
"$wine" msiexec /x "$msi" /qn || failed "silent uninstall"
expect "uninstalled: folder gone" "$([ -e "$programs" ] && echo present || echo gone)" gone
expect "uninstalled: Start-menu entry gone" "$(shortcuts | wc -l)" 0
expect "uninstalled: uninstall entry gone" "$(entries)" 0
expect "uninstalled: install folder gone from the PATH" "$(on_path)" 0
# Wine leaves the separator that came with the entry.
path_after=$(system_path)
expect "uninstalled: the rest of the PATH kept" "${path_after%;}" "$path_before"
expect "uninstalled: quillmere-cli no longer found" "$(cli_from_path | grep -c '^quillmere-cli' || true)" 0

# Upgrades: an MSI of a lower version, made from the same WiX source and the
# same files but for a marked README.txt, is replaced by the current one; run
# over the current one, it is refused and changes nothing.
IFS=. read -r major minor patch <<<"$version"
if ((patch > 0)); then
  older=$major.$minor.$((patch - 1))
elif ((minor > 0)); then
  older=$major.$((minor - 1)).0
else
  older=$((major - 1)).0.0
fi
older_stage="$build/packaging/Quillmere-older"
older_msi="$build/packaging/quillmere-$older-older.msi"
rm -rf "$older_stage" "$older_msi"
cp -r "$build/packaging/Quillmere" "$older_stage"
printf 'An older version.\r\n' >>"$older_stage/README.txt"
sed "s/ Version=\"$version\"/ Version=\"$older\"/" "$build/packaging/quillmere.wxs" >"$older_stage.wxs"
cmake -DWXS="$older_stage.wxs" -DSTAGE="$older_stage" -DMSI="$older_msi" \
      -P "$src/cmake/WindowsMsi.cmake" || failed "MSI $older"
"$wine" msiexec /i "$older_msi" /qn || failed "silent install of $older"
expect "$older installed" "$(entry_version)" "$older"
"$wine" msiexec /i "$msi" /qn || failed "silent upgrade from $older"
expect "upgraded from $older: one uninstall entry" "$(entries)" 1
expect "upgraded from $older: its version" "$(entry_version)" "$version"
expect "upgraded from $older: the new README.txt" \
  "$(cmp -s "$programs/README.txt" "$build/packaging/Quillmere/README.txt" && echo new || echo old)" new
expect "upgraded from $older: one Start-menu entry" "$(shortcuts | wc -l)" 1
# Not run from the PATH here: Wine's msiexec leaves the separator of a removed
# entry, and Wine's cmd stops searching the PATH at the empty entry that makes.
expect "upgraded from $older: install folder once in the PATH" "$(on_path)" 1
if "$wine" msiexec /i "$older_msi" /qn; then
  failed "$older installed over $version"
else
  echo "ok $older over $version refused"
fi
expect "$older refused: one uninstall entry" "$(entries)" 1
expect "$older refused: $version stays" "$(entry_version)" "$version"
expect "$older refused: README.txt stays" \
  "$(cmp -s "$programs/README.txt" "$build/packaging/Quillmere/README.txt" && echo new || echo old)" new
"$wine" msiexec /x "$msi" /qn || failed "silent uninstall after the upgrade"
expect "uninstalled after the upgrade: folder gone" \
  "$([ -e "$programs" ] && echo present || echo gone)" gone
expect "uninstalled after the upgrade: uninstall entry gone" "$(entries)" 0
expect "uninstalled after the upgrade: install folder gone from the PATH" "$(on_path)" 0

step "sizes"
for file in "$build/packaging/Quillmere/quillmere.exe" "$build/packaging/Quillmere/quillmere-cli.exe" \
            "$zip" "$msi"; do
  printf '%10d bytes  %s\n' "$(stat -c %s "$file")" "$(basename "$file")"
done

step "result"
if [ ${#failures[@]} -gt 0 ]; then
  printf 'check-windows: %d check(s) failed:\n' "${#failures[@]}"
  printf '  %s\n' "${failures[@]}"
  exit 1
fi
echo "check-windows: every check passed"
