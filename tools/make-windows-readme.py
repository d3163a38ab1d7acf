#!/usr/bin/env python3
"""Writes README.txt for the Windows packages from README.md.

The text is the "## Windows" section of README.md up to its first "###"
subheading (what follows is for those who build Quillmere), between a short
header and footer, as plain text with CRLF line ends for Notepad: pictures
are dropped, links keep their text, and the ** and ` marks go.

Usage: make-windows-readme.py README.md README.txt VERSION
"""
import re
import sys

SECTION = "## Windows"

HEADER = """\
Quillmere {version} for 64-bit Windows
{rule}

Quillmere cleans and edits HTML and plain-text files in batches, in place:
quillmere.exe is the window, quillmere-cli.exe the same cleaning from the
command line. Both keep an undo journal of every run.
"""

FOOTER = """\
quillmere-cli --help lists every option of the command line; F1 in the
window shows its help. The full manual, for Linux too and for building
Quillmere from source, is README.md in the source repository.
"""

IMAGE = re.compile(r"!\[[^\]]*\]\([^)]*\)")
# A link's text may wrap onto the next line.
LINK = re.compile(r"\[([^\]]*)\]\([^)]*\)")


def windows_section(markdown):
    """The Windows section, before its first subheading, as plain-text lines."""
    lines = markdown.splitlines()
    try:
        start = lines.index(SECTION) + 1
    except ValueError:
        raise SystemExit(f"make-windows-readme: no '{SECTION}' heading in the README")
    section = []
    for line in lines[start:]:
        if line.startswith("## ") or line.startswith("### "):
            break
        if line.lstrip().startswith("|"):
            # A table would come out as rows of bars: write it as a list.
            raise SystemExit(f"make-windows-readme: a table in '{SECTION}': {line[:60]}")
        if IMAGE.fullmatch(line.strip()):
            continue
        section.append(line)
    text = LINK.sub(r"\1", IMAGE.sub("", "\n".join(section)))
    text = text.replace("**", "").replace("`", "")
    plain = []
    for line in text.splitlines():
        line = line.rstrip()
        if line or (plain and plain[-1]):
            plain.append(line)
    while plain and not plain[-1]:
        plain.pop()
    if not plain:
        raise SystemExit(f"make-windows-readme: '{SECTION}' is empty")
    return plain


def readme_txt(markdown, version):
    title = f"Quillmere {version} for 64-bit Windows"
    header = HEADER.format(version=version, rule="=" * len(title))
    return header + "\n" + "\n".join(windows_section(markdown)) + "\n\n" + FOOTER


def main(argv):
    if len(argv) != 4:
        raise SystemExit(__doc__.strip().splitlines()[-1])
    with open(argv[1], encoding="utf-8") as source:
        text = readme_txt(source.read(), argv[3])
    with open(argv[2], "w", encoding="utf-8", newline="\r\n") as target:
        target.write(text)


if __name__ == "__main__":
    main(sys.argv)
