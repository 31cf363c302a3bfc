"""The marker stroke font "symbols.chr": open polylines on the grid 0..35.

Every glyph is designed geometrically here. The glyphs of codes 203 to 242
are the library's 40 marker figures (marker n at code 202 + n), drawn in a box
of half-width 14 and half-height 12 about the centre (18, 18), the proportions
of the markers that the graphics core draws. Filled figures are outlined and
filled by a zigzag of rows one design unit apart, since the font has polylines
only. The other codes hold arrows, circles, polygons, stars, boxes and small
pictographs.
"""

import math

import glyphs as G

SIZE = 35
CX, CY = 18, 18
S, H = 14, 12          # marker box: half-width, half-height
L, R, B, T = CX - S, CX + S, CY - H, CY + H


# ----------------------------------------------------------------- helpers

def closed(points):
    return list(points) + [points[0]]


def ellipse_points(cx, cy, rx, ry, n=32, start=90.0, sweep=360.0):
    return [(cx + rx * math.cos(math.radians(start + sweep * k / n)),
             cy + ry * math.sin(math.radians(start + sweep * k / n))) for k in range(n + 1)]


def regular(n, radius, start=90.0, cx=CX, cy=CY):
    return [(cx + radius * math.cos(math.radians(start + 360.0 * k / n)),
             cy + radius * math.sin(math.radians(start + 360.0 * k / n))) for k in range(n)]


def star(n, outer, inner, start=90.0):
    pts = []
    for k in range(2 * n):
        r = outer if k % 2 == 0 else inner
        a = math.radians(start + 180.0 * k / n)
        pts.append((CX + r * math.cos(a), CY + r * math.sin(a)))
    return pts


def rotate(points, degrees, cx=CX, cy=CY):
    a = math.radians(degrees)
    c, s = math.cos(a), math.sin(a)
    return [(cx + (x - cx) * c - (y - cy) * s, cy + (x - cx) * s + (y - cy) * c) for x, y in points]


def _spans(polygon, y):
    """Inside intervals of the horizontal line at y (even-odd rule)."""
    xs = []
    n = len(polygon)
    for i in range(n):
        (x0, y0), (x1, y1) = polygon[i], polygon[(i + 1) % n]
        if (y0 <= y < y1) or (y1 <= y < y0):
            xs.append(x0 + (y - y0) * (x1 - x0) / (y1 - y0))
    xs.sort()
    return [(xs[i], xs[i + 1]) for i in range(0, len(xs) - 1, 2)]


def fill(*polygons, limit=150):
    """Zigzag polylines covering the inside of the union of the polygons
    (each polygon filled on its own), rows one unit apart. Rows are chained
    while their spans overlap; a chain is cut before it exceeds the point
    limit of a contour."""
    strokes = []
    for polygon in polygons:
        pts = [(x, y) for x, y in polygon]
        if pts[0] == pts[-1]:
            pts = pts[:-1]
        y0 = math.ceil(min(p[1] for p in pts) - 1e-9)
        y1 = math.floor(max(p[1] for p in pts) + 1e-9)
        chains = []  # [points, last span, rightwards?, extended this row?]
        for y in range(y0, y1 + 1):
            yy = y if y < y1 else y - 1e-6  # close the top row inside
            yy = yy if y > y0 else y + 1e-6
            for chain in chains:
                chain[3] = False
            for a, b in _spans(pts, yy):
                a, b = round(a), round(b)
                target = None
                for chain in chains:
                    pa, pb = chain[1]
                    if not chain[3] and a <= pb and b >= pa and len(chain[0]) + 2 <= limit:
                        target = chain
                        break
                if target is None:
                    chains.append([[(a, y), (b, y)], (a, b), True, True])
                    continue
                if target[2]:
                    target[0] += [(b, y), (a, y)]
                else:
                    target[0] += [(a, y), (b, y)]
                target[1], target[2], target[3] = (a, b), not target[2], True
            # chains not continued in this row are finished
            for chain in [c for c in chains if not c[3]]:
                strokes.append(chain[0])
                chains.remove(chain)
        strokes += [c[0] for c in chains]
    return strokes


def outline(*polygons):
    return [closed(list(p)) for p in polygons]


def solid(*polygons):
    return outline(*polygons) + fill(*polygons)


def seg(a, b):
    return [[a, b]]


# -------------------------------------------------------------- the markers

