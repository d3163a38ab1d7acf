"""The committed icon files: they match their generator, and the ICO holds the same two
images as the PNGs, at 16 colours. Decodes both formats itself rather than trusting the
writer it checks."""

import os
import struct
import subprocess
import sys
import tempfile
import unittest
import zlib

SOURCE_DIR = os.environ["QUILLMERE_SOURCE_DIR"]
ICONS = os.path.join(SOURCE_DIR, "res", "icons")
GENERATOR = os.path.join(SOURCE_DIR, "res", "tools", "make_icon.py")


def read(name):
    with open(os.path.join(ICONS, name), "rb") as f:
        return f.read()


def decode_png(data):
    """Returns (width, height, rows of RGBA tuples) of an 8-bit indexed PNG."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n"
    pos, chunks, idat = 8, {}, b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        crc = struct.unpack(">I", data[pos + 8 + length:pos + 12 + length])[0]
        assert zlib.crc32(kind + body) == crc, kind
        if kind == b"IDAT":
            idat += body
        else:
            chunks[kind] = body
        pos += 12 + length
    width, height, depth, colour_type = struct.unpack(">IIBB", chunks[b"IHDR"][:10])
    assert (depth, colour_type) == (8, 3)
    palette = [tuple(chunks[b"PLTE"][i:i + 3]) for i in range(0, len(chunks[b"PLTE"]), 3)]
    alpha = list(chunks.get(b"tRNS", b"")) + [255] * len(palette)
    raw = zlib.decompress(idat)
    rows = []
    for y in range(height):
        line = raw[y * (width + 1):(y + 1) * (width + 1)]
        assert line[0] == 0, "only unfiltered rows are written"
        rows.append([palette[i] + (alpha[i],) for i in line[1:]])
    return width, height, rows


def decode_ico(data):
    """Returns {size: (header fields, rows of RGBA tuples)} for a 4-bit ICO."""
    reserved, kind, count = struct.unpack("<HHH", data[:6])
    assert (reserved, kind) == (0, 1)
    images = {}
    for i in range(count):
        w, h, colours, _, planes, bits, length, offset = struct.unpack(
            "<BBBBHHII", data[6 + 16 * i:22 + 16 * i])
        w, h = w or 256, h or 256
        bitmap = data[offset:offset + length]
        assert len(bitmap) == length
        header = struct.unpack("<IiiHHIIiiII", bitmap[:40])
        palette = [tuple(reversed(bitmap[40 + 4 * j:43 + 4 * j])) for j in range(16)]
        colour_stride = ((w * 4 + 31) // 32) * 4
        mask_stride = ((w + 31) // 32) * 4
        colour_bits = bitmap[104:104 + colour_stride * h]
        mask_bits = bitmap[104 + colour_stride * h:]
        assert len(mask_bits) == mask_stride * h
        rows = []
        for y in range(h):
            stored = h - 1 - y  # bottom row first
            row = []
            for x in range(w):
                byte = colour_bits[stored * colour_stride + x // 2]
                index = byte >> 4 if x % 2 == 0 else byte & 0x0F
                masked = mask_bits[stored * mask_stride + x // 8] >> (7 - x % 8) & 1
                row.append((0, 0, 0, 0) if masked else palette[index] + (255,))
            rows.append(row)
        images[w] = ((w, h, colours, planes, bits), header, rows)
    return images


class GeneratorOutput(unittest.TestCase):
    def test_committed_files_are_what_the_generator_draws(self):
        with tempfile.TemporaryDirectory() as out:
            subprocess.run([sys.executable, "-B", GENERATOR, out], check=True)
            self.assertEqual(sorted(os.listdir(out)), sorted(os.listdir(ICONS)))
            for name in os.listdir(out):
                with open(os.path.join(out, name), "rb") as f:
                    self.assertEqual(f.read(), read(name), f"{name} is stale: rerun make_icon.py")


class IcoFile(unittest.TestCase):
    def setUp(self):
        self.images = decode_ico(read("quillmere.ico"))

    def test_holds_every_size_a_desktop_asks_for_at_16_colours(self):
        self.assertEqual(sorted(self.images), [16, 32, 48, 256])
        for size, (entry, header, _) in self.images.items():
            self.assertEqual(entry, (size, size, 16, 1, 4))
            # BITMAPINFOHEADER: 40 bytes, height doubled for the mask, 4 bits, no compression.
            self.assertEqual(header[:6], (40, size, 2 * size, 1, 4, 0))

    def test_images_and_transparency_match_the_pngs(self):
        for size, (_, _, ico_rows) in self.images.items():
            width, height, png_rows = decode_png(read(f"quillmere-{size}.png"))
            self.assertEqual((width, height), (size, size))
            for y in range(size):
                for x in range(size):
                    png_pixel = png_rows[y][x]
                    expected = (0, 0, 0, 0) if png_pixel[3] == 0 else png_pixel
                    self.assertEqual(ico_rows[y][x], expected, f"{size}x{size} at {x},{y}")

    def test_both_sizes_show_the_picture_not_just_a_border(self):
        for size, (_, _, rows) in self.images.items():
            opaque = sum(1 for row in rows for p in row if p[3])
            colours = {p for row in rows for p in row if p[3]}
            self.assertGreater(opaque, size * size // 2)
            self.assertGreaterEqual(len(colours), 5)


class DesktopSizes(unittest.TestCase):
    def test_each_png_has_the_size_in_its_name(self):
        for size in (16, 32, 48, 64, 128, 256):
            width, height, _ = decode_png(read(f"quillmere-{size}.png"))
            self.assertEqual((width, height), (size, size))


if __name__ == "__main__":
    unittest.main()
