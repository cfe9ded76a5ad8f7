#!/usr/bin/env python3
"""Writes velun.ico: the program's icon, 32x32 and 16x16 in 16 colours.

The emblem is an eight-pointed star (two squares, one turned by 45 degrees) in
dark red with a yellow rim and a yellow centre dot, on black. Run it again after
a change and commit the .ico beside it:  python3 make_icon.py velun.ico
"""
import math
import struct
import sys

# The 16 standard colours (R, G, B); the icon uses black, dark red and yellow.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_RED, YELLOW = 0, 1, 11


def star_distance(x, y, radius):
    """Less than 1 inside the star: the smaller of the two squares' norms."""
    upright = max(abs(x), abs(y)) / radius
    turned = (abs(x) + abs(y)) / (radius * math.sqrt(2))
    return min(upright, turned)


def emblem(size):
    """Rows of palette indices, top row first."""
    centre = (size - 1) / 2
    radius = size * 0.34
    rim = 1.6 / radius  # about one and a half pixels of rim at every size
    rows = []
    for row in range(size):
        line = []
        for column in range(size):
            x, y = column - centre, row - centre
            d = star_distance(x, y, radius)
            if math.hypot(x, y) <= size * 0.09:
                line.append(YELLOW)
            elif d <= 1 - rim:
                line.append(DARK_RED)
            elif d <= 1:
                line.append(YELLOW)
            else:
                line.append(BLACK)
        rows.append(line)
    return rows


def icon_image(size):
    """A 4-bit BMP image as an icon holds it: header, palette, colours, mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in PALETTE)
    colour_stride = ((size * 4 + 31) // 32) * 4
    mask_stride = ((size + 31) // 32) * 4
    colours = b""
    for line in reversed(emblem(size)):  # bitmaps are stored bottom row first
        packed = bytes((line[i] << 4) | line[i + 1] for i in range(0, size, 2))
        colours += packed.ljust(colour_stride, b"\0")
    mask = b"\0" * (mask_stride * size)  # fully opaque: the black is part of the icon
    return header + palette + colours + mask


def icon_file(sizes):
    images = [icon_image(size) for size in sizes]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(sizes, images):
        directory += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    return directory + b"".join(images)


if __name__ == "__main__":
    target = sys.argv[1] if len(sys.argv) > 1 else "velun.ico"
    with open(target, "wb") as out:
        out.write(icon_file([32, 16]))
