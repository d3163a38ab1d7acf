"""README.txt of the Windows packages, as tools/make-windows-readme.py writes it."""

import os
import runpy
import types
import subprocess
import sys
import tempfile
import unittest

SOURCE_DIR = os.environ["QUILLMERE_SOURCE_DIR"]
SCRIPT = os.path.join(SOURCE_DIR, "tools", "make-windows-readme.py")

# The script's functions, loaded from its file (its name is no module name).
make_windows_readme = types.SimpleNamespace(**runpy.run_path(SCRIPT, run_name="make_windows_readme"))


class Conversion(unittest.TestCase):
    def test_markdown_to_plain_text(self):
        cases = [
            # (what, section body in Markdown, expected plain-text lines)
            ("picture line dropped", "a\n![Shot](docs/x.png)\nb", ["a", "b"]),
            ("link keeps its text", "see [the notes](#notes).", ["see the notes."]),
            ("link wrapped onto two lines", "see [How files are\nkept](#how).", ["see How files are", "kept."]),
            ("bold and code marks go", "**Install.** run `msiexec /i x.msi`", ["Install. run msiexec /i x.msi"]),
            ("backslashes stay", "`%LOCALAPPDATA%\\quillmere\\runs\\`", ["%LOCALAPPDATA%\\quillmere\\runs\\"]),
            ("blank runs collapse, edges trimmed", "\n\na\n\n\n\nb\n\n", ["a", "", "b"]),
            ("stops at a subheading", "a\n\n### Building\napt-get install x", ["a"]),
            ("stops at the next section", "a\n## Benchmarks\nb", ["a"]),
        ]
        for what, body, expected in cases:
            with self.subTest(what):
                markdown = "# Title\n\n## Windows\n" + body + "\n## Last\nz\n"
                self.assertEqual(make_windows_readme.windows_section(markdown), expected)

    def test_refused(self):
        cases = [
            ("no Windows section", "# Title\n\n## Linux\ntext\n"),
            ("a table in it", "## Windows\n\n| File | What |\n| --- | --- |\n"),
            ("nothing in it", "## Windows\n\n![x](y.png)\n\n### Building\ntext\n"),
        ]
        for what, markdown in cases:
            with self.subTest(what), self.assertRaises(SystemExit):
                make_windows_readme.windows_section(markdown)


class RealReadme(unittest.TestCase):
    """The script run as the build runs it, on the repository's README.md."""

    @classmethod
    def setUpClass(cls):
        with tempfile.TemporaryDirectory() as folder:
            target = os.path.join(folder, "README.txt")
            subprocess.run([sys.executable, "-B", SCRIPT, os.path.join(SOURCE_DIR, "README.md"),
                            target, "7.8.9"], check=True)
            with open(target, "rb") as f:
                cls.data = f.read()
        cls.text = cls.data.decode("utf-8")

    def test_crlf_line_ends_only(self):
        self.assertTrue(self.data.endswith(b"\r\n"))
        self.assertEqual(self.data.count(b"\n"), self.data.count(b"\r\n"))
        self.assertEqual(self.data.count(b"\r"), self.data.count(b"\r\n"))

    def test_plain_text_without_build_notes(self):
        for markdown in ("![", "](", "**", "`", "apt-get", "check-windows", "### "):
            with self.subTest(markdown):
                self.assertNotIn(markdown, self.text)

    def test_what_a_windows_user_needs(self):
        self.assertTrue(self.text.startswith("Quillmere 7.8.9 for 64-bit Windows\r\n"))
        for needed in ("quillmere-cli --help", "%LOCALAPPDATA%\\quillmere\\runs\\",
                       "%LOCALAPPDATA%\\quillmere\\recovery", "msiexec /x", "Settings > Apps",
                       "system PATH"):
            with self.subTest(needed):
                self.assertIn(needed, self.text)


if __name__ == "__main__":
    unittest.main()