def marker(n):
    """The figure of marker n, as the graphics core draws it."""
    plus = [[(L, CY), (R, CY)], [(CX, B), (CX, T)]]
    cross = [[(L, B), (R, T)], [(L, T), (R, B)]]
    square = [[(L, B), (R, B), (R, T), (L, T), (L, B)]]
    up = [[(L, B), (CX, T), (R, B), (L, B)]]
    down = [[(L, T), (CX, B), (R, T), (L, T)]]
    hexagon = [(L, CY), (CX - 0.6 * S, T), (CX + 0.6 * S, T), (R, CY), (CX + 0.6 * S, B), (CX - 0.6 * S, B)]
    diamond = [(L, CY), (CX, T), (R, CY), (CX, B)]
    parts = []
    if n in (1, 6, 7, 8, 27, 28, 39, 40):
        parts += plus
    if n in (2, 9, 27, 28, 29, 30):
        parts += cross
    if n in (3, 6, 9, 28):
        parts += square
    if n in (4, 7, 10):
        parts += up
    if n in (5, 8, 10):
        parts += down
    if n == 11:
        apex = (CX - S / 4, T)
        parts += [[(L, B), (CX + S / 2, B), (R, CY - H / 2)], [(L, B), apex],
                  [(CX + S / 2, B), apex], [(R, CY - H / 2), apex]]
    elif n == 12:
        parts += [[(L, B), (CX + S / 2, B), (CX + S / 2, CY + H / 2), (L, CY + H / 2), (L, B)],
                  [(L, CY + H / 2), (CX - S / 2, T), (R, T), (CX + S / 2, CY + H / 2)],
                  [(CX + S / 2, B), (R, CY - H / 2), (R, T)]]
    elif n == 13:
        parts += solid([(L, B), (R, B), (R, T), (L, T)])
    elif n == 14:
        parts += solid(ellipse_points(CX, CY, S, S)[:-1])
    elif n == 15:
        parts += solid([(L, B), (R, B), (CX, T)])
    elif n == 16:
        parts += solid([(L, T), (R, T), (CX, B)])
    elif n == 17:
        parts += solid([(L, B), (L, T), (R, CY)])
    elif n == 18:
        parts += solid([(R, B), (R, T), (L, CY)])
    elif n == 19:
        parts += solid([(L, B), (R, B), (CX, CY)], [(L, T), (R, T), (CX, CY)])
    elif n == 20:
        parts += solid([(L, B), (L, T), (CX, CY)], [(R, B), (R, T), (CX, CY)])
    elif n == 21:
        parts += solid(diamond)
    elif n == 22:
        parts += solid(hexagon)
    elif n == 23:
        parts += solid([(L, B), (R, B), (R, T)])
    elif n == 24:
        parts += solid([(L, B), (L, T), (R, T)])
    elif n == 25:
        parts += solid([(R, B), (L, T), (L, B)])
    elif n == 26:
        parts += solid([(R, B), (L, T), (R, T)])
    elif n == 29:
        parts += [[(L, T), (R, T)], [(L, B), (R, B)]]
    elif n == 30:
        parts += [[(L, B), (L, T)], [(R, B), (R, T)]]
    elif n == 31:
        parts += [[(L, T), (R, CY), (L, B), (L, T)]]
    elif n == 32:
        parts += [[(R, T), (L, CY), (R, B), (R, T)]]
    elif n in (33, 39):
        parts += outline(diamond)
    elif n in (34, 40):
        parts += outline(hexagon)
    elif n == 35:
        parts += [[(L, B), (R, T), (R, B), (L, B)]]
    elif n == 36:
        parts += [[(L, B), (R, T), (L, T), (L, B)]]
    elif n == 37:
        parts += [[(L, T), (R, B), (L, B), (L, T)]]
    elif n == 38:
        parts += [[(L, T), (R, B), (R, T), (L, T)]]
    return parts


# ------------------------------------------------------- the other symbols

ARROW_R = 14     # half-length of an arrow
HEAD = 7         # length of an arrow head along the shaft


def _arrow_parts(direction, filled_head, double=False):
    """Shaft and head(s) of a line arrow pointing at `direction` degrees."""
    tail, tip = (CX - ARROW_R, CY), (CX + ARROW_R, CY)
    barb1, barb2 = (CX + ARROW_R - HEAD, CY + HEAD * 0.6), (CX + ARROW_R - HEAD, CY - HEAD * 0.6)
    head = [barb1, tip, barb2]
    parts = [[tail, tip]]
    heads = [head]
    if double:
        heads.append([(2 * CX - x, y) for x, y in head])
    for h in heads:
        parts += solid(h) if filled_head else [h]
    return [rotate(p, direction) for p in parts]


