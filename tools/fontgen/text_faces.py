"""The seven filled text faces: fixed, swiss and roman in a regular and a
bold face, and the symbol face, made from TrueType outlines.

Sources: Liberation Mono, Sans and Serif (Regular and Bold) of Debian's
fonts-liberation2 package (SIL Open Font License 1.1, LIBERATION-LICENSE.txt)
and, for the symbol face, DejaVu Serif with DejaVu Sans for the signs the
serif face lacks (fonts-dejavu-core, DEJAVU-LICENSE.txt). Other folders
holding the same files can be named in LIBERATION_FONT_DIR and
DEJAVU_FONT_DIR.

Geometry of a face, in design units (x along the baseline, y upwards):
- y: the face's lowest point over all its glyphs goes to the bottom of its
  y range, its highest point to the top, linearly.
- x: one scale per face. Fixed-pitch faces map the common advance onto the
  nominal width (one character width); proportional faces take the median
  over their glyphs of (table width x nominal width / source advance). Each
  glyph's advance box is centred on x = 27.5, the centre of the 55-unit
  design cell that the renderer centres on the character's advance; a glyph
  that would leave the face's x range is narrowed about x = 27.5.
- Curves are flattened, each contour simplified (TOLERANCE), rounded to the
  grid and cleaned. Outer contours run counter-clockwise from their
  lowest-left point, holes the other way, and every hole is joined to its
  nearest enclosing outer contour by a cut of zero width (outlines.py), since
  the renderer fills each contour on its own.

Each glyph is then drawn as the screen draws it (raster.py) and compared
with its source drawn the same way. A glyph that overlaps its source by less
than MIN_OVERLAP (intersection over union), paints more than OUTSIDE units
outside it or paints into the inside of one of its holes is made again,
simplified less (TOLERANCES); when that does not help either, the generator
stops. The probe points of the glyph-sheet test come from the same drawing:
the pixel deepest in the glyph's ink, and for each hole a pixel at least
HOLE_PROBE_DEPTH units inside it (in a hole too small for that, its deepest
pixel if two pixels of clearance are left).
"""

import os
import re

try:
    from fontTools.pens.basePen import BasePen
    from fontTools.ttLib import TTFont
except ImportError:
    raise SystemExit("fontTools is missing: run this with Debian's /usr/bin/python3 "
                     "(apt-get install python3-fonttools)")

import glyphs as G
import outlines as O
import raster as R

LIBERATION_DIR = os.environ.get("LIBERATION_FONT_DIR", "/usr/share/fonts/truetype/liberation2")
DEJAVU_DIR = os.environ.get("DEJAVU_FONT_DIR", "/usr/share/fonts/truetype/dejavu")
HERE = os.path.dirname(os.path.abspath(__file__))
WIDTH_TABLE = os.path.join(HERE, "..", "..", "fonts", "width_table.cpp")

TOLERANCE = 0.45          # simplification, design units
TOLERANCES = (TOLERANCE, 0.3, 0.15)  # the retries of a glyph that fails its checks
FLATTEN = 1.0             # curve flattening, source units
MIN_OVERLAP = 0.65        # intersection over union with the source
OUTSIDE = 1.0             # design units of ink allowed outside the source
HOLE_PROBE_DEPTH = 1.5    # design units between a hole probe and the hole's edge
CENTRE = 27.5
SEPARATOR = "v"

# Glyphs kept as they are, whatever the outlines give: the swiss hyphen is
# the library's documented example of the glyph format, "LMYMYQLQ".
FIXED_GLYPHS = {("swiss.chr", ord("-")): [[(21, 22), (34, 22), (34, 26), (21, 26)]]}

LATIN_CODES = list(range(33, 127)) + [128] + list(range(161, 256))
SYMBOL_CODES = list(range(33, 127)) + list(range(161, 256))


class Face:
    def __init__(self, ident, name, sources, xrange, yrange, nominal_width, fixed, codes, licence):
        self.ident = ident            # C++ identifier part, e.g. "Swiss"
        self.name = name              # e.g. "swiss.chr"
        self.sources = sources        # font files, first choice first
        self.xrange = xrange
        self.yrange = yrange
        self.nominal_width = nominal_width
        self.fixed = fixed
        self.codes = codes
        self.licence = licence

    @property
    def extra(self):
        return 128 in self.codes


def _liberation(name):
    return [os.path.join(LIBERATION_DIR, name)]


