#!/usr/bin/env python3
"""Writes the program's icon as PNG files for the freedesktop hicolor theme.

    make_icons.py OUTPUT_DIR SIZE...   ->   OUTPUT_DIR/hicolor/<S>x<S>/apps/velun-saver.png

The emblem is the one of the Windows icon (src/platform/win32/make_icon.py): an
eight-pointed star in dark red with a yellow rim and a yellow centre dot, on black.
The large sizes are smoothed by sampling each pixel 4 x 4 times, and the rim grows
with the icon (a twentieth of its size) where the 16-colour icon keeps it at one and
a half pixels.
"""
import math
import struct
import sys
import zlib
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "src" / "platform" / "win32"))
from make_icon import BLACK, DARK_RED, PALETTE, YELLOW, star_distance  # noqa: E402

SAMPLES = 4


def colour_at(x, y, size):
    """The palette colour of the point (x, y), measured from the icon's centre."""
    radius = size * 0.34
    rim = max(1.6, size * 0.05) / radius
    if math.hypot(x, y) <= size * 0.09:
        return PALETTE[YELLOW]
    d = star_distance(x, y, radius)
    if d <= 1 - rim:
        return PALETTE[DARK_RED]
    if d <= 1:
        return PALETTE[YELLOW]
    return PALETTE[BLACK]


def pixels(size):
    """Rows of RGB bytes, top row first, each pixel the mean of its samples."""
    centre = size / 2
    rows = []
    for row in range(size):
        line = bytearray()
        for column in range(size):
            total = [0, 0, 0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = column + (sx + 0.5) / SAMPLES - centre
                    y = row + (sy + 0.5) / SAMPLES - centre
                    for channel, value in enumerate(colour_at(x, y, size)):
                        total[channel] += value
            line += bytes(round(t / SAMPLES ** 2) for t in total)
        rows.append(bytes(line))
    return rows


def png(size):
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    header = struct.pack(">IIBBBBB", size, size, 8, 2, 0, 0, 0)  # 8-bit RGB, opaque like the .ico
    raw = b"".join(b"\0" + line for line in pixels(size))  # filter type 0 on every row
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    out = Path(sys.argv[1])
    for size in map(int, sys.argv[2:]):
        target = out / "hicolor" / f"{size}x{size}" / "apps" / "velun-saver.png"
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_bytes(png(size))
