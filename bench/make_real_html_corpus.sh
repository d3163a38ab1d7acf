#!/usr/bin/env bash
# Writes a corpus of real HTML: the manuals that Debian packages install under
# /usr/share/doc, concatenated in a fixed order until the size is reached.
# The packages come with `tools/install-deps.sh bench`.
# Usage: bench/make_real_html_corpus.sh OUTPUT [BYTES]   (default 64 MiB)
set -euo pipefail
output=${1:?usage: $0 OUTPUT [BYTES]}
bytes=${2:-$((64 << 20))}

# Older hand-written and generated manuals first (upper-case tags, tables,
# lists), then the large Sphinx-built Python manual.
packages=(valgrind libxslt1-dev git-doc libglib2.0-doc python3.11-doc)

html_files() {
  local package
  for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
      echo "$0: package $package is missing; run tools/install-deps.sh bench" >&2
      exit 1
    fi
    # Regular files only (links would repeat pages), sorted for a stable order.
    dpkg -L "$package" | grep -E '\.html?$' | LC_ALL=C sort |
      while IFS= read -r path; do [ -f "$path" ] && [ ! -L "$path" ] && printf '%s\0' "$path"; done
  done
}

# All the pages, then cut to the size. NUL bytes are dropped because
# quillmere-cli refuses text that holds one.
html_files | xargs -0 cat | tr -d '\0' > "$output"
found=$(stat -c %s "$output")
if [ "$found" -lt "$bytes" ]; then
  echo "$0: only $found bytes of HTML found, $bytes wanted" >&2
  exit 1
fi
truncate -s "$bytes" "$output"
