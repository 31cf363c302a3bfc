"""Reader for Hershey stroke fonts in the .jhf text format.

Each line holds one glyph: a 5-character number, a 3-character vertex count,
then pairs of characters, the first pair being the left and right bearing and
every further pair a point (x, y) coded as the characters' distance from 'R'.
The pair " R" lifts the pen. y grows downwards; in the ASCII-ordered files the
capital height runs from y = -12 to the baseline at y = 9.

The Hershey Fonts were originally created by Dr. A. V. Hershey while working at
the U. S. National Bureau of Standards. The format of the font data was
originally created by James Hurt, Cognition, Inc. (see HERSHEY-NOTICE.txt).
"""

import os

DEFAULT_DIR = "/usr/share/hershey-fonts"


class HersheyGlyph:
    def __init__(self, left, right, strokes):
        self.left = left
        self.right = right
        self.strokes = strokes  # list of lists of (x, y), y downwards


def read_jhf(path):
    """Glyphs of the file in file order. Long glyphs may wrap over lines: a
    glyph's text is complete when it holds as many pairs as its count says."""
    glyphs = []
    pending = ""
    with open(path, encoding="ascii") as f:
        for raw in f:
            line = raw.rstrip("\r\n")
            pending = pending + line if pending else line
            count = int(pending[5:8])
            body = pending[8:]
            if len(body) < 2 * count:
                continue
            pending = ""
            left = ord(body[0]) - ord("R")
            right = ord(body[1]) - ord("R")
            strokes = [[]]
            for i in range(2, 2 * count, 2):
                pair = body[i:i + 2]
                if pair == " R":
                    strokes.append([])
                    continue
                strokes[-1].append((ord(pair[0]) - ord("R"), ord(pair[1]) - ord("R")))
            glyphs.append(HersheyGlyph(left, right, [s for s in strokes if s]))
    return glyphs


def read_ascii_font(name="futural", directory=None):
    """The 96 glyphs of an ASCII-ordered file as a dict code -> HersheyGlyph
    (codes 32 to 127)."""
    path = os.path.join(directory or os.environ.get("HERSHEY_FONT_DIR", DEFAULT_DIR), name + ".jhf")
    glyphs = read_jhf(path)
    if len(glyphs) != 96:
        raise SystemExit(f"{path}: expected 96 glyphs, found {len(glyphs)}")
    return {32 + i: g for i, g in enumerate(glyphs)}
