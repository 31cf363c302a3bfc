"""Glyphs rasterised the way the screen draws them, at two pixels per design
unit: for comparing generated outlines with their source and for choosing
the probe points that the glyph-sheet test looks at.

A design point (u, v) is the pixel corner (SCALE*u + MARGIN, SCALE*v +
MARGIN), x to the right and y upwards. Pixel (i, j) is column i, row j
counted upwards; it covers the square i..i+1 by j-1..j, which is where the
screen puts the pixel of a vertex at (i, j) once its y axis is turned
downwards. A filled polygon paints the pixels whose centres (i + 0.5,
j - 0.5) lie inside it (even-odd) and strokes its outline with a one-pixel
pen that paints the pixels of its vertices and the lines between them.

A mask is a list of SIZE rows, each an int whose bit i is column i.
"""

import math

SCALE = 2
MARGIN = 8
SIZE = 55 * SCALE + 2 * MARGIN + 2
FULL = (1 << SIZE) - 1


def empty():
    return [0] * SIZE


def to_pixels(contour):
    return [(SCALE * u + MARGIN, SCALE * v + MARGIN) for u, v in contour]


def _span_bits(x_from, x_to):
    lo = max(0, math.ceil(x_from - 0.5))
    hi = min(SIZE, math.ceil(x_to - 0.5))
    if hi <= lo:
        return 0
    return ((1 << hi) - 1) ^ ((1 << lo) - 1)


def fill(contours, nonzero=False):
    """Pixels inside the contours (pixel coordinates): even-odd over all of
    them, or non-zero winding."""
    crossings = {}
    for c in contours:
        n = len(c)
        for k in range(n):
            (x0, y0), (x1, y1) = c[k], c[(k + 1) % n]
            if y0 == y1:
                continue
            direction = 1 if y1 > y0 else -1
            ylo, yhi = min(y0, y1), max(y0, y1)
            for j in range(max(0, math.ceil(ylo + 0.5)), min(SIZE, math.ceil(yhi + 0.5))):
                ys = j - 0.5
                x = x0 + (ys - y0) * (x1 - x0) / (y1 - y0)
                crossings.setdefault(j, []).append((x, direction))
    rows = empty()
    for j, xs in crossings.items():
        xs.sort()
        bits = 0
        winding = 0
        start = None
        for x, d in xs:
            before = winding
            winding = winding + d if nonzero else (winding + 1) % 2
            if before == 0 and winding != 0:
                start = x
            elif before != 0 and winding == 0:
                bits |= _span_bits(start, x)
        rows[j] = bits
    return rows


def pen(contour, rows=None):
    """The one-pixel outline of a contour with integer pixel vertices."""
    rows = rows if rows is not None else empty()
    n = len(contour)
    for k in range(n):
        (x0, y0), (x1, y1) = contour[k], contour[(k + 1) % n]
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx = 1 if x0 < x1 else -1
        sy = 1 if y0 < y1 else -1
        err = dx + dy
        while True:
            if 0 <= y0 < SIZE and 0 <= x0 < SIZE:
                rows[y0] |= 1 << x0
            if x0 == x1 and y0 == y1:
                break
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy
    return rows


def drawn(contour):
    """One contour as the screen draws it: filled, then outlined."""
    px = to_pixels(contour)
    return pen(px, fill([px]))


def drawn_source(contours):
    """Source contours (float design units) drawn as the screen would draw
    them as one polygon: filled by the non-zero rule, outlined at the pixels
    of their truncated vertices."""
    px = [to_pixels(c) for c in contours]
    rows = fill(px, nonzero=True)
    for c in px:
        pen([(int(math.floor(x)), int(math.floor(y))) for x, y in c], rows)
    return rows


def union(a, b):
    return [x | y for x, y in zip(a, b)]


def intersection(a, b):
    return [x & y for x, y in zip(a, b)]


def minus(a, b):
    return [x & ~y for x, y in zip(a, b)]


def count(a):
    return sum(r.bit_count() for r in a)


def dilate(a, r, square=False):
    """Every pixel within distance r (between pixel centres; along each axis
    when square) of a set pixel."""
    out = empty()
    ri = int(math.floor(r))
    for dy in range(-ri, ri + 1):
        w = ri if square else int(math.floor(math.sqrt(max(0.0, r * r - dy * dy))))
        for j in range(SIZE):
            src = j - dy
            if not 0 <= src < SIZE or not a[src]:
                continue
            row = a[src]
            acc = row
            for dx in range(1, w + 1):
                acc |= (row << dx) | (row >> dx)
            out[j] |= acc & FULL
    return out


def erode(a, r):
    """The pixels whose whole disc of radius r lies in the mask."""
    return [FULL & ~x for x in dilate([FULL & ~x for x in a], r)]


def deepest(a):
    """(i, j, depth) of a pixel farthest inside the mask, depth being the
    number of one-pixel erosions it survives; None for an empty mask."""
    if count(a) == 0:
        return None
    depth = 0
    while True:
        b = erode(a, 1)
        if count(b) == 0:
            break
        a = b
        depth += 1
    for j, row in enumerate(a):
        if row:
            return (row & -row).bit_length() - 1, j, depth
    return None


def iou(a, b):
    both = count(union(a, b))
    return count(intersection(a, b)) / both if both else 1.0
