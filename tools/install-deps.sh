#!/usr/bin/env bash
# Installs what building Quillmere needs on Debian 12, or, when not run as
# root, prints the apt-get line that would.
# Usage: install-deps.sh [run|test|bench|package|windows]
set -euo pipefail

purpose=${1:-run}
packages=(cmake ninja-build g++ pkg-config qt6-base-dev libgtest-dev libgmock-dev libxxhash-dev
          libgit2-dev nlohmann-json3-dev libre2-dev unicode-data)
case "$purpose" in
  run) ;;
  # The headless window tests measure real fonts; the packaging checks are
  # Python scripts that also validate the desktop entry and compile the
  # Windows resource script; the data-safety test sets access lists and
  # attributes, mounts a btrfs image and acts as other users; patch applies
  # the command line's diffs; the stream test spreads records over processes
  # with GNU parallel; the safety-net test kills runs at a chosen call with
  # strace, mounts a folder anew with bindfs and adds users with useradd;
  # dtl, the Windows build's diff, meets the diff tests here too; groff
  # renders the command line's manual page, and zsh and fish check its
  # completions; the screen-reader check drives the window over AT-SPI on
  # its own display and bus.
  test) packages+=(fonts-dejavu-core python3 desktop-file-utils binutils-mingw-w64-x86-64
                   acl attr btrfs-progs util-linux patch parallel strace bindfs passwd
                   libdtl-dev groff-base zsh fish xvfb xauth xdotool dbus at-spi2-core
                   python3-pyatspi) ;;
  # The real-HTML corpus is built from the manuals these packages install;
  # the benchmark scripts use perl, bc and GNU time; sd is the regex rules'
  # yardstick beside perl.
  bench) packages+=(libbenchmark-dev time bc perl valgrind libxslt1-dev git-doc libglib2.0-doc
                    python3.11-doc sd) ;;
  package) packages+=(dpkg-dev file xvfb xauth desktop-file-utils man-db) ;;
  # The Windows cross build: googletest's sources are built for the target;
  # locales gives localedef for a double-byte code page under Wine; Wine's
  # own fonts give the window the metrics of the Windows dialog fonts; Xvfb
  # and xdotool show and drive the window; wixl, msitools, zip and python3
  # (README.txt) make the packages; dtl is the cross build's diff, and patch
  # applies what its --diff writes.
  windows) packages+=(googletest g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64
                      libdtl-dev patch locales fonts-wine xvfb xauth xdotool wixl msitools zip
                      unzip python3) ;;
  *) echo "usage: $0 [run|test|bench|package|windows]" >&2; exit 2 ;;
esac

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "Quillmere needs these packages; install them with:" >&2
  echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends "${missing[@]}"