_SYMBOL_SOURCES = [os.path.join(DEJAVU_DIR, "DejaVuSerif.ttf"), os.path.join(DEJAVU_DIR, "DejaVuSans.ttf")]

FACES = [
    Face("Fixed", "fixed.chr", _liberation("LiberationMono-Regular.ttf"), (11, 44), (5, 52), 36.3, True,
         LATIN_CODES, "liberation"),
    Face("FixedBold", "fixedbld.chr", _liberation("LiberationMono-Bold.ttf"), (9, 46), (5, 52), 36.3, True,
         LATIN_CODES, "liberation"),
    Face("Swiss", "swiss.chr", _liberation("LiberationSans-Regular.ttf"), (2, 51), (1, 53), 36.3, False,
         LATIN_CODES, "liberation"),
    Face("SwissBold", "swissbld.chr", _liberation("LiberationSans-Bold.ttf"), (2, 51), (2, 55), 36.3, False,
         LATIN_CODES, "liberation"),
    Face("Roman", "roman.chr", _liberation("LiberationSerif-Regular.ttf"), (3, 52), (4, 54), 36.3, False,
         LATIN_CODES, "liberation"),
    Face("RomanBold", "romanbld.chr", _liberation("LiberationSerif-Bold.ttf"), (2, 52), (3, 54), 36.3, False,
         LATIN_CODES, "liberation"),
    Face("Symbol", "symbol.chr", _SYMBOL_SOURCES, (0, 55), (4, 55), 30.25, False, SYMBOL_CODES, "dejavu"),
]

# The Symbol encoding as Perl's Encode module decodes it: the codes whose
# character differs from the code itself (33 to 126 otherwise ASCII).
SYMBOL_ENCODING = {
    34: 0x2200, 36: 0x2203, 39: 0x220D, 42: 0x2217, 45: 0x2212, 64: 0x2245, 65: 0x0391, 66: 0x0392,
    67: 0x03A7, 68: 0x0394, 69: 0x0395, 70: 0x03A6, 71: 0x0393, 72: 0x0397, 73: 0x0399, 74: 0x03D1,
    75: 0x039A, 76: 0x039B, 77: 0x039C, 78: 0x039D, 79: 0x039F, 80: 0x03A0, 81: 0x0398, 82: 0x03A1,
    83: 0x03A3, 84: 0x03A4, 85: 0x03A5, 86: 0x03C2, 87: 0x03A9, 88: 0x039E, 89: 0x03A8, 90: 0x0396,
    92: 0x2234, 94: 0x22A5, 96: 0xF8E5, 97: 0x03B1, 98: 0x03B2, 99: 0x03C7, 100: 0x03B4, 101: 0x03B5,
    102: 0x03C6, 103: 0x03B3, 104: 0x03B7, 105: 0x03B9, 106: 0x03D5, 107: 0x03BA, 108: 0x03BB,
    109: 0x03BC, 110: 0x03BD, 111: 0x03BF, 112: 0x03C0, 113: 0x03B8, 114: 0x03C1, 115: 0x03C3,
    116: 0x03C4, 117: 0x03C5, 118: 0x03D6, 119: 0x03C9, 120: 0x03BE, 121: 0x03C8, 122: 0x03B6,
    126: 0x223C, 161: 0x03D2, 162: 0x2032, 163: 0x2264, 164: 0x2044, 165: 0x221E, 166: 0x0192,
    167: 0x2663, 168: 0x2666, 169: 0x2665, 170: 0x2660, 171: 0x2194, 172: 0x2190, 173: 0x2191,
    174: 0x2192, 175: 0x2193, 176: 0x00B0, 177: 0x00B1, 178: 0x2033, 179: 0x2265, 180: 0x00D7,
    181: 0x221D, 182: 0x2202, 183: 0x2022, 184: 0x00F7, 185: 0x2260, 186: 0x2261, 187: 0x2248,
    188: 0x2026, 189: 0xF8E6, 190: 0xF8E7, 191: 0x21B5, 192: 0x2135, 193: 0x2111, 194: 0x211C,
    195: 0x2118, 196: 0x2297, 197: 0x2295, 198: 0x2205, 199: 0x2229, 200: 0x222A, 201: 0x2283,
    202: 0x2287, 203: 0x2284, 204: 0x2282, 205: 0x2286, 206: 0x2208, 207: 0x2209, 208: 0x2220,
    209: 0x2207, 210: 0x00AE, 211: 0x00A9, 212: 0x2122, 213: 0x220F, 214: 0x221A, 215: 0x22C5,
    216: 0x00AC, 217: 0x2227, 218: 0x2228, 219: 0x21D4, 220: 0x21D0, 221: 0x21D1, 222: 0x21D2,
    223: 0x21D3, 224: 0x22C4, 225: 0x2329, 226: 0xF8E8, 227: 0xF8E9, 228: 0xF8EA, 229: 0x2211,
    230: 0xF8EB, 231: 0xF8EC, 232: 0xF8ED, 233: 0xF8EE, 234: 0xF8EF, 235: 0xF8F0, 236: 0xF8F1,
    237: 0xF8F2, 238: 0xF8F3, 239: 0xF8F4, 240: 0xF8FF, 241: 0x232A, 242: 0x222B, 243: 0x2320,
    244: 0xF8F5, 245: 0x2321, 246: 0xF8F6, 247: 0xF8F7, 248: 0xF8F8, 249: 0xF8F9, 250: 0xF8FA,
    251: 0xF8FB, 252: 0xF8FC, 253: 0xF8FD, 254: 0xF8FE, 255: 0xFFFD,
}

