#!/usr/bin/env python3
"""Draws Tamsel's program icon and writes it as an .ico file: a green tile with three white
lines of a listing and an arrow pointing down into a module slot - a decoded file loaded into
the module. The file format is the shared icon writer's; only the picture is Tamsel's."""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "cmake"))
import icon_file  # noqa: E402


def pixel(x, y):
    """Colour (b, g, r, a) of the pixel at column x, row y (row 0 at the top)."""
    inside_tile = 1 <= x <= 30 and 1 <= y <= 30
    corner = min(x, 31 - x) + min(y, 31 - y) < 4
    if not inside_tile or corner:
        return (0, 0, 0, 0)
    white = (255, 255, 255, 255)
    listing = y in (5, 6, 9, 10, 13, 14) and 5 <= x <= (26 if y < 9 else 20 if y < 13 else 23)
    head = 16 <= y <= 22 and abs(x - 15.5) <= 22 - y + 0.5
    slot = 25 <= y <= 26 and 6 <= x <= 25
    if listing or head or slot:
        return white
    shade = 120 + (y * 3)
    return (60, min(shade, 210), 40, 255)


if __name__ == "__main__":
    icon_file.write_icon(sys.argv[1], pixel)
