#!/usr/bin/env python3
"""Writes the toolbar bitmaps the editor tests link as resources 32101 (seven
16 x 15 images: bold, italic, underline, left, centre, right, bullets) and
2001 (three images). Each image is a plain mark on light grey, so that the
buttons exist; their look does not matter to the tests. Run it from any
folder; it writes beside itself."""
import os
import struct

WIDTH, HEIGHT = 16, 15


def image(index):
    """A 16 x 15 image: grey with a dark bar whose place tells the images apart."""
    rows = []
    for y in range(HEIGHT):
        row = []
        for x in range(WIDTH):
            mark = 3 <= y <= 11 and (index % 8) + 3 <= x <= (index % 8) + 5
            row.append((0, 0, 0) if mark else (192, 192, 192))
        rows.append(row)
    return rows


def write_bmp(path, count):
    width = WIDTH * count
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    images = [image(i) for i in range(count)]
    for y in reversed(range(HEIGHT)):  # bottom-up rows
        line = bytearray()
        for i in range(count):
            for (r, g, b) in images[i][y]:
                line += bytes((b, g, r))
        line += bytes(stride - len(line))
        pixels += line
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(pixels), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, width, HEIGHT, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + pixels)


here = os.path.dirname(os.path.abspath(__file__))
write_bmp(os.path.join(here, "format_buttons.bmp"), 7)
write_bmp(os.path.join(here, "extra_buttons.bmp"), 3)
