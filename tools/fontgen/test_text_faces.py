"""Checks of the filled faces' outline code on small made-up glyphs:

    /usr/bin/python3 -m unittest discover -s tools/fontgen -p 'test_*.py'
"""

import math
import unittest

import outlines as O
import raster as R
import text_faces as T

FACE = T.FACES[2]  # swiss.chr: x 2..51, y 1..53


def square(x0, y0, x1, y1, clockwise=False):
    pts = [(x0, y0), (x1, y0), (x1, y1), (x0, y1)]
    return pts[::-1] if clockwise else pts


def font_outer(x0, y0, x1, y1):
    """An outer contour as TrueType turns it (clockwise)."""
    return square(x0, y0, x1, y1, clockwise=True)


def font_hole(x0, y0, x1, y1):
    return square(x0, y0, x1, y1)


class Cuts(unittest.TestCase):
    def test_ring_becomes_one_contour_out_and_back_along_one_cut(self):
        contours = [font_outer(10, 10, 40, 40), font_hole(20, 20, 30, 30)]
        stored, holes = T.stored_contours(FACE, 79, contours)
        self.assertEqual(len(stored), 1)
        self.assertEqual(len(holes), 1)
        c = stored[0]
        self.assertEqual(len(c), 4 + 4 + 2)
        self.assertEqual(c[0], (10, 10))  # lowest-left first
        self.assertGreater(O.signed_area(c), 0)
        # The cut's two vertices each appear twice, and the way out and the
        # way back join the same two points.
        twice = sorted({p for p in c if c.count(p) == 2})
        self.assertEqual(len(twice), 2)
        self.assertAlmostEqual(O.signed_area(c), 30 * 30 - 10 * 10)
        # Drawn as the screen draws it, the counter stays blank.
        inner = R.erode(R.fill([R.to_pixels(square(20, 20, 30, 30))]), 3)
        self.assertEqual(R.count(R.intersection(inner, R.drawn(c))), 0)
        self.assertGreater(R.count(R.intersection(R.drawn(c), R.fill([R.to_pixels(square(12, 12, 18, 38))]))), 0)

    def test_cut_goes_round_an_island_in_the_way(self):
        # The outline and the hole come closest at (9, 25) and (12, 25); a
        # small bar between them takes that cut away.
        outer = [(6, 6), (44, 6), (44, 44), (6, 44), (9, 25)][::-1]
        hole = [(14, 14), (36, 14), (36, 36), (14, 36), (12, 25)]
        bar = font_outer(10, 24, 11, 26)

        def cut(stored):
            ring = max(stored, key=len)
            return sorted({p for p in ring if ring.count(p) == 2})

        stored, _ = T.stored_contours(FACE, 79, [outer, hole])
        self.assertEqual(cut(stored), [(9, 25), (12, 25)])
        stored, _ = T.stored_contours(FACE, 79, [outer, hole, bar])
        p, q = cut(stored)
        island = min(stored, key=len)
        edges = [(island[i], island[(i + 1) % len(island)]) for i in range(len(island))]
        self.assertNotEqual([p, q], [(9, 25), (12, 25)])
        self.assertFalse(any(O.cut_crosses(p, q, a, b) for a, b in edges))

    def test_hole_of_a_hole_island_joins_the_island(self):
        # A registered sign: ring, and a letter with a counter in the ring's
        # hole; the letter's counter is joined to the letter.
        contours = [font_outer(4, 4, 50, 50), font_hole(8, 8, 46, 46),
                    font_outer(16, 16, 38, 38), font_hole(22, 22, 32, 32)]
        stored, holes = T.stored_contours(FACE, 174, contours)
        self.assertEqual(len(stored), 2)
        self.assertEqual([k for k, _ in holes], [0, 1])
        self.assertAlmostEqual(O.signed_area(stored[1]), 22 * 22 - 10 * 10)


class Stops(unittest.TestCase):
    def assertStops(self, what, fn):
        with self.assertRaises(O.OutlineError) as e:
            fn()
        self.assertIn("swiss.chr code 65", str(e.exception))
        self.assertIn(what, str(e.exception))

    def test_hole_outside_every_contour(self):
        contours = [font_outer(10, 10, 20, 20), font_hole(30, 30, 40, 40)]
        self.assertStops("no enclosing contour", lambda: T.stored_contours(FACE, 65, contours))

    def test_contour_over_152_points(self):
        # Teeth of two units a unit apart on every side: no simplification
        # takes them away. Clockwise, as the font has it.
        left = [(10 + 2 * (k % 2), 10 + k) for k in range(40)]
        top = [(10 + k, 50 - 2 * (k % 2)) for k in range(40)]
        right = [(50 - 2 * (k % 2), 50 - k) for k in range(40)]
        bottom = [(50 - k, 10 + 2 * (k % 2)) for k in range(40)]
        contour = left + top + right + bottom
        self.assertStops("points (at most 152)", lambda: T.build_glyph(FACE, 65, [contour]))

    def test_missing_character(self):
        face = T.Face("Swiss", "swiss.chr", FACE.sources, FACE.xrange, FACE.yrange, 36.3, False,
                      [65], "liberation")
        saved = T.character
        T.character = lambda f, code: "\ue000"
        try:
            self.assertStops("U+E000", lambda: T._source_glyphs(face))
        finally:
            T.character = saved

    def test_glyph_far_from_its_source(self):
        # A circle stored as its bounding square overlaps enough but paints
        # its corners more than a unit outside the circle.
        circle = [(27 + 15 * math.cos(a / 40 * 2 * math.pi), 27 - 15 * math.sin(a / 40 * 2 * math.pi))
                  for a in range(40)]
        problem, _, _ = T._compare([square(12, 12, 42, 42)], [], [circle])
        self.assertIn("outside the source", problem)
        problem, _, _ = T._compare([square(12, 12, 16, 16)], [], [circle])
        self.assertIn("overlap", problem)


if __name__ == "__main__":
    unittest.main()
