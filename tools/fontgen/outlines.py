"""Closed outlines for the filled stroke fonts.

A contour is a list of (x, y) points, y upwards, closed implicitly (the first
point is not repeated). Counter-clockwise contours have a positive area.

The renderer fills each contour of a glyph on its own, so a counter (a hole)
cannot be a contour of its own: join_hole() splices it into the contour that
encloses it through a cut of zero width, out along one segment and back
along the same one.
"""

import math

import glyphs as G


class OutlineError(Exception):
    """A glyph that cannot be turned into valid data; the message names it."""


# ----------------------------------------------------------------- measures

def signed_area(pts):
    a = 0
    n = len(pts)
    for i in range(n):
        x0, y0 = pts[i]
        x1, y1 = pts[(i + 1) % n]
        a += x0 * y1 - x1 * y0
    return a / 2


def contains(pts, p):
    """Even-odd test of point p against the polygon (p not on its boundary)."""
    x, y = p
    inside = False
    n = len(pts)
    for i in range(n):
        x0, y0 = pts[i]
        x1, y1 = pts[(i + 1) % n]
        if (y0 > y) != (y1 > y):
            xc = x0 + (y - y0) * (x1 - x0) / (y1 - y0)
            if xc > x:
                inside = not inside
    return inside


def lowest_left(pts):
    """Index of the lowest point, the leftmost of the lowest ones."""
    return min(range(len(pts)), key=lambda i: (pts[i][1], pts[i][0], i))


def oriented(pts, counter_clockwise):
    """The contour turned the asked way, starting at its lowest-left point."""
    if (signed_area(pts) > 0) != counter_clockwise:
        pts = pts[::-1]
    k = lowest_left(pts)
    return pts[k:] + pts[:k]


# ------------------------------------------------------------- flattening

def flatten_quadratic(p0, p1, p2, tolerance):
    """Points after p0 of the quadratic Bezier p0-p1-p2, no point of the
    curve farther than tolerance from the chords."""
    # The curve deviates from its chord by at most a quarter of the control
    # point's distance from the chord's midpoint; halving the parameter step
    # quarters the deviation.
    dx = (p0[0] + p2[0]) / 2 - p1[0]
    dy = (p0[1] + p2[1]) / 2 - p1[1]
    deviation = math.hypot(dx, dy) / 2
    n = max(1, int(math.ceil(math.sqrt(deviation / tolerance)))) if tolerance > 0 else 1
    out = []
    for k in range(1, n + 1):
        t = k / n
        a, b, c = (1 - t) * (1 - t), 2 * t * (1 - t), t * t
        out.append((a * p0[0] + b * p1[0] + c * p2[0], a * p0[1] + b * p1[1] + c * p2[1]))
    return out


def flatten_cubic(p0, p1, p2, p3, tolerance):
    d = max(math.hypot(p1[0] - (2 * p0[0] + p3[0]) / 3, p1[1] - (2 * p0[1] + p3[1]) / 3),
            math.hypot(p2[0] - (p0[0] + 2 * p3[0]) / 3, p2[1] - (p0[1] + 2 * p3[1]) / 3))
    n = max(1, int(math.ceil(math.sqrt(0.75 * d / tolerance)))) if tolerance > 0 else 1
    out = []
    for k in range(1, n + 1):
        t = k / n
        u = 1 - t
        a, b, c, e = u * u * u, 3 * u * u * t, 3 * u * t * t, t * t * t
        out.append((a * p0[0] + b * p1[0] + c * p2[0] + e * p3[0],
                    a * p0[1] + b * p1[1] + c * p2[1] + e * p3[1]))
    return out


# ------------------------------------------------------- simplify and round

def simplify_closed(pts, tolerance):
    """Douglas-Peucker on a closed contour, anchored at its lowest-left point
    and at the point farthest from it."""
    n = len(pts)
    if n < 4 or tolerance <= 0:
        return list(pts)
    s = lowest_left(pts)
    pts = pts[s:] + pts[:s]
    far = max(range(n), key=lambda k: (math.hypot(pts[k][0] - pts[0][0], pts[k][1] - pts[0][1]), -k))
    first = G.simplify(pts[:far + 1], tolerance)
    second = G.simplify(pts[far:] + [pts[0]], tolerance)
    return first + second[1:-1]


