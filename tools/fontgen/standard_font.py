"""The standard stroke font: open polylines on the grid x 0..6, y 0..11.

The ASCII glyphs are Hershey's simplex roman (futural.jhf) scaled onto the
grid: the baseline at y = 2, the capital height at y = 11, the x-height at
y = 8 and descenders down to y = 0, glyphs centred on x = 3. The euro sign
and the Latin-1 characters 161 to 255 are composed from those glyphs with
accents, marks and transforms designed here on the same grid.
"""

import glyphs as G
import hershey

XMAX, YMAX = 6, 11
BASE, CAP, XHEIGHT = 2, 11, 8
CENTRE = 3
TOLERANCE = 0.3
# Glyphs whose many small turns would zigzag on the coarse grid get a
# coarser simplification.
COARSE = {ord("@"): 0.5}


def _single_line(code, strokes):
    """Some Hershey glyphs trace their curves twice, side by side, which the
    coarse grid turns into zigzags: keep one trace of each."""
    if code in (ord("{"), ord("}")):
        # upper half, the point of the brace, lower half
        tip = strokes[1][8]
        return [strokes[0] + [tip] + strokes[2]]
    if code == ord("~"):
        return [strokes[0]]
    if code == ord("@"):
        return [strokes[0], strokes[2]]
    return strokes

# Hershey simplex: capital top at y = -12, baseline at y = 9, descender to 16.
H_CAP, H_BASE, H_DESC = -12, 9, 16
H_HALF_WIDTH = 8  # glyph half-widths up to this keep the common x scale

# The exclamation mark is fixed by the library's own documentation of the
# glyph format; every other glyph comes from the generator.
EXCLAMATION = "3233u363B"


def _grid_y(hy):
    if hy <= H_BASE:
        return BASE + (H_BASE - hy) * (CAP - BASE) / (H_BASE - H_CAP)
    return BASE - (hy - H_BASE) * BASE / (H_DESC - H_BASE)


def from_hershey(hg):
    """A Hershey glyph in floating grid units. Wide glyphs get a narrower x
    scale so that they fit the grid."""
    widest = max(abs(x) for s in hg.strokes for x, _ in s) if hg.strokes else 0
    sx = CENTRE / max(H_HALF_WIDTH, widest)
    return [[(CENTRE + x * sx, _grid_y(y)) for x, y in s] for s in hg.strokes]


def from_hershey_code(code, hg):
    strokes = _single_line(code, hg.strokes)
    return from_hershey(hershey.HersheyGlyph(hg.left, hg.right, strokes))


# ------------------------------------------------------------ marks and parts

def dot(x, y):
    """A dot: one unit upwards, as in the exclamation mark."""
    return [[(x, y), (x, y + 1)]]


def accent(kind, low):
    """An accent whose lowest row is `low` (two rows high)."""
    b, t = low, low + 1
    if kind == "grave":
        return [[(2, t), (3, b)]]
    if kind == "acute":
        return [[(3, b), (4, t)]]
    if kind == "circumflex":
        return [[(2, b), (3, t), (4, b)]]
    if kind == "tilde":
        return [[(1, b), (2, t), (4, b), (5, t)]]
    if kind == "diaeresis":
        return dot(2, b) + dot(4, b)
    if kind == "ring":
        return [[(2, b), (4, b), (4, t), (2, t), (2, b)]]
    if kind == "macron":
        return [[(1, t), (5, t)]]
    raise KeyError(kind)


def cedilla():
    return [[(3, 2), (3, 1), (4, 1), (4, 0), (2, 0)]]


def circle(cx, cy, rx, ry, n=8, start=22.5):
    import math
    pts = []
    for k in range(n + 1):
        a = math.radians(start + 360.0 * k / n)
        pts.append((cx + rx * math.cos(a), cy + ry * math.sin(a)))
    return [pts]


def long_strokes(g):
    """The strokes of a glyph that are not dots (the stem of an 'i')."""
    out = []
    for s in g:
        x0, y0, x1, y1 = G.bounds([s])
        if max(x1 - x0, y1 - y0) > 1.5:
            out.append(s)
    return out


def without_dots(g):
    return long_strokes(g)


