#!/usr/bin/python3
"""Writes a Windows icon file (.ico) from the program's own icon images in the XPM format.

Usage: make-ico.py OUTPUT.ico IMAGE.xpm...

Each image becomes one 16-colour (4 bits a pixel) image of the icon, in the order given, with
a mask that keeps the XPM's transparent colour ("None") see-through. The same images give the
same bytes.
"""
import re
import struct
import sys

PALETTE_SIZE = 16
BITS_PER_PIXEL = 4
BITMAP_INFO_HEADER_SIZE = 40
ICON_DIR_SIZE = 6
ICON_DIR_ENTRY_SIZE = 16
ICON_TYPE = 1
TRANSPARENT = "none"
# Transparent pixels take black, so that drawing the image over the mask leaves the
# background as it was.
BLACK = (0, 0, 0)


def read_xpm(path):
    """The image's width, height and rows of colours: (r, g, b) or None for transparent."""
    with open(path, encoding="ascii") as xpm:
        strings = re.findall(r'"((?:[^"\\]|\\.)*)"', xpm.read())
    width, height, colour_count, chars_per_pixel = map(int, strings[0].split()[:4])
    colours = {}
    for definition in strings[1 : 1 + colour_count]:
        key = definition[:chars_per_pixel]
        fields = definition[chars_per_pixel:].split()
        value = fields[fields.index("c") + 1].lower()
        colours[key] = None if value == TRANSPARENT else parse_colour(value, path)
    rows = []
    for row in strings[1 + colour_count : 1 + colour_count + height]:
        keys = [row[i : i + chars_per_pixel] for i in range(0, width * chars_per_pixel, chars_per_pixel)]
        rows.append([colours[key] for key in keys])
    if len(rows) != height or any(len(row) != width for row in rows):
        sys.exit(f"{path}: the rows do not match the size {width} x {height}")
    return width, height, rows


def parse_colour(value, path):
    match = re.fullmatch(r"#([0-9a-f]{2})([0-9a-f]{2})([0-9a-f]{2})", value)
    if not match:
        sys.exit(f"{path}: colour {value} is not #RRGGBB")
    return tuple(int(part, 16) for part in match.groups())


def row_stride(width, bits):
    """Bytes a bitmap row takes: rows are padded to whole 32-bit words."""
    return (width * bits + 31) // 32 * 4


def image_bytes(width, height, rows):
    """A device-independent bitmap as an icon image: header, palette, colour bits, mask bits."""
    palette = [BLACK]
    for colour in (c for row in rows for c in row if c is not None):
        if colour not in palette:
            palette.append(colour)
    if len(palette) > PALETTE_SIZE:
        sys.exit(f"the image has {len(palette)} colours; an icon image here takes at most 16")
    palette += [BLACK] * (PALETTE_SIZE - len(palette))

    colour_bits = bytearray()
    mask_bits = bytearray()
    # Bitmaps run from the bottom row up.
    for row in reversed(rows):
        indexes = [palette.index(c) if c is not None else 0 for c in row]
        packed = bytearray(row_stride(width, BITS_PER_PIXEL))
        for x, index in enumerate(indexes):
            packed[x // 2] |= index << (4 if x % 2 == 0 else 0)
        colour_bits += packed
        mask = bytearray(row_stride(width, 1))
        for x, colour in enumerate(row):
            if colour is None:
                mask[x // 8] |= 0x80 >> (x % 8)
        mask_bits += mask

    # The height counts the colour bits and the mask together.
    header = struct.pack(
        "<IiiHHIIiiII",
        BITMAP_INFO_HEADER_SIZE, width, height * 2, 1, BITS_PER_PIXEL, 0,
        len(colour_bits) + len(mask_bits), 0, 0, 0, 0,
    )
    palette_bytes = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return header + palette_bytes + bytes(colour_bits) + bytes(mask_bits)


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    output, sources = sys.argv[1], sys.argv[2:]
    images = [read_xpm(source) for source in sources]
    data = [image_bytes(*image) for image in images]

    icon = bytearray(struct.pack("<HHH", 0, ICON_TYPE, len(images)))
    offset = ICON_DIR_SIZE + ICON_DIR_ENTRY_SIZE * len(images)
    for (width, height, _), bits in zip(images, data):
        icon += struct.pack(
            "<BBBBHHII", width % 256, height % 256, PALETTE_SIZE, 0, 1, BITS_PER_PIXEL,
            len(bits), offset,
        )
        offset += len(bits)
    for bits in data:
        icon += bits
    with open(output, "wb") as out:
        out.write(icon)


if __name__ == "__main__":
    main()
