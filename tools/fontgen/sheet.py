"""A glyph sheet as a PNG image, for a person to look at the fonts.

Each glyph is drawn in its design grid, scaled up, with the grid points as
faint dots; the code of each cell is written above it with the standard font.
"""

import struct
import zlib


class Canvas:
    def __init__(self, width, height):
        self.width, self.height = width, height
        self.pixels = bytearray(b"\xff" * (width * height))

    def dot(self, x, y, value=0):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y * self.width + x] = value

    def line(self, x0, y0, x1, y1, value=0):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx = 1 if x0 < x1 else -1
        sy = 1 if y0 < y1 else -1
        err = dx + dy
        while True:
            self.dot(x0, y0, value)
            self.dot(x0 + 1, y0, value)
            self.dot(x0, y0 + 1, value)
            if x0 == x1 and y0 == y1:
                break
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def png(self):
        raw = b"".join(b"\x00" + bytes(self.pixels[r * self.width:(r + 1) * self.width])
                       for r in range(self.height))

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 0, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
                + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def draw_contours(canvas, contours, ox, oy, unit, ymax, value=0):
    """Draws contours with design point (x, y) at pixel (ox + x*unit,
    oy + (ymax - y)*unit)."""
    for c in contours:
        for (x0, y0), (x1, y1) in zip(c, c[1:]):
            canvas.line(ox + x0 * unit, oy + (ymax - y0) * unit,
                        ox + x1 * unit, oy + (ymax - y1) * unit, value)


def write_sheet(path, fonts, label_font):
    """fonts: list of (title, xmax, ymax, unit, {code: contours}).
    label_font: {code: contours} of the standard font, used for labels."""
    columns = 16
    blocks = []
    total_h = 10
    width = 10
    for title, xmax, ymax, unit, glyphs in fonts:
        cell_w = max(xmax * unit + 24, 3 * 8 * 2 + 12)
        cell_h = ymax * unit + 24 + 30
        rows = (len(glyphs) + columns - 1) // columns
        blocks.append((total_h, cell_w, cell_h, xmax, ymax, unit, glyphs))
        total_h += rows * cell_h + 20
        width = max(width, columns * cell_w + 20)
    canvas = Canvas(width, total_h)
    for top, cell_w, cell_h, xmax, ymax, unit, glyphs in blocks:
        for n, code in enumerate(sorted(glyphs)):
            cx = 10 + (n % columns) * cell_w
            cy = top + (n // columns) * cell_h
            # label: the decimal code in the standard font, 2 pixels per unit
            for k, ch in enumerate(str(code)):
                draw_contours(canvas, label_font[ord(ch)], cx + 4 + k * 16, cy + 2, 2, 11, 96)
            gx, gy = cx + 12, cy + 30
            for x in range(xmax + 1):
                for y in range(ymax + 1):
                    canvas.dot(gx + x * unit, gy + (ymax - y) * unit, 200)
            draw_contours(canvas, glyphs[code], gx, gy, unit, ymax)
    with open(path, "wb") as f:
        f.write(canvas.png())
