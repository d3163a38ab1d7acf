#!/usr/bin/env python3
"""Draws the Quillmere icon: a quill pen writing on a sheet of paper.

The 32x32 image is built from simple shapes sampled at pixel centres; the 16x16 image
is drawn pixel by pixel, since shapes lose too much at that size (it leaves out the
folded corner, which the feather would hide). Both use the sixteen
VGA colours. Writes, into the folder given (res/icons by default):
  quillmere-16.png, quillmere-32.png   the two images
  quillmere-48.png                     the 16x16 image enlarged three times
  quillmere-64.png, -128.png, -256.png the 32x32 image enlarged, for desktops
  quillmere.ico                        256, 48, 32 and 16, 4 bits per pixel
Run it again after changing a shape and commit its outputs with it.
"""

import math
import os
import sys

from image_files import ico_bytes, png_bytes, scaled

# Indices into the VGA palette of image_files.
BLACK, BLUE, CYAN, LIGHT_GREY, DARK_GREY, LIGHT_CYAN, WHITE = 0, 1, 3, 7, 8, 11, 15


def polygon_mask(size, points):
    """Pixels whose centre lies inside the polygon (even-odd rule)."""
    mask = set()
    for y in range(size):
        cy = y + 0.5
        for x in range(size):
            cx = x + 0.5
            inside = False
            for (x1, y1), (x2, y2) in zip(points, points[1:] + points[:1]):
                if (y1 > cy) != (y2 > cy):
                    if cx < x1 + (cy - y1) * (x2 - x1) / (y2 - y1):
                        inside = not inside
            if inside:
                mask.add((x, y))
    return mask


def edge_of(mask):
    """Pixels of the mask that touch a pixel outside it (4-neighbourhood)."""
    return {(x, y) for x, y in mask
            if any(n not in mask for n in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)))}


class Canvas:
    def __init__(self, size):
        self.size = size
        self.pixels = [[None] * size for _ in range(size)]

    def paint(self, mask, colour):
        for x, y in mask:
            if 0 <= x < self.size and 0 <= y < self.size:
                self.pixels[y][x] = colour

    def paint_outlined(self, mask, fill, outline=BLACK):
        self.paint(mask, fill)
        self.paint(edge_of(mask), outline)

    def hline(self, x1, x2, y, colour):
        self.paint({(x, y) for x in range(x1, x2 + 1)}, colour)


# The quill lies on the diagonal x + y = QUILL_AXIS, nib at the lower left. Along it,
# pixels are placed by s = x - y (how far up the quill) and e = x + y - QUILL_AXIS (how
# far across: negative towards the upper left); shapes given in these terms stay clean
# on a 45 degree line.
QUILL_AXIS = 33
NIB_TIP_S, FEATHER_START_S, FEATHER_TIP_S = -17, -6, 28


def quill_band(size, first, last, left_width, right_width):
    """Pixels from s = first to last whose e lies within the two widths at that s."""
    band = set()
    for y in range(size):
        for x in range(size):
            s, e = x - y, x + y - QUILL_AXIS
            if first <= s <= last and -left_width(s) <= e <= right_width(s):
                band.add((x, y))
    return band


def vane_width(s):
    """Half width of the feather: a long leaf, widest above its middle."""
    u = (s - FEATHER_START_S) / (FEATHER_TIP_S - FEATHER_START_S)
    return 6.2 * math.sin(math.pi * u) ** 0.55 * (0.4 + 0.6 * u) ** 0.5


def draw_quill(canvas):
    size = canvas.size
    vane = quill_band(size, FEATHER_START_S, FEATHER_TIP_S, vane_width,
                      lambda s: 0.85 * vane_width(s))
    # Barbs part here and there: two-pixel nicks in the edge make it read as a feather.
    for s, side in ((3, -1), (13, -1), (9, 1)):
        x, y = outer_pixel(vane, s, side)
        beside = (x - 1, y) if side < 0 else (x, y + 1)
        vane -= {(x, y), beside}
    canvas.paint_outlined(vane, LIGHT_CYAN)
    for x, y in vane - edge_of(vane):
        s, e = x - y, x + y - QUILL_AXIS
        if e > 0:
            canvas.pixels[y][x] = CYAN  # the side turned away from the light
        elif e == 0 and s < FEATHER_TIP_S - 4:
            canvas.pixels[y][x] = WHITE  # the shaft

    barrel = quill_band(size, -12, FEATHER_START_S + 2, lambda s: 2, lambda s: 2)
    canvas.paint_outlined(barrel, WHITE)
    nib_width = lambda s: min(2, (s - NIB_TIP_S) / 2)
    canvas.paint_outlined(quill_band(size, NIB_TIP_S, -11, nib_width, nib_width), DARK_GREY)


def outer_pixel(mask, s, side):
    """The pixel of the mask at height s lying farthest out on the given side."""
    row = [(x, y) for x, y in mask if x - y == s]
    return max(row, key=lambda p: side * (p[0] + p[1]))


def draw_32():
    size = 32
    canvas = Canvas(size)

    # A sheet of paper with its upper right corner folded down, and a shadow.
    sheet = [(3, 2), (17, 2), (23, 8), (23, 30), (3, 30)]
    shadow = polygon_mask(size, [(x + 1, y + 1) for x, y in sheet])
    canvas.paint(shadow, DARK_GREY)
    canvas.paint_outlined(polygon_mask(size, sheet), WHITE)
    canvas.paint_outlined(polygon_mask(size, [(17, 2), (23, 8), (17, 8)]), LIGHT_GREY)

    # Handwritten lines of ink; the last one stops where the nib writes.
    for y, x1, x2 in ((11, 6, 19), (14, 6, 17), (17, 6, 20), (20, 6, 14), (23, 6, 8)):
        canvas.hline(x1, x2, y, BLUE)

    draw_quill(canvas)
    return canvas.pixels


# The 16x16 image, one character a pixel:
#   . transparent  K black  B blue  c cyan  C light cyan  w white  d dark grey
PIXELS_16 = """
.............KKK
............KCCK
.KKKKKKKKKKKCCwK
.KwwwwwwwwKCCwcK
.KwwwwwwwKCCwccK
.KwBBBBBKCCwccK.
.KwwwwwwKCwccK..
.KwBBBBKCwcKK...
.KwwwwwKwKKKd...
.KwBBBKwKwwKd...
.KwwwKwKwwwKd...
.KwBKdKwwwwKd...
.KwwKKwwwwwKd...
.KwwwwwwwwwKd...
.KKKKKKKKKKKd...
..ddddddddddd...
"""

KEYS_16 = {".": None, "K": BLACK, "B": BLUE, "c": CYAN, "C": LIGHT_CYAN, "w": WHITE,
           "d": DARK_GREY}


def draw_16():
    rows = PIXELS_16.strip().splitlines()
    assert len(rows) == 16 and all(len(row) == 16 for row in rows)
    return [[KEYS_16[ch] for ch in row] for row in rows]


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "icons")
    os.makedirs(out, exist_ok=True)
    image_16, image_32 = draw_16(), draw_32()
    files = {
        "quillmere-16.png": png_bytes(image_16),
        "quillmere-32.png": png_bytes(image_32),
        "quillmere-48.png": png_bytes(scaled(image_16, 3)),
        "quillmere-64.png": png_bytes(scaled(image_32, 2)),
        "quillmere-128.png": png_bytes(scaled(image_32, 4)),
        "quillmere-256.png": png_bytes(scaled(image_32, 8)),
        "quillmere.ico": ico_bytes([scaled(image_32, 8), scaled(image_16, 3), image_32, image_16]),
    }
    for name, data in files.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
