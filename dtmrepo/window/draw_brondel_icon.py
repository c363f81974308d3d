#!/usr/bin/env python3
"""Draws Brondel's program icon (32 x 32, 32-bit colour) and writes it as an .ico file:
a light blue tile with a white repository tree, a stem and three branches ending in leaves."""
import struct
import sys

SIZE = 32


def pixel(x, y):
    """Colour (b, g, r, a) of the pixel at column x, row y (row 0 at the top)."""
    inside_tile = 1 <= x <= 30 and 1 <= y <= 30
    corner = min(x, 31 - x) + min(y, 31 - y) < 4
    if not inside_tile or corner:
        return (0, 0, 0, 0)
    white = (255, 255, 255, 255)
    stem = 7 <= x <= 9 and 5 <= y <= 26
    branches = any(y0 <= y <= y0 + 1 and 9 <= x <= 16 for y0 in (8, 16, 24))
    leaves = any(y0 - 2 <= y <= y0 + 3 and 17 <= x <= 25 for y0 in (8, 16, 24))
    if stem or branches or leaves:
        return white
    shade = 170 + (y * 2)
    return (min(shade, 240), 140, 40, 255)


def icon_bytes():
    rows = []
    for y in reversed(range(SIZE)):  # a DIB is stored bottom-up
        rows.append(b"".join(bytes(pixel(x, y)) for x in range(SIZE)))
    colour = b"".join(rows)
    mask = bytes(SIZE * SIZE // 8)  # the alpha channel decides; the mask is all opaque
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0,
                         len(colour) + len(mask), 0, 0, 0, 0)
    image = header + colour + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as out:
        out.write(icon_bytes())