# Characters drawn in place of the encoding's private-use ones (and of the
# angle brackets, whose old code points the sources lack), and the signs
# chosen for the two codes the encoding leaves open.
SYMBOL_STAND_INS = {
    0xF8E5: 0x203E,                  # radical extender: an overline
    0xF8E6: 0x2502, 0xF8E7: 0x2500,  # arrow extenders: box lines
    0xF8F5: 0x2502,                  # integral extender: a box line
    0xF8E8: 0x00AE, 0xF8E9: 0x00A9, 0xF8EA: 0x2122,
    0xF8EB: 0x239B, 0xF8EC: 0x239C, 0xF8ED: 0x239D,  # parenthesis pieces
    0xF8F6: 0x239E, 0xF8F7: 0x239F, 0xF8F8: 0x23A0,
    0xF8EE: 0x23A1, 0xF8EF: 0x23A2, 0xF8F0: 0x23A3,  # square bracket pieces
    0xF8F9: 0x23A4, 0xF8FA: 0x23A5, 0xF8FB: 0x23A6,
    0xF8F1: 0x23A7, 0xF8F2: 0x23A8, 0xF8F3: 0x23A9, 0xF8F4: 0x23AA,  # brace pieces
    0xF8FC: 0x23AB, 0xF8FD: 0x23AC, 0xF8FE: 0x23AD,
    0x2329: 0x27E8, 0x232A: 0x27E9,
}
SYMBOL_OPEN_CODES = {240: 0x20AC, 255: 0x210F}  # the euro sign, h-bar


def character(face, code):
    """The Unicode character a face draws at a code."""
    if face.ident != "Symbol":
        return bytes([code]).decode("cp1252")
    if code in SYMBOL_OPEN_CODES:
        return chr(SYMBOL_OPEN_CODES[code])
    u = SYMBOL_ENCODING.get(code, code)
    return chr(SYMBOL_STAND_INS.get(u, u))


def read_width_table(path=WIDTH_TABLE):
    """{code: width in character widths} from the generated width table:
    codes 32 to 126, the extra glyph under 128, codes 161 to 255."""
    text = open(path, encoding="utf-8").read()
    arrays = re.findall(r"=\s*\{(.*?)\};", text, re.S)
    values = [[float(v) for v in re.findall(r"(\d+\.\d+)f", re.sub(r"//[^\n]*", "", a))] for a in arrays]
    if len(values) != 2 or len(values[0]) != 96 or len(values[1]) != 95:
        raise SystemExit(f"{path}: not the two width arrays of 96 and 95 entries")
    widths = {32 + i: w for i, w in enumerate(values[0][:95])}
    widths[128] = values[0][95]
    widths.update({161 + i: w for i, w in enumerate(values[1])})
    return widths


# ------------------------------------------------------------------ sources

class _FlatPen(BasePen):
    """Collects a glyph's contours as flattened point lists (font units)."""

    def __init__(self, glyph_set):
        super().__init__(glyph_set)
        self.contours = []
        self.current = None

    def _moveTo(self, p):
        self.current = [p]
        self.contours.append(self.current)

    def _lineTo(self, p):
        self.current.append(p)

    def _qCurveToOne(self, p1, p2):
        self.current.extend(O.flatten_quadratic(self.current[-1], p1, p2, FLATTEN))

    def _curveToOne(self, p1, p2, p3):
        self.current.extend(O.flatten_cubic(self.current[-1], p1, p2, p3, FLATTEN))

    def _closePath(self):
        c = self.current
        while len(c) > 1 and c[-1] == c[0]:
            c.pop()
        self.current = None

    _endPath = _closePath


