"""Writes a program icon drawn by a pixel function as an .ico file (one 32-bit image with an
alpha channel), for the resource scripts of the Windows programs. A program's drawing script
imports this module from the cmake folder and passes its pixel(x, y) -> (b, g, r, a)."""
import struct


def icon_bytes(pixel, size=32):
    rows = []
    for y in reversed(range(size)):  # a DIB is stored bottom-up
        rows.append(b"".join(bytes(pixel(x, y)) for x in range(size)))
    colour = b"".join(rows)
    mask = bytes(size * size // 8)  # the alpha channel decides; the mask is all opaque
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                         len(colour) + len(mask), 0, 0, 0, 0)
    image = header + colour + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + entry + image


def write_icon(path, pixel, size=32):
    with open(path, "wb") as out:
        out.write(icon_bytes(pixel, size))
