#!/usr/bin/env python3
"""Draws vexim's program icon (32 x 32, 32-bit colour) and writes it as an .ico file:
a blue tile with a white arrow pointing down into a module slot - a download."""
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
    shaft = 13 <= x <= 18 and 5 <= y <= 15
    head = 16 <= y <= 22 and abs(x - 15.5) <= 22 - y + 0.5
    slot = 25 <= y <= 26 and 6 <= x <= 25
    if shaft or head or slot:
        return white
    shade = 150 + (y * 3)
    return (min(shade, 230), 90, 30, 255)


if __name__ == "__main__":
    icon_file.write_icon(sys.argv[1], pixel, SIZE)
