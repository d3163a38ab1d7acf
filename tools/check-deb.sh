#!/usr/bin/env bash
# Builds the Debian package, installs it on this machine, checks what it put in place,
# starts the window under a virtual X server for a few seconds, and removes the package
# again (also when a check fails).
#
# Needs root (it runs apt-get), Qt 6 development files, dpkg-dev (dpkg-shlibdeps), xvfb,
# and for the screenshot imagemagick. desktop-file-validate is used when present.
#
# Usage: tools/check-deb.sh [build-dir]     (default: build-deb in the source tree)
# Set QUILLMERE_SCREENSHOT=/path/shot.png to keep a screenshot of the running window.
set -euo pipefail

src=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$src/build-deb}")
screenshot=${QUILLMERE_SCREENSHOT:-}

step() { printf '\n== %s\n' "$*"; }
fail() { printf 'check-deb: %s\n' "$*" >&2; exit 1; }

if dpkg -s quillmere >/dev/null 2>&1; then
  fail "quillmere is installed already; remove it first (apt-get remove quillmere)"
fi

step "build"
cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_INSTALL_PREFIX=/usr -DQUILLMERE_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j2

step "package"
rm -f "$build"/quillmere_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/quillmere_*.deb)
dpkg-deb --field "$deb" Package Version Section Depends

step "install"
trap 'step "remove"; apt-get remove -y -qq quillmere >/dev/null && echo removed' EXIT
apt-get install -y -qq "$deb" >/dev/null

step "installed files"
expected=(/usr/bin/quillmere /usr/bin/quillmere-cli /usr/share/applications/quillmere.desktop
          /usr/share/man/man1/quillmere-cli.1 /usr/share/bash-completion/completions/quillmere-cli
          /usr/share/zsh/vendor-completions/_quillmere-cli
          /usr/share/fish/vendor_completions.d/quillmere-cli.fish)
for size in 16 32 64 128; do
  expected+=("/usr/share/icons/hicolor/${size}x${size}/apps/quillmere.png")
done
listing=$(dpkg -L quillmere)
for path in "${expected[@]}"; do
  grep -qx "$path" <<<"$listing" || fail "missing from the package: $path"
  [[ -e $path ]] || fail "not installed: $path"
  echo "ok $path"
done
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate /usr/share/applications/quillmere.desktop
  echo "ok desktop entry validates"
fi
man -l /usr/share/man/man1/quillmere-cli.1 2>&1 | grep -q "EXIT STATUS" || fail "the manual page does not render"
echo "ok the manual page renders"
version=$(quillmere-cli --version)
echo "quillmere-cli --version: $version"
[[ $version == *"$(dpkg-deb --field "$deb" Version)"* ]] || fail "version mismatch"

step "run the window"
# The window must still be alive after a few seconds; kill only the process we started.
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  quillmere & pid=$!
  sleep 4
  if ! kill -0 "$pid" 2>/dev/null; then
    wait "$pid"; echo "quillmere exited early with status $?" >&2; exit 1
  fi
  if [[ -n $1 ]]; then import -window root "$1"; fi
  kill "$pid"; wait "$pid" 2>/dev/null || true
  echo "ok quillmere ran under Xvfb"
' check-deb "$screenshot"
[[ -z $screenshot ]] || echo "screenshot: $screenshot"