def _block_arrow(direction):
    w, hw = 4, 9   # half-width of the shaft and of the head
    neck = CX + ARROW_R - 10
    pts = [(CX - ARROW_R, CY - w), (neck, CY - w), (neck, CY - hw), (CX + ARROW_R, CY),
           (neck, CY + hw), (neck, CY + w), (CX - ARROW_R, CY + w)]
    return rotate(pts, direction)


def _heart(cx=CX, cy=CY - 1, size=13.0, flip=False):
    pts = []
    for k in range(40):
        t = 2 * math.pi * k / 40
        x = 16 * math.sin(t) ** 3
        y = 13 * math.cos(t) - 5 * math.cos(2 * t) - 2 * math.cos(3 * t) - math.cos(4 * t)
        pts.append((x, y))
    # the curve spans x -16..16 and y -17..12
    pts = [(cx + x * size / 16.0, cy + (y + 2.5) * size / 16.0) for x, y in pts]
    if flip:
        pts = [(x, 2 * cy - y) for x, y in pts]
    return pts


def _crescent():
    """Outer arc of a circle of radius 13 through its left side, back along
    the arc of a smaller circle, shifted right, through the two tips."""
    outer = ellipse_points(CX, CY, 13, 13, n=20, start=60, sweep=240)
    tip_x, tip_y = outer[0][0], outer[0][1] - CY
    shift = 5.0
    radius = math.hypot(tip_x - (CX + shift), tip_y)
    top = math.degrees(math.atan2(tip_y, tip_x - (CX + shift)))
    inner = ellipse_points(CX + shift, CY, radius, radius, n=14, start=360 - top, sweep=-(360 - 2 * top))
    return outer + inner[1:-1]


def _bars(level):
    """A bar of a level meter: height grows with level 1..8."""
    top = 5 + level * 3.5
    return solid([(12, 4), (24, 4), (24, top), (12, top)])