def _orient(a, b, c):
    return (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0])


def clean_closed(pts):
    """Drops repeated points and points on the line through their
    neighbours (straight runs and out-and-back spikes), all round."""
    out = list(pts)
    changed = True
    while changed and len(out) >= 3:
        changed = False
        k = 0
        while k < len(out) and len(out) >= 3:
            a, b, c = out[k - 1], out[k], out[(k + 1) % len(out)]
            if b == a or _orient(a, b, c) == 0:
                del out[k]
                changed = True
            else:
                k += 1
    if len(out) < 3 or signed_area(out) == 0:
        return []
    return out


def round_contour(pts, tolerance, xmin, xmax, ymin, ymax):
    """Simplified, rounded to the integer grid inside the given range and
    cleaned; [] when nothing with an area is left."""
    pts = simplify_closed(pts, tolerance)
    pts = [(min(max(G.round_half_up(x), xmin), xmax), min(max(G.round_half_up(y), ymin), ymax)) for x, y in pts]
    return clean_closed(pts)


# ------------------------------------------------------------ joining holes

def _strictly_between(a, b, p):
    """p, collinear with a-b, lies on the open segment a-b."""
    if a == b or p == a or p == b:
        return False
    return (min(a[0], b[0]) <= p[0] <= max(a[0], b[0])
            and min(a[1], b[1]) <= p[1] <= max(a[1], b[1]))


def cut_crosses(p, q, a, b):
    """True when the cut p-q meets edge a-b other than at a shared end."""
    o1, o2 = _orient(p, q, a), _orient(p, q, b)
    o3, o4 = _orient(a, b, p), _orient(a, b, q)
    if ((o1 > 0 and o2 < 0) or (o1 < 0 and o2 > 0)) and ((o3 > 0 and o4 < 0) or (o3 < 0 and o4 > 0)):
        return True
    if o1 == 0 and _strictly_between(p, q, a):
        return True
    if o2 == 0 and _strictly_between(p, q, b):
        return True
    if o3 == 0 and _strictly_between(a, b, p):
        return True
    if o4 == 0 and _strictly_between(a, b, q):
        return True
    return o1 == 0 and o2 == 0 and {a, b} == {p, q}


def leaves_into_fill(pts, k, q):
    """The direction from vertex k of a contour towards q points into the
    side the contour fills (its left, the contour's own turning sense being
    counter-clockwise for outers and clockwise for holes)."""
    p = pts[k]
    nxt = pts[(k + 1) % len(pts)]
    prv = pts[k - 1]
    e1 = (nxt[0] - p[0], nxt[1] - p[1])
    e2 = (prv[0] - p[0], prv[1] - p[1])
    d = (q[0] - p[0], q[1] - p[1])

    def cross(u, v):
        return u[0] * v[1] - u[1] * v[0]

    if cross(e1, e2) > 0:
        return cross(e1, d) > 0 and cross(d, e2) > 0
    return not (cross(e2, d) >= 0 and cross(d, e1) >= 0)


def join_hole(outer, hole, others):
    """The outer contour with the hole spliced in through the shortest cut
    between a vertex of each that crosses no edge of the outer, the hole or
    the other contours and leaves both vertices on their ink side. None when
    no such cut exists."""
    edges = []
    for c in [outer, hole] + list(others):
        edges.extend((c[i], c[(i + 1) % len(c)]) for i in range(len(c)))
    pairs = sorted(((o[0] - h[0]) ** 2 + (o[1] - h[1]) ** 2, i, j)
                   for i, o in enumerate(outer) for j, h in enumerate(hole))
    for d2, i, j in pairs:
        p, q = outer[i], hole[j]
        if d2 == 0:
            # The hole touches the outline here: it opens into a notch.
            return outer[:i + 1] + hole[j + 1:] + hole[:j + 1] + outer[i + 1:]
        if not leaves_into_fill(outer, i, q) or not leaves_into_fill(hole, j, p):
            continue
        if any(cut_crosses(p, q, a, b) for a, b in edges):
            continue
        return outer[:i + 1] + hole[j:] + hole[:j + 1] + outer[i:]
    return None
