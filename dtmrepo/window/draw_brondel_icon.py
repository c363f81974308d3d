#!/usr/bin/env python3
"""Draws Brondel's program icon (32 x 32, 32-bit colour) and writes it as an .ico file:
a light blue tile with a white repository tree, a stem and three branches ending in leaves."""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "cmake"))
import icon_file  # noqa: E402

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


if __name__ == "__main__":
    icon_file.write_icon(sys.argv[1], pixel, SIZE)