def symbols():
    """The 149 glyphs of the codes that are not markers, in code order."""
    out = []
    # arrows: line arrows, filled heads, double-headed, block outline, block filled
    for d in range(0, 360, 45):
        out.append(("arrow", _arrow_parts(d, False)))
    for d in range(0, 360, 45):
        out.append(("arrow, filled head", _arrow_parts(d, True)))
    for d in range(0, 180, 45):
        out.append(("double arrow", _arrow_parts(d, False, double=True)))
    for d in range(0, 360, 45):
        out.append(("block arrow", outline(_block_arrow(d))))
    for d in range(0, 360, 45):
        out.append(("solid block arrow", solid(_block_arrow(d))))
    # circles and ellipses
    ring = ellipse_points(CX, CY, 13, 13)[:-1]
    small = ellipse_points(CX, CY, 6, 6, n=16)[:-1]
    out += [
        ("circle", outline(ring)),
        ("solid circle", solid(ring)),
        ("small circle", outline(small)),
        ("small solid circle", solid(small)),
        ("circle with dot", outline(ring) + solid(ellipse_points(CX, CY, 2, 2, n=8)[:-1])),
        ("double circle", outline(ring, ellipse_points(CX, CY, 8, 8, n=24)[:-1])),
        ("circle with plus", outline(ring) + [[(CX - 13, CY), (CX + 13, CY)], [(CX, CY - 13), (CX, CY + 13)]]),
        ("circle with cross", outline(ring) + [[(CX - 9, CY - 9), (CX + 9, CY + 9)], [(CX - 9, CY + 9), (CX + 9, CY - 9)]]),
    ]
    for start, name in ((90, "left"), (270, "right"), (0, "top"), (180, "bottom")):
        half = ellipse_points(CX, CY, 13, 13, n=16, start=start, sweep=180)
        out.append((f"circle, {name} half solid", outline(ring) + fill(half)))
    wide = ellipse_points(CX, CY, 15, 9)[:-1]
    tall = ellipse_points(CX, CY, 9, 15)[:-1]
    out += [("ellipse", outline(wide)), ("solid ellipse", solid(wide)),
            ("tall ellipse", outline(tall)), ("solid tall ellipse", solid(tall))]
    # regular polygons: pointing up, filled, turned by half a step
    for n in range(3, 9):
        out.append((f"{n}-gon", outline(regular(n, 14))))
    for n in range(3, 9):
        out.append((f"solid {n}-gon", solid(regular(n, 14))))
    for n in range(3, 9):
        out.append((f"turned {n}-gon", outline(regular(n, 14, start=90 + 180.0 / n))))
    # stars and asterisks
    for n in (4, 5, 6, 8):
        out.append((f"{n}-pointed star", outline(star(n, 15, 6))))
    for n in (4, 5, 6, 8):
        out.append((f"solid {n}-pointed star", solid(star(n, 15, 6))))
    for n in range(3, 9):
        out.append((f"asterisk of {n}", [[(CX, CY), p] for p in regular(n, 14)]))
    # boxes
    box = [(L, B), (R, B), (R, T), (L, T)]
    halves = {"left": [(L, B), (CX, B), (CX, T), (L, T)], "right": [(CX, B), (R, B), (R, T), (CX, T)],
              "top": [(L, CY), (R, CY), (R, T), (L, T)], "bottom": [(L, B), (R, B), (R, CY), (L, CY)]}
    for name, part in halves.items():
        out.append((f"square, {name} half solid", outline(box) + fill(part)))
    sbox = [(CX - 7, CY - 6), (CX + 7, CY - 6), (CX + 7, CY + 6), (CX - 7, CY + 6)]
    out += [
        ("square with dot", outline(box) + solid(regular(4, 2.5, start=45))),
        ("nested squares", outline(box, sbox)),
        ("grid", outline(box) + [[(L + 28 / 3, B), (L + 28 / 3, T)], [(R - 28 / 3, B), (R - 28 / 3, T)],
                                 [(L, B + 8), (R, B + 8)], [(L, T - 8), (R, T - 8)]]),
        ("small square", outline(sbox)),
        ("small solid square", solid(sbox)),
        ("square with rising diagonal", outline(box) + [[(L, B), (R, T)]]),
        ("square with falling diagonal", outline(box) + [[(L, T), (R, B)]]),
    ]
    tri = [(L, B), (R, B), (CX, T)]
    out += [
        ("triangle, left half solid", outline(tri) + fill([(L, B), (CX, B), (CX, T)])),
        ("triangle, right half solid", outline(tri) + fill([(CX, B), (R, B), (CX, T)])),
        ("nested triangles", outline(tri, [(CX - 7, B + 3), (CX + 7, B + 3), (CX, B + 15)])),
        ("triangle with dot", outline(tri) + solid(regular(4, 2.5, start=45, cy=CY - 3))),
    ]
    # pictographs
    heart = _heart()
    spade = _heart(cy=CY + 3, flip=True)
    stem = [(CX - 5, 3), (CX + 5, 3), (CX, 13)]
    lobes = [ellipse_points(CX, 26, 6, 6, n=16)[:-1], ellipse_points(CX - 7, 16, 6, 6, n=16)[:-1],
             ellipse_points(CX + 7, 16, 6, 6, n=16)[:-1]]
    suit = [(CX, 3), (CX + 10, CY), (CX, 33), (CX - 10, CY)]
    check = [[(6, 18), (14, 8), (30, 30)]]
    ballot = [(L, B), (R, B), (R, T), (L, T)]
    out += [
        ("heart", outline(heart)), ("solid heart", solid(heart)),
        ("spade", outline(spade) + outline(stem)), ("solid spade", solid(spade) + solid(stem)),
        ("club", outline(*lobes) + outline(stem)), ("solid club", solid(*lobes) + solid(stem)),
        ("suit diamond", outline(suit)), ("solid suit diamond", solid(suit)),
        ("check mark", check),
        ("ballot x", [[(8, 8), (28, 28)], [(9, 8), (28, 27)], [(8, 28), (28, 8)], [(8, 27), (27, 8)]]),
        ("ballot box", outline(ballot)),
        ("ballot box with check", outline(ballot) + [[(9, 18), (15, 10), (27, 27)]]),
        ("ballot box with x", outline(ballot) + [[(L + 4, B + 4), (R - 4, T - 4)], [(L + 4, T - 4), (R - 4, B + 4)]]),
        ("sun", outline(ellipse_points(CX, CY, 6, 6, n=16)[:-1])
         + [[(CX + 9 * math.cos(a), CY + 9 * math.sin(a)), (CX + 15 * math.cos(a), CY + 15 * math.sin(a))]
            for a in (math.radians(45 * k) for k in range(8))]),
        ("crescent", outline(_crescent())),
        ("lightning", solid([(20, 33), (9, 16), (17, 16), (12, 2), (27, 21), (19, 21), (25, 33)])),
        ("flag", [[(8, 3), (8, 33)]] + solid([(8, 33), (28, 28), (8, 22)])),
        ("house", outline([(8, 4), (28, 4), (28, 20), (18, 31), (8, 20)]) + [[(15, 4), (15, 13), (21, 13), (21, 4)]]),
        ("envelope", outline([(4, 8), (32, 8), (32, 28), (4, 28)]) + [[(4, 28), (18, 17), (32, 28)]]),
        ("note", solid(rotate(ellipse_points(14, 9, 6, 4, n=16)[:-1], 20, 14, 9))
         + [[(19.5, 11), (19.5, 32), (27, 25)]]),
    ]
    for level in range(1, 9):
        out.append((f"bar {level}", _bars(level)))
    out += [
        ("horizontal line", seg((L, CY), (R, CY))),
        ("vertical line", seg((CX, B), (CX, T))),
        ("rising line", seg((L, B), (R, T))),
        ("falling line", seg((L, T), (R, B))),
        ("dot", solid(ellipse_points(CX, CY, 2, 2, n=8)[:-1])),
        ("big dot", solid(ellipse_points(CX, CY, 4, 4, n=12)[:-1])),
    ]
    greek = [(14, 4), (22, 4), (22, 14), (32, 14), (32, 22), (22, 22), (22, 32), (14, 32),
             (14, 22), (4, 22), (4, 14), (14, 14)]
    saltire = rotate(greek, 45)
    out += [
        ("greek cross", outline(greek)), ("solid greek cross", solid(greek)),
        ("saltire", outline(saltire)), ("solid saltire", solid(saltire)),
        ("target", outline(ring, small) + [[(CX - 16, CY), (CX + 16, CY)], [(CX, CY - 16), (CX, CY + 16)]]),
        ("crosshair", outline(ellipse_points(CX, CY, 10, 10, n=24)[:-1])
         + [[(CX - 16, CY), (CX - 5, CY)], [(CX + 5, CY), (CX + 16, CY)],
            [(CX, CY - 16), (CX, CY - 5)], [(CX, CY + 5), (CX, CY + 16)]]),
        ("pentagram", [closed([regular(5, 14)[k * 2 % 5] for k in range(5)])]),
        ("hexagram", outline(regular(3, 14), regular(3, 14, start=270))),
        ("octagon with cross", outline(regular(8, 14, start=90 + 22.5))
         + [[(CX - 12, CY - 12), (CX + 12, CY + 12)], [(CX - 12, CY + 12), (CX + 12, CY - 12)]]),
        ("circle with vertical bar", outline(ring) + seg((CX, CY - 13), (CX, CY + 13))),
        ("circle with horizontal bar", outline(ring) + seg((CX - 13, CY), (CX + 13, CY))),
        ("upper half circle", outline(ellipse_points(CX, CY - 6, 14, 14, n=16, start=0, sweep=180))),
        ("lower half circle", outline(ellipse_points(CX, CY + 6, 14, 14, n=16, start=180, sweep=180))),
        ("pie quarter", outline(ellipse_points(CX, CY, 13, 13)[:-1])
         + fill([(CX, CY)] + ellipse_points(CX, CY, 13, 13, n=8, start=0, sweep=90))),
        ("three rings", outline(ring, ellipse_points(CX, CY, 9, 9, n=24)[:-1], ellipse_points(CX, CY, 5, 5, n=16)[:-1])),
        ("bullseye", outline(ring) + solid(ellipse_points(CX, CY, 5, 5, n=16)[:-1])),
    ]
    return out


def build():
    """{code: integer contours} and {code: encoded glyph}."""
    items = symbols()
    codes = [c for c in list(range(33, 127)) + list(range(161, 256)) if not 203 <= c <= 242]
    if len(items) < len(codes):
        raise SystemExit(f"marker font: {len(items)} symbols for {len(codes)} codes")
    contours, texts = {}, {}
    for code, (name, glyph) in zip(codes, items):
        contours[code] = G.quantise(glyph, SIZE, SIZE)
        # The double-headed arrows separate their second head with 'v', a
        # separator like any character outside the digits.
        seps = "u"
        if name == "double arrow":
            seps = "u" * (len(contours[code]) - 2) + "v"
        texts[code] = G.encode_glyph(contours[code], seps)
    for n in range(1, 41):
        contours[202 + n] = G.quantise(marker(n), SIZE, SIZE)
        texts[202 + n] = G.encode_glyph(contours[202 + n], "u")
    return contours, texts, items[len(codes):]
