"""Writers for the two image formats the icon ships in: indexed PNG and a 4-bit ICO.

An image here is a list of rows, each a list of palette indices 0..15, or None for a
transparent pixel. Only the Python standard library is used, and the output is
byte-for-byte reproducible.
"""

import struct
import zlib

# The sixteen colours of the classic VGA text palette, as (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00), (0x00, 0x00, 0xAA), (0x00, 0xAA, 0x00), (0x00, 0xAA, 0xAA),
    (0xAA, 0x00, 0x00), (0xAA, 0x00, 0xAA), (0xAA, 0x55, 0x00), (0xAA, 0xAA, 0xAA),
    (0x55, 0x55, 0x55), (0x55, 0x55, 0xFF), (0x55, 0xFF, 0x55), (0x55, 0xFF, 0xFF),
    (0xFF, 0x55, 0x55), (0xFF, 0x55, 0xFF), (0xFF, 0xFF, 0x55), (0xFF, 0xFF, 0xFF),
]

# PNG index used for transparent pixels: one past the sixteen colours.
PNG_TRANSPARENT = len(PALETTE)


def _png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def png_bytes(image):
    """Encodes the image as an 8-bit indexed PNG whose palette is the sixteen colours
    plus one fully transparent entry."""
    height = len(image)
    width = len(image[0])
    header = struct.pack(">IIBBBBB", width, height, 8, 3, 0, 0, 0)
    palette = b"".join(bytes(rgb) for rgb in PALETTE) + b"\x00\x00\x00"
    alpha = b"\xff" * len(PALETTE) + b"\x00"
    raw = bytearray()
    for row in image:
        raw.append(0)  # filter type: none
        raw.extend(PNG_TRANSPARENT if p is None else p for p in row)
    return (b"\x89PNG\r\n\x1a\n" + _png_chunk(b"IHDR", header) + _png_chunk(b"PLTE", palette) +
            _png_chunk(b"tRNS", alpha) + _png_chunk(b"IDAT", zlib.compress(bytes(raw), 9)) +
            _png_chunk(b"IEND", b""))


def _padded(row_bytes):
    return row_bytes + b"\x00" * (-len(row_bytes) % 4)


def _ico_bitmap(image):
    """One icon image: BITMAPINFOHEADER, palette, 4-bit colour bits and the 1-bit
    transparency mask, both stored bottom row first with rows padded to 4 bytes."""
    height = len(image)
    width = len(image[0])
    colour_rows = []
    mask_rows = []
    for row in reversed(image):
        colours = [0 if p is None else p for p in row]
        packed = bytes((colours[i] << 4) | colours[i + 1] for i in range(0, width, 2))
        colour_rows.append(_padded(packed))
        bits = 0
        for p in row:
            bits = (bits << 1) | (1 if p is None else 0)
        mask_rows.append(_padded(bits.to_bytes(width // 8, "big")))
    pixels = b"".join(colour_rows) + b"".join(mask_rows)
    # The height counts the colour bits and the mask together, as icons require.
    header = struct.pack("<IiiHHIIiiII", 40, width, 2 * height, 1, 4, 0, len(pixels), 0, 0,
                         len(PALETTE), 0)
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
    return header + palette + pixels


def ico_bytes(images):
    """Packs several square images (each a multiple of 8 pixels wide) into one ICO."""
    bitmaps = [_ico_bitmap(image) for image in images]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b""
    for image, bitmap in zip(images, bitmaps):
        size = len(image)
        # A size of 256 is written as 0, as the format has it.
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, len(PALETTE), 0, 1, 4,
                               len(bitmap), offset)
        offset += len(bitmap)
    return directory + entries + b"".join(bitmaps)


def scaled(image, factor):
    """Enlarges the image by a whole factor, nearest neighbour."""
    return [[p for p in row for _ in range(factor)] for row in image for _ in range(factor)]
