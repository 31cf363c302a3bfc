"""Glyph geometry, grid quantisation and the glyph-string encoding.

A glyph is a list of strokes, a stroke a list of (x, y) points in design
units (x along the baseline, y upwards). Generators build glyphs in floating
point; quantise() puts them on the integer design grid, and encode() writes
them in the library's glyph format: two digits per point from DIGITS, one
separator character between contours.
"""

import math

DIGITS = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrst"
MAX_POINTS = 152


# ---------------------------------------------------------------- transforms

def transform(glyph, fn):
    return [[fn(x, y) for (x, y) in s] for s in glyph]


def translate(glyph, dx, dy):
    return transform(glyph, lambda x, y: (x + dx, y + dy))


def scale_about(glyph, sx, sy, cx, cy):
    return transform(glyph, lambda x, y: (cx + (x - cx) * sx, cy + (y - cy) * sy))


def map_box(glyph, src, dst):
    """Maps the box src = (x1, y1, x2, y2) linearly onto dst."""
    sx1, sy1, sx2, sy2 = src
    dx1, dy1, dx2, dy2 = dst
    fx = (dx2 - dx1) / (sx2 - sx1) if sx2 != sx1 else 1.0
    fy = (dy2 - dy1) / (sy2 - sy1) if sy2 != sy1 else 1.0
    return transform(glyph, lambda x, y: (dx1 + (x - sx1) * fx, dy1 + (y - sy1) * fy))


def rotate_about(glyph, degrees, cx, cy):
    a = math.radians(degrees)
    c, s = math.cos(a), math.sin(a)
    return transform(glyph, lambda x, y: (cx + (x - cx) * c - (y - cy) * s,
                                          cy + (x - cx) * s + (y - cy) * c))


def bounds(glyph):
    xs = [p[0] for s in glyph for p in s]
    ys = [p[1] for s in glyph for p in s]
    return min(xs), min(ys), max(xs), max(ys)


# --------------------------------------------------------------- quantising

def _point_line_distance(p, a, b):
    (px, py), (ax, ay), (bx, by) = p, a, b
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    if length2 == 0:
        return math.hypot(px - ax, py - ay)
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / length2))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def simplify(points, tolerance):
    """Douglas-Peucker: drops points closer than tolerance to the chord."""
    if len(points) < 3 or tolerance <= 0:
        return list(points)
    keep = [False] * len(points)
    keep[0] = keep[-1] = True
    stack = [(0, len(points) - 1)]
    while stack:
        i, j = stack.pop()
        best, index = -1.0, -1
        for k in range(i + 1, j):
            d = _point_line_distance(points[k], points[i], points[j])
            if d > best:
                best, index = d, k
        if index >= 0 and best > tolerance:
            keep[index] = True
            stack.append((i, index))
            stack.append((index, j))
    return [p for p, k in zip(points, keep) if k]


def round_half_up(v):
    return int(math.floor(v + 0.5))


def _clean(points):
    """Integer polyline without repeated points, out-and-back spikes or
    collinear middle points."""
    out = []
    for p in points:
        if out and out[-1] == p:
            continue
        out.append(p)
        # A-B-A: the way back repeats the way out.
        while len(out) >= 3 and out[-1] == out[-3]:
            out.pop()
        # Collinear and in the same direction: the middle point says nothing.
        while len(out) >= 3:
            (ax, ay), (bx, by), (cx, cy) = out[-3], out[-2], out[-1]
            cross = (bx - ax) * (cy - by) - (by - ay) * (cx - bx)
            dot = (bx - ax) * (cx - bx) + (by - ay) * (cy - by)
            if cross == 0 and dot > 0:
                del out[-2]
            else:
                break
    return out


def quantise(glyph, xmax, ymax, tolerance=0.0, dot_up=True):
    """Rounds every point to the grid 0..xmax x 0..ymax (clamped). A stroke
    that shrinks to one point becomes a dot: a stroke of one unit upwards (or
    downwards at the top row). Repeated strokes are dropped."""
    result = []
    seen = set()
    for stroke in glyph:
        pts = simplify(stroke, tolerance)
        pts = [(min(max(round_half_up(x), 0), xmax), min(max(round_half_up(y), 0), ymax)) for x, y in pts]
        pts = _clean(pts)
        if len(pts) == 1:
            x, y = pts[0]
            pts = [(x, y), (x, y + 1)] if y < ymax else [(x, y - 1), (x, y)]
        key = tuple(pts)
        if key in seen or tuple(reversed(pts)) in seen:
            continue
        seen.add(key)
        result.append(pts)
    return result


# ----------------------------------------------------------------- encoding

def encode_glyph(glyph, separators):
    """separators: the separator character before each contour after the
    first (a string or one character used throughout)."""
    parts = []
    for i, stroke in enumerate(glyph):
        if i > 0:
            parts.append(separators if len(separators) == 1 else separators[i - 1])
        for x, y in stroke:
            parts.append(DIGITS[x] + DIGITS[y])
    return "".join(parts)


def decode_glyph(text):
    """Contours of an encoded glyph (for checking and for the glyph sheet)."""
    contours, cur, i = [], [], 0
    while i < len(text):
        if text[i] in DIGITS:
            cur.append((DIGITS.index(text[i]), DIGITS.index(text[i + 1])))
            i += 2
        else:
            contours.append(cur)
            cur = []
            i += 1
    if cur:
        contours.append(cur)
    return contours


class BuiltFont:
    """One font's glyph string and start tables, built from encoded glyphs."""

    def __init__(self, glyph_texts, extra=None):
        parts = []
        self.low = [0] * 96
        self.high = [0] * 96
        pos = 1
        for i, code in enumerate(range(33, 127)):
            self.low[i] = pos
            parts.append(glyph_texts[code])
            pos += len(glyph_texts[code])
        self.low[94] = pos
        if extra is not None:
            parts.append(extra)
            pos += len(extra)
        self.low[95] = pos
        for i, code in enumerate(range(161, 256)):
            self.high[i] = pos
            parts.append(glyph_texts[code])
            pos += len(glyph_texts[code])
        self.high[95] = pos
        self.text = "".join(parts)
        assert len(self.text) + 1 == pos


def check_glyph(text, xmax, ymax, separators, code):
    """Raises when an encoded glyph breaks the format or the design range."""
    if not text:
        raise ValueError(f"code {code}: empty glyph")
    contours = []
    cur = 0
    i = 0
    while i < len(text):
        ch = text[i]
        if ch in DIGITS:
            if i + 1 >= len(text) or text[i + 1] not in DIGITS:
                raise ValueError(f"code {code}: odd digit count")
            x, y = DIGITS.index(ch), DIGITS.index(text[i + 1])
            if x > xmax or y > ymax:
                raise ValueError(f"code {code}: point ({x},{y}) outside the design range")
            cur += 1
            i += 2
        else:
            if ch not in separators:
                raise ValueError(f"code {code}: character {ch!r}")
            contours.append(cur)
            cur = 0
            i += 1
    contours.append(cur)
    for n in contours:
        if n < 2 or n > MAX_POINTS:
            raise ValueError(f"code {code}: contour of {n} points")
    return contours