class Source:
    def __init__(self, path):
        if not os.path.exists(path):
            raise SystemExit(f"{path} is missing (apt-get install fonts-liberation2 fonts-dejavu-core)")
        self.path = path
        self.font = TTFont(path)
        self.cmap = self.font.getBestCmap()
        self.glyph_set = self.font.getGlyphSet()
        self.metrics = self.font["hmtx"].metrics

    def outline(self, ch):
        """(contours, advance) of a character, or None when the font lacks it."""
        name = self.cmap.get(ord(ch))
        if name is None:
            return None
        pen = _FlatPen(self.glyph_set)
        self.glyph_set[name].draw(pen)
        contours = [[(float(x), float(y)) for x, y in c] for c in pen.contours if len(c) >= 3]
        return contours, self.metrics[name][0]


_SOURCES = {}


def source(path):
    if path not in _SOURCES:
        _SOURCES[path] = Source(path)
    return _SOURCES[path]


# ------------------------------------------------------------------ a glyph

class Glyph:
    def __init__(self, code, text, contours, probes, overlap, holes):
        self.code = code
        self.text = text            # encoded glyph
        self.contours = contours    # integer contours as stored
        self.probes = probes        # [(i, j, painted)] pixels at 2 per unit
        self.overlap = overlap      # intersection over union with the source
        self.holes = holes


def _fail(face, code, what):
    raise O.OutlineError(f"{face.name} code {code}: {what}")


def _assign_holes(face, code, contours):
    """[(outer contour, [holes])] of float contours by their turning sense:
    TrueType fills clockwise contours, so counter-clockwise ones are holes,
    each belonging to the smallest outer contour around it."""
    outers = [c for c in contours if O.signed_area(c) < 0]
    holes = [c for c in contours if O.signed_area(c) > 0]
    groups = [(o, []) for o in outers]
    for h in holes:
        around = [k for k, o in enumerate(outers) if all(O.contains(o, p) for p in h)]
        if not around:
            # Rounding in the source may put a point of the hole onto the
            # outline; most of its points inside will do.
            around = [k for k, o in enumerate(outers)
                      if sum(O.contains(o, p) for p in h) * 2 > len(h)]
        if not around:
            _fail(face, code, "a hole with no enclosing contour")
        k = min(around, key=lambda k: (abs(O.signed_area(outers[k])), k))
        groups[k][1].append(h)
    return groups


def _render(contours):
    mask = R.empty()
    for c in contours:
        mask = R.union(mask, R.drawn(c))
    return mask


def stored_contours(face, code, contours, tolerance=TOLERANCE):
    """The integer contours of a glyph as stored, holes joined, from its
    source contours in (float) design units; and [(index of the stored
    contour, hole)] of the joined holes."""
    xmin, xmax = face.xrange
    ymin, ymax = face.yrange
    stored = []
    for outer, holes in _assign_holes(face, code, contours):
        o = O.round_contour(outer, tolerance, xmin, xmax, ymin, ymax)
        if not o:
            continue
        hs = [O.round_contour(h, tolerance, xmin, xmax, ymin, ymax) for h in holes]
        stored.append([O.oriented(o, True), [O.oriented(h, False) for h in hs if h]])
    if not stored:
        _fail(face, code, "no contour left after rounding")
    # Join the holes, each cut clear of the edges of every other contour.
    joined_holes = []
    for k, (o, hs) in enumerate(stored):
        for n, h in enumerate(hs):
            others = [c for m, (oo, hh) in enumerate(stored) if m != k for c in [oo] + hh] + hs[n + 1:]
            o = O.join_hole(o, h, others)
            if o is None:
                _fail(face, code, "no cut joins a hole to its outline")
            joined_holes.append((k, h))
        stored[k] = [o, []]
    result = [o for o, _ in stored]
    for c in result:
        if len(c) > G.MAX_POINTS:
            _fail(face, code, f"a contour of {len(c)} points (at most {G.MAX_POINTS})")
    return result, joined_holes