def capital_for_accent(g):
    """A capital squeezed to y 2..9 so that an accent fits at rows 10..11."""
    return G.transform(g, lambda x, y: (x, BASE + (y - BASE) * 7.0 / 9.0))


def small(g, box):
    """The glyph's capital cell (0..6 x 2..11) mapped into box."""
    return G.map_box(g, (0, BASE, XMAX, CAP), box)


def build():
    """{code: glyph as integer contours} for 33..126, 128 and 161..255, and
    the encoded glyph texts."""
    src = hershey.read_ascii_font("futural")
    raw = {code: from_hershey_code(code, src[code]) for code in range(33, 127)}

    def ch(c):
        return raw[ord(c)]

    upper_accents = {
        "A": (192, ["grave", "acute", "circumflex", "tilde", "diaeresis", "ring"]),
        "E": (200, ["grave", "acute", "circumflex", "diaeresis"]),
        "I": (204, ["grave", "acute", "circumflex", "diaeresis"]),
        "N": (209, ["tilde"]),
        "O": (210, ["grave", "acute", "circumflex", "tilde", "diaeresis"]),
        "U": (217, ["grave", "acute", "circumflex", "diaeresis"]),
        "Y": (221, ["acute"]),
    }
    lower_accents = {
        "a": (224, ["grave", "acute", "circumflex", "tilde", "diaeresis", "ring"]),
        "e": (232, ["grave", "acute", "circumflex", "diaeresis"]),
        "i": (236, ["grave", "acute", "circumflex", "diaeresis"]),
        "n": (241, ["tilde"]),
        "o": (242, ["grave", "acute", "circumflex", "tilde", "diaeresis"]),
        "u": (249, ["grave", "acute", "circumflex", "diaeresis"]),
        "y": (253, ["acute"]),
    }

    g = {}
    for letter, (first, kinds) in upper_accents.items():
        for k, kind in enumerate(kinds):
            g[first + k] = capital_for_accent(ch(letter)) + accent(kind, 10)
    for letter, (first, kinds) in lower_accents.items():
        base = without_dots(ch(letter)) if letter == "i" else ch(letter)
        for k, kind in enumerate(kinds):
            g[first + k] = base + accent(kind, 10)
    g[255] = ch("y") + accent("diaeresis", 10)

    sup_box = (1.5, 7, 4.5, 11)
    num_box = (0, 7, 2.5, 11)
    den_box = (3.5, 2, 6, 6)
    slash = [[(1, 2), (5, 11)]]

    def mirror(glyph):
        return G.transform(glyph, lambda x, y: (XMAX - x, y))

    def turn(glyph):
        return G.transform(glyph, lambda x, y: (XMAX - x, YMAX - y))

    def stem_of(glyph):
        # the longest vertical stroke of a glyph
        best = max(glyph, key=lambda s: abs(s[-1][1] - s[0][1]) if abs(s[-1][0] - s[0][0]) < 0.5 else -1)
        return best

    def others(glyph, stroke):
        return [s for s in glyph if s is not stroke]

    p_stem = stem_of(ch("P"))
    d_stem = stem_of(ch("d"))
    p_lower_stem = stem_of(ch("p"))
    u_left = min(ch("u"), key=lambda s: min(x for x, _ in s))

    g[161] = turn(G.decode_glyph(EXCLAMATION))
    g[162] = ch("c") + [[(3, 1), (3, 9)]]
    g[163] = G.map_box(ch("f"), (G.bounds(ch("f"))[0], BASE, G.bounds(ch("f"))[2], CAP),
                       (1, BASE, 5, CAP)) + [[(0, 2), (6, 2)]]
    g[164] = circle(3, 6.5, 2, 2) + [[(0, 3), (1, 4)], [(6, 3), (5, 4)], [(0, 10), (1, 9)], [(6, 10), (5, 9)]]
    g[165] = ch("Y") + [[(1, 5), (5, 5)], [(1, 3), (5, 3)]]
    g[166] = [[(3, 0), (3, 4)], [(3, 7), (3, 11)]]
    g[167] = G.map_box(ch("S"), (0, BASE, XMAX, CAP), (1, 0, 5, 11))
    g[168] = accent("diaeresis", 10)
    g[169] = circle(3, 6.5, 3, 4.5, 8) + small(ch("c"), (1, 3, 5, 8))
    g[170] = G.map_box(ch("a"), (0, BASE, XMAX, XHEIGHT), (1.5, 7, 4.5, 11)) + [[(1, 5), (5, 5)]]
    g[171] = [[(3, 3), (1, 5.5), (3, 8)], [(6, 3), (4, 5.5), (6, 8)]]
    g[172] = [[(0, 7), (6, 7), (6, 4)]]
    g[173] = ch("-")
    g[174] = circle(3, 6.5, 3, 4.5, 8) + small(ch("R"), (1.5, 4, 4.5, 9))
    g[175] = accent("macron", 10)
    g[176] = [[(2, 9), (4, 9), (4, 11), (2, 11), (2, 9)]]
    g[177] = G.translate(ch("+"), 0, 1) + [[(0, 2), (6, 2)]]
    g[178] = small(ch("2"), sup_box)
    g[179] = small(ch("3"), sup_box)
    g[180] = accent("acute", 10)
    g[181] = ch("u") + [[u_left[0], (u_left[0][0], 0)]]
    g[182] = mirror(others(ch("P"), p_stem)) + [[(3, 2), (3, 11), (6, 11)], [(5, 2), (5, 11)]]
    g[183] = dot(3, 6)
    g[184] = cedilla()
    g[185] = small(ch("1"), sup_box)
    g[186] = G.map_box(ch("o"), (0, BASE, XMAX, XHEIGHT), (1.5, 7, 4.5, 11)) + [[(1, 5), (5, 5)]]
    g[187] = mirror(g[171])
    g[188] = small(ch("1"), num_box) + slash + small(ch("4"), den_box)
    g[189] = small(ch("1"), num_box) + slash + small(ch("2"), den_box)
    g[190] = small(ch("3"), num_box) + slash + small(ch("4"), den_box)
    g[191] = turn(ch("?"))
    # the left leg and bar of an A sharing its apex with the stem of an E
    g[198] = [[(0, BASE), (3, CAP), (6, CAP)], [(3, CAP), (3, BASE), (6, BASE)],
              [(1, 5), (3, 5)], [(3, 7), (5, 7)]]
    g[199] = ch("C") + cedilla()
    g[208] = ch("D") + [[(0, 6.5), (2, 6.5)]]
    g[215] = [[(1, 4), (5, 8)], [(1, 8), (5, 4)]]
    g[216] = ch("O") + [[(0, 1), (6, 11)]]
    g[222] = [p_stem] + G.translate(others(ch("P"), p_stem), 0, -2)
    g[223] = ch("B") + [[(G.bounds([stem_of(ch("B"))])[0], 2), (G.bounds([stem_of(ch("B"))])[0], 0)]]
    g[230] = (G.map_box(ch("a"), (0, BASE, XMAX, XHEIGHT), (0, BASE, 3.5, XHEIGHT))
              + G.map_box(ch("e"), (0, BASE, XMAX, XHEIGHT), (2.5, BASE, 6, XHEIGHT)))
    g[231] = ch("c") + cedilla()
    g[240] = ch("d") + [[(d_stem[0][0] - 1.5, 9), (d_stem[0][0] + 1, 10.5)]]
    g[247] = ch("-") + dot(3, 8.5) + dot(3, 3.5)
    g[248] = ch("o") + [[(0, 1), (6, 9)]]
    g[254] = ch("p") + [[(p_lower_stem[0][0], XHEIGHT), (p_lower_stem[0][0], CAP)]]

    euro = ch("C") + [[(0, 5), (4, 5)], [(0, 8), (4, 8)]]

    out = {}
    for code in range(33, 127):
        out[code] = G.quantise(raw[code], XMAX, YMAX, COARSE.get(code, TOLERANCE))
    out[33] = G.decode_glyph(EXCLAMATION)
    for code in range(161, 256):
        out[code] = G.quantise(g[code], XMAX, YMAX, TOLERANCE)
    out[128] = G.quantise(euro, XMAX, YMAX, TOLERANCE)
    texts = {code: G.encode_glyph(c, "u") for code, c in out.items()}
    texts[33] = EXCLAMATION
    return out, texts
