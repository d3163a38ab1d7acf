"""The program's identity as the build hands it out: the configured Windows resource
script, the desktop entry, and the files an install puts in place."""

import os
import re
import shutil
import struct
import subprocess
import tempfile
import unittest

SOURCE_DIR = os.environ["QUILLMERE_SOURCE_DIR"]
BINARY_DIR = os.environ["QUILLMERE_BINARY_DIR"]
VERSION = os.environ["QUILLMERE_VERSION"]  # the project version, e.g. 1.0.9.0
WITH_GUI = os.environ.get("QUILLMERE_GUI") == "1"
RC_FILE = os.path.join(BINARY_DIR, "res", "quillmere.rc")
DESKTOP_FILE = os.path.join(SOURCE_DIR, "res", "quillmere.desktop")
WINDRES = shutil.which("x86_64-w64-mingw32-windres")
HICOLOR_SIZES = (16, 32, 64, 128)


def rc_values(text):
    return dict(re.findall(r'VALUE\s+"(\w+)",\s+"([^"]*)"', text))


def rc_statement(text, name):
    return re.search(rf"^\s*{name}\s+(.+?)\s*$", text, re.MULTILINE).group(1)


def version_numbers():
    parts = (VERSION.split(".") + ["0"] * 4)[:4]
    return [int(p) for p in parts]


class WindowsResourceScript(unittest.TestCase):
    def setUp(self):
        with open(RC_FILE, encoding="ascii") as f:
            self.text = f.read()
        self.values = rc_values(self.text)

    def test_version_numbers_follow_the_project_version(self):
        numbers = version_numbers()
        for name in ("FILEVERSION", "PRODUCTVERSION"):
            self.assertEqual(rc_statement(self.text, name), ",".join(map(str, numbers)))
        for name in ("FileVersion", "ProductVersion"):
            self.assertEqual(self.values[name], ", ".join(map(str, numbers)))

    def test_fixed_entries_of_the_version_record(self):
        expected = {"FILEFLAGSMASK": "0x3FL", "FILEFLAGS": "0x28L", "FILEOS": "0x4L",
                    "FILETYPE": "0x1L", "FILESUBTYPE": "0x0L"}
        for name, value in expected.items():
            self.assertEqual(rc_statement(self.text, name), value, name)
        self.assertIn('BLOCK "000004b0"', self.text)
        self.assertRegex(self.text, r'VALUE\s+"Translation",\s+0x0,\s+0x4B0')
        self.assertEqual(self.values["InternalName"], "Quillmere")
        self.assertEqual(self.values["ProductName"], "Quillmere")
        self.assertEqual(self.values["OriginalFilename"], "Quillmere.EXE")
        self.assertEqual(self.values["PrivateBuild"], " ")
        self.assertEqual(self.values["SpecialBuild"], " ")
        for name in ("CompanyName", "LegalCopyright", "LegalTrademarks"):
            self.assertTrue(self.values[name].strip(), name)

    def test_description_repeats_comments_after_a_space(self):
        self.assertTrue(self.values["Comments"].strip())
        self.assertEqual(self.values["FileDescription"], " " + self.values["Comments"])

    def test_icon_128_is_the_application_icon(self):
        path = re.search(r'^128\s+ICON\s+"([^"]+)"', self.text, re.MULTILINE).group(1)
        self.assertTrue(os.path.samefile(path, os.path.join(SOURCE_DIR, "res", "icons",
                                                            "quillmere.ico")))

    @unittest.skipUnless(WINDRES and shutil.which("cpp"), "needs mingw-w64 windres and cpp")
    def test_compiles_with_windres(self):
        with tempfile.TemporaryDirectory() as out:
            res = os.path.join(out, "quillmere.res")
            subprocess.run([WINDRES, "--preprocessor=cpp", "-i", RC_FILE, "-O", "res", "-o", res],
                           check=True)
            dump = subprocess.run([WINDRES, "-i", res, "-O", "rc"], check=True,
                                  capture_output=True, text=True).stdout
        self.assertRegex(dump, r"128 14 /\* RT_GROUP_ICON \*/")
        self.assertIn('"\\040\\040\\020\\000", 1, 4', dump)  # 32x32, 16 colours, 4 bits
        self.assertIn('"\\020\\020\\020\\000", 1, 4', dump)  # 16x16, 16 colours, 4 bits
        self.assertEqual(rc_values(dump), self.values)


class DesktopEntry(unittest.TestCase):
    def setUp(self):
        with open(DESKTOP_FILE, encoding="utf-8") as f:
            lines = f.read().splitlines()
        self.assertEqual(lines[0], "[Desktop Entry]")
        self.entry = dict(line.split("=", 1) for line in lines[1:] if "=" in line)

    def test_starts_the_window_with_no_arguments(self):
        self.assertEqual(self.entry["Type"], "Application")
        self.assertEqual(self.entry["Exec"], "quillmere")
        self.assertEqual(self.entry["Terminal"], "false")
        self.assertEqual(self.entry["Icon"], "quillmere")

    @unittest.skipUnless(shutil.which("desktop-file-validate"), "needs desktop-file-utils")
    def test_passes_desktop_file_validate(self):
        result = subprocess.run(["desktop-file-validate", DESKTOP_FILE], capture_output=True,
                                text=True)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.assertEqual(result.stdout.strip(), "")  # no hints or warnings either


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    return struct.unpack(">II", head[16:24])


class InstalledFiles(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.prefix_holder = tempfile.TemporaryDirectory()
        cls.prefix = cls.prefix_holder.name
        subprocess.run(["cmake", "--install", BINARY_DIR, "--prefix", cls.prefix], check=True,
                       stdout=subprocess.DEVNULL)

    @classmethod
    def tearDownClass(cls):
        cls.prefix_holder.cleanup()

    def path(self, *parts):
        return os.path.join(self.prefix, *parts)

    def test_command_line_tool_is_installed(self):
        self.assertTrue(os.access(self.path("bin", "quillmere-cli"), os.X_OK))

    def test_window_entry_and_icons_come_with_the_gui(self):
        installed = [self.path("bin", "quillmere"),
                     self.path("share", "applications", "quillmere.desktop")]
        installed += [self.path("share", "icons", "hicolor", f"{n}x{n}", "apps", "quillmere.png")
                      for n in HICOLOR_SIZES]
        for path in installed:
            self.assertEqual(os.path.exists(path), WITH_GUI, path)
        if WITH_GUI:
            self.assertTrue(os.access(installed[0], os.X_OK))
            for n, path in zip(HICOLOR_SIZES, installed[2:]):
                self.assertEqual(png_size(path), (n, n), path)


if __name__ == "__main__":
    unittest.main()