def _compare(result, joined_holes, contours):
    """(problem or None, overlap, probes) of stored contours drawn as the
    screen draws them, against their source."""
    drawn = _render(result)
    src = R.drawn_source(contours)
    overlap = R.iou(drawn, src)
    if overlap < MIN_OVERLAP:
        return f"overlap with the source {overlap:.2f} (at least {MIN_OVERLAP})", overlap, None
    outside = R.count(R.minus(drawn, R.dilate(src, OUTSIDE * R.SCALE)))
    if outside:
        return f"{outside} pixels more than {OUTSIDE} unit outside the source", overlap, None
    ink = R.deepest(drawn)
    probes = [(ink[0] - R.MARGIN, ink[1] - R.MARGIN, 1)]
    for k, h in joined_holes:
        inner = R.erode(R.fill([R.to_pixels(h)]), HOLE_PROBE_DEPTH * R.SCALE)
        if R.count(R.intersection(inner, R.drawn(result[k]))):
            return "paint inside a hole (a cut across a counter?)", overlap, None
        # A hole too small for that depth gets its probe at its deepest
        # pixel, if two pixels of clearance are left there.
        spot = R.deepest(R.minus(inner, drawn)) or R.deepest(R.minus(R.fill([R.to_pixels(h)]), drawn))
        if spot is not None and (R.count(inner) or spot[2] >= 2):
            probes.append((spot[0] - R.MARGIN, spot[1] - R.MARGIN, 0))
    return None, overlap, probes


def build_glyph(face, code, contours):
    """Integer contours, encoded text, probes and overlap of one glyph from
    its source contours in (float) design units. A glyph that fails the
    comparison with its source is tried again, simplified less."""
    problem = None
    for tolerance in TOLERANCES:
        try:
            if (face.name, code) in FIXED_GLYPHS:
                result, joined_holes = [list(c) for c in FIXED_GLYPHS[face.name, code]], []
            else:
                result, joined_holes = stored_contours(face, code, contours, tolerance)
        except O.OutlineError:
            if problem is None:
                raise
            break
        problem, overlap, probes = _compare(result, joined_holes, contours)
        if problem is None:
            return Glyph(code, G.encode_glyph(result, SEPARATOR), result, probes, overlap, len(joined_holes))
    _fail(face, code, problem)


# ------------------------------------------------------------------- a face

def _source_glyphs(face):
    """{code: (contours, advance)} in font units, from the first source
    that has the character."""
    out = {}
    for code in face.codes:
        ch = character(face, code)
        for path in face.sources:
            got = source(path).outline(ch)
            if got is not None and got[0]:
                out[code] = got
                break
        else:
            _fail(face, code, f"no source has U+{ord(ch):04X}")
    return out


def face_scales(face, raw, widths):
    """(x scale, y scale, lowest source y) of a face."""
    ys = [y for contours, _ in raw.values() for c in contours for _, y in c]
    low, high = min(ys), max(ys)
    yscale = (face.yrange[1] - face.yrange[0]) / (high - low)
    if face.fixed:
        advances = sorted(adv for _, adv in raw.values())
        xscale = face.nominal_width / advances[len(advances) // 2]
    else:
        ratios = sorted(widths[code] * face.nominal_width / adv for code, (_, adv) in raw.items() if adv > 0)
        n = len(ratios)
        xscale = ratios[n // 2] if n % 2 else (ratios[n // 2 - 1] + ratios[n // 2]) / 2
    return xscale, yscale, low


def design_contours(face, contours, advance, scales):
    """A glyph's source contours in (float) design units."""
    xscale, yscale, low = scales
    xmin, xmax = face.xrange
    half = advance / 2
    pts = [[(CENTRE + (x - half) * xscale, face.yrange[0] + (y - low) * yscale) for x, y in c]
           for c in contours]
    left = min(x for c in pts for x, _ in c)
    right = max(x for c in pts for x, _ in c)
    narrow = 1.0
    if left < xmin:
        narrow = min(narrow, (CENTRE - xmin) / (CENTRE - left))
    if right > xmax:
        narrow = min(narrow, (xmax - CENTRE) / (right - CENTRE))
    if narrow < 1.0:
        pts = [[(CENTRE + (x - CENTRE) * narrow, y) for x, y in c] for c in pts]
    return pts


def build_face(face, widths):
    """{code: Glyph} of a face."""
    raw = _source_glyphs(face)
    scales = face_scales(face, raw, widths)
    return {code: build_glyph(face, code, design_contours(face, *raw[code], scales)) for code in face.codes}
