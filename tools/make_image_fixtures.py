#!/usr/bin/python3
"""Makes the image fixtures of the hardcopy tests.

Small BMP, PCX and PNG pictures are written by other programs (ImageMagick's
convert, netpbm, Pillow) and, for the few layouts none of them writes (RLE4,
16-bit BMP without bit fields, top-down BMP, PNG with several IDAT chunks),
by byte edits below. Every picture is then read back by ImageMagick and by
Pillow; when they differ netpbm decides, and the values of the majority are
the expected ones (the generated file says which readers they came from). The files go to tests/hardcopy/fixtures/ and,
with the expected pixels, into tests/hardcopy/fixtures_data.cpp.

Needs: /usr/bin/convert (ImageMagick), netpbm (ppmtobmp, ppmtopcx) and
python3-pil. Run from anywhere: /usr/bin/python3 tools/make_image_fixtures.py
"""

import os
import struct
import subprocess
import sys
import tempfile
import zlib

from PIL import Image

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT_DIR = os.path.join(ROOT, "tests", "hardcopy", "fixtures")
OUT_CPP = os.path.join(ROOT, "tests", "hardcopy", "fixtures_data.cpp")
CONVERT = "/usr/bin/convert"  # the real ImageMagick (/usr/local/bin may hold a stand-in)

W, H = 13, 9  # odd width: every row needs padding


def run(args, stdin=None):
    return subprocess.run(args, input=stdin, stdout=subprocess.PIPE, check=True).stdout


# ---------------------------------------------------------------------------
# Source pictures


def rgb_picture():
    im = Image.new("RGB", (W, H))
    for y in range(H):
        for x in range(W):
            im.putpixel((x, y), (x * 19, y * 28, (x * y * 7 + 40) % 256))
    return im


def palette_picture(colours, w=W, h=H):
    """A palette picture with exactly len(colours) entries."""
    im = Image.new("P", (w, h))
    flat = [c for rgb in colours for c in rgb]
    im.putpalette(flat, rawmode="RGB")
    n = len(colours)
    for y in range(h):
        for x in range(w):
            if n <= 16:
                # Runs of equal pixels and changes inside bytes.
                i = (x // 3) + 2 * y + (x * y) % 2
            else:
                # Pairs on the left, every pixel different on the right.
                i = (x // 2) * 7 + y * 11 + (x % 2 if x > 8 else 0) * 3
            im.putpixel((x, y), i % n)
    return im


def colours(n, seed):
    out = []
    for i in range(n):
        out.append(((i * 37 + seed) % 256, (i * 91 + 2 * seed) % 256, (i * 53 + 3 * seed + 17) % 256))
    return out


BLACK_WHITE = [(0, 0, 0), (255, 255, 255)]


# ---------------------------------------------------------------------------
# Byte edits for layouts no writer here produces


def bmp_fields(d):
    off, hs = struct.unpack_from("<II", d, 10)
    w, h, planes, bits, comp = struct.unpack_from("<iiHHI", d, 18)
    return off, hs, w, h, bits, comp


def bmp_top_down(d):
    """The same 24-bit picture stored top row first (negative height)."""
    off, hs, w, h, bits, comp = bmp_fields(d)
    stride = (bits * w + 31) // 32 * 4
    rows = [d[off + k * stride: off + (k + 1) * stride] for k in range(h)]
    out = bytearray(d[:off]) + b"".join(reversed(rows))
    struct.pack_into("<i", out, 22, -h)
    return bytes(out)


def bmp_16_plain(d):
    """A 16-bit 5-5-5 bit-field BMP rewritten with compression 0 (no masks)."""
    off, hs, w, h, bits, comp = bmp_fields(d)
    assert bits == 16
    masks = struct.unpack_from("<III", d, 54)
    assert masks == (0x7C00, 0x03E0, 0x001F), masks
    pixels = d[off:]
    head = bytearray(d[:54])
    struct.pack_into("<I", head, 2, 54 + len(pixels))
    struct.pack_into("<I", head, 10, 54)
    struct.pack_into("<I", head, 14, 40)
    struct.pack_into("<I", head, 30, 0)
    return bytes(head) + pixels


def bmp_v3_fields(d):
    """A bit-field BMP with a 124-byte header rewritten with the 40-byte header
    and the three masks right after it."""
    off, hs, w, h, bits, comp = bmp_fields(d)
    assert comp == 3 and hs == 124
    masks = d[54:66]
    pixels = d[off:]
    head = bytearray(d[:54])
    struct.pack_into("<I", head, 2, 66 + len(pixels))
    struct.pack_into("<I", head, 10, 66)
    struct.pack_into("<I", head, 14, 40)
    return bytes(head) + masks + pixels


def bmp_rle4(im):
    """A 4-bit run-length BMP of palette picture IM (at most 16 colours):
    encoded runs, absolute runs (odd lengths, padded), end-of-line and
    end-of-picture escapes."""
    w, h = im.size
    pal = im.getpalette()[: 3 * 16]
    pal += [0] * (48 - len(pal))
    data = bytearray()
    for y in range(h - 1, -1, -1):
        row = [im.getpixel((x, y)) for x in range(w)]
        x = 0
        while x < w:
            n = 1
            while x + n < w and row[x + n] == row[x] and n < 255:
                n += 1
            if n >= 2 or w - x < 3:
                data += bytes([n, row[x] << 4 | row[x]])
                x += n
            else:
                # absolute run up to the next pair of equal pixels
                e = x
                while e < w and not (e + 1 < w and row[e] == row[e + 1]) and e - x < 255:
                    e += 1
                cnt = e - x
                if cnt < 3:
                    data += bytes([1, row[x] << 4 | row[x]])
                    x += 1
                    continue
                nib = row[x:e] + [0]
                packed = bytes(nib[i] << 4 | nib[i + 1] for i in range(0, cnt, 2))
                if len(packed) % 2:
                    packed += b"\0"
                data += bytes([0, cnt]) + packed
                x = e
        data += b"\0\0" if y > 0 else b"\0\1"
    palette = b"".join(bytes([pal[3 * i + 2], pal[3 * i + 1], pal[3 * i], 0]) for i in range(16))
    off = 14 + 40 + len(palette)
    head = b"BM" + struct.pack("<IHHI", off + len(data), 0, 0, off)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 4, 2, len(data), 2835, 2835, 16, 0)
    return head + info + palette + bytes(data)


def png_split_idat(d, parts=3):
    """The same PNG with its image data spread over several IDAT chunks."""
    pos, chunks = 8, []
    while pos < len(d):
        n = struct.unpack_from(">I", d, pos)[0]
        chunks.append((d[pos + 4: pos + 8], d[pos + 8: pos + 8 + n]))
        pos += 12 + n
    idat = b"".join(c for t, c in chunks if t == b"IDAT")
    step = max(1, -(-len(idat) // parts))
    out = bytearray(d[:8])

    def chunk(t, c):
        return struct.pack(">I", len(c)) + t + c + struct.pack(">I", zlib.crc32(t + c) & 0xFFFFFFFF)

    done = False
    for t, c in chunks:
        if t == b"IDAT":
            if not done:
                for i in range(0, len(idat), step):
                    out += chunk(b"IDAT", idat[i: i + step])
                done = True
        else:
            out += chunk(t, c)
    return bytes(out)


# ---------------------------------------------------------------------------
# The fixture list: (name, maker, channel bits)


def make_all(tmp):
    src = rgb_picture()
    src_ppm = os.path.join(tmp, "src.ppm")
    src_png = os.path.join(tmp, "src.png")
    src.save(src_ppm)
    src.save(src_png)

    def saved(im, fmt, **kw):
        p = os.path.join(tmp, "pil." + fmt.lower())
        im.save(p, fmt, **kw)
        return open(p, "rb").read()

    def ppm_of(im):
        p = os.path.join(tmp, "pal.ppm")
        im.convert("RGB").save(p)
        return p

    def magick(src_path, *args):
        fmt = args[-1]
        # No time stamps, so that the files come out the same on every run.
        stable = ["-define", "png:exclude-chunks=date,time"] if fmt.startswith("PNG") else []
        return run([CONVERT, src_path] + list(args[:-1]) + stable + [fmt + ":-"])

    bw = palette_picture(BLACK_WHITE)
    two = palette_picture([(200, 30, 40), (10, 120, 250)])
    four = palette_picture(colours(4, 11))
    sixteen = palette_picture(colours(16, 5))
    many = palette_picture(colours(200, 9))

    b555 = magick(src_png, "-define", "bmp:subtype=RGB555", "BMP")
    b565 = magick(src_png, "-define", "bmp:subtype=RGB565", "BMP")
    fixtures = [
        # BMP
        ("bmp1_pillow", saved(bw.convert("1"), "BMP"), 8),
        ("bmp1_palette_netpbm", run(["ppmtobmp", "-bpp", "1", ppm_of(two)]), 8),
        ("bmp4_netpbm", run(["ppmtobmp", "-bpp", "4", ppm_of(sixteen)]), 8),
        ("bmp8_pillow", saved(many, "BMP"), 8),
        ("bmp8_netpbm", run(["ppmtobmp", "-bpp", "8", ppm_of(many)]), 8),
        ("bmp_rle8_magick", magick(ppm_of(many), "-type", "Palette", "-compress", "RLE", "BMP3"), 8),
        ("bmp_rle8_16colours_magick", magick(ppm_of(sixteen), "-type", "Palette", "-compress", "RLE", "BMP3"), 8),
        ("bmp_rle4_script", bmp_rle4(sixteen), 8),
        ("bmp16_565_v5_magick", b565, (5, 6, 5)),
        ("bmp16_565_v3_fields_script", bmp_v3_fields(b565), (5, 6, 5)),
        ("bmp16_555_v5_magick", b555, (5, 5, 5)),
        ("bmp16_555_plain_script", bmp_16_plain(b555), (5, 5, 5)),
        ("bmp24_pillow", saved(src, "BMP"), 8),
        ("bmp24_netpbm", run(["ppmtobmp", "-bpp", "24", src_ppm]), 8),
        ("bmp24_topdown_script", bmp_top_down(saved(src, "BMP")), 8),
        ("bmp32_v5_fields_magick", magick(src_png, "-alpha", "set", "BMP"), 8),
        ("bmp32_plain_magick", magick(src_png, "-alpha", "set", "-define", "bmp3:alpha=true", "BMP3"), 8),
        # PCX
        ("pcx1_netpbm", pcx_clear_unused_palette(
            run(["ppmtopcx", "-palette=" + palette_file(tmp, BLACK_WHITE), ppm_of(bw)]), 2), 8),
        ("pcx4_planes_netpbm", run(["ppmtopcx", ppm_of(sixteen)]), 8),
        ("pcx8_netpbm", run(["ppmtopcx", "-8bit", ppm_of(many)]), 8),
        ("pcx8_magick", magick(ppm_of(many), "-type", "Palette", "PCX"), 8),
        ("pcx24_netpbm", run(["ppmtopcx", "-24bit", src_ppm]), 8),
        ("pcx24_magick", magick(src_png, "PCX"), 8),
        # PNG
        ("png3_1bit_pillow", saved(two, "PNG"), 8),
        ("png3_2bit_pillow", saved(four, "PNG"), 8),
        ("png3_4bit_pillow", saved(sixteen, "PNG"), 8),
        ("png3_8bit_pillow", saved(many, "PNG"), 8),
        ("png2_8bit_pillow", saved(src, "PNG"), 8),
        ("png2_8bit_magick", magick(src_png, "PNG24"), 8),
        ("png2_8bit_split_idat_script", png_split_idat(saved(src, "PNG")), 8),
        ("png2_16bit_magick", magick(src_png, "-evaluate", "multiply", "1.003", "-depth", "16", "PNG48"), 8),
        ("png6_8bit_pillow", saved(with_alpha(src), "PNG"), 8),
        ("png6_16bit_magick", magick(png_path(tmp, with_alpha(src)), "-depth", "16", "PNG64"), 8),
    ]
    return fixtures


def pcx_clear_unused_palette(d, used):
    """Zeros the header palette entries past USED (ppmtopcx leaves whatever
    its memory held there), so that the file is the same on every run."""
    out = bytearray(d)
    out[16 + 3 * used: 64] = bytes(48 - 3 * used)
    return bytes(out)


def palette_file(tmp, rgbs):
    """A PPM holding the colours in order, for ppmtopcx -palette."""
    p = os.path.join(tmp, "palette.ppm")
    im = Image.new("RGB", (len(rgbs), 1))
    for i, c in enumerate(rgbs):
        im.putpixel((i, 0), c)
    im.save(p)
    return p


def with_alpha(im):
    a = im.convert("RGBA")
    for y in range(a.size[1]):
        for x in range(a.size[0]):
            r, g, b, _ = a.getpixel((x, y))
            a.putpixel((x, y), (r, g, b, (x * 20 + y * 7) % 256))
    return a


def png_path(tmp, im):
    p = os.path.join(tmp, "alpha.png")
    im.save(p)
    return p


def kind_of(d):
    if d[0] == 10 and d[2] == 1:
        return 2
    if d[:2] == b"BM":
        return 1
    if d[:8] == b"\x89PNG\r\n\x1a\n":
        return 15
    raise ValueError("unknown kind")


def expected_pixels(path):
    """Width, height and packed RGB values as ImageMagick reads the file: the
    high byte of each 16-bit sample, alpha dropped."""
    size = run([CONVERT, path, "-format", "%w %h", "info:"]).split()
    w, h = int(size[0]), int(size[1])
    raw = run([CONVERT, path, "-alpha", "off", "-depth", "16", "-endian", "MSB", "rgb:-"])
    assert len(raw) == w * h * 6, (path, len(raw))
    out = []
    for i in range(w * h):
        r, g, b = raw[6 * i], raw[6 * i + 2], raw[6 * i + 4]
        out.append(r + 256 * g + 65536 * b)
    return w, h, out


def pillow_pixels(path):
    """Packed RGB values as Pillow reads the file, None when it cannot."""
    try:
        im = Image.open(path)
        im.load()
    except Exception:
        return None
    if im.mode in ("I;16", "I;16B", "I"):
        return None
    rgb = im.convert("RGB")
    w, h = rgb.size
    return [r + 256 * g + 65536 * b for r, g, b in (rgb.getpixel((x, y)) for y in range(h) for x in range(w))]


def netpbm_pixels(path, kind):
    """Packed RGB values as netpbm reads the file (high bytes of 16-bit samples)."""
    tool = {1: "bmptopnm", 2: "pcxtoppm", 15: "pngtopnm"}[kind]
    pnm = subprocess.run([tool, path], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, check=True).stdout
    fields, pos = [], 0
    while len(fields) < 4:
        while pnm[pos:pos + 1].isspace():
            pos += 1
        end = pos
        while not pnm[end:end + 1].isspace():
            end += 1
        fields.append(pnm[pos:end])
        pos = end
    pos += 1
    magic, w, h, maxval = fields[0], int(fields[1]), int(fields[2]), int(fields[3])
    step = 2 if maxval > 255 else 1
    out = []
    for i in range(w * h):
        if magic == b"P6":
            px = [pnm[pos + (3 * i + c) * step] for c in range(3)]
        else:  # P5 grey
            px = [pnm[pos + i * step]] * 3
        if maxval < 255 and step == 1:
            px = [v * 255 // maxval for v in px]
        out.append(px[0] + 256 * px[1] + 65536 * px[2])
    return out


def quantise(values, bits):
    out = []
    for v in values:
        q = 0
        for c in range(3):
            x = (v >> (8 * c)) & 255
            k = bits[c]
            if k < 8:
                x = ((x * ((1 << k) - 1) + 127) // 255) << (8 - k)
            q |= x << (8 * c)
        out.append(q)
    return out


def checked_pixels(path, kind, bits):
    """ImageMagick's pixels, cross-checked with Pillow. Where the two differ,
    netpbm decides, and the reader that agrees with it gives the values."""
    w, h, magick = expected_pixels(path)
    pillow = pillow_pixels(path)
    if pillow is None or quantise(pillow, bits) == quantise(magick, bits):
        return w, h, magick, "ImageMagick" + (", Pillow agrees" if pillow is not None else "")
    netpbm = quantise(netpbm_pixels(path, kind), bits)
    if netpbm == quantise(magick, bits):
        return w, h, magick, "ImageMagick and netpbm (Pillow reads this file differently)"
    if netpbm == quantise(pillow, bits):
        return w, h, pillow, "Pillow and netpbm (ImageMagick reads this file differently)"
    raise RuntimeError("readers disagree on " + path)


def cpp_bytes(d):
    lines = []
    for i in range(0, len(d), 20):
        lines.append("    " + ",".join(str(b) for b in d[i: i + 20]) + ",")
    return "\n".join(lines)


def main():
    os.makedirs(OUT_DIR, exist_ok=True)
    with tempfile.TemporaryDirectory() as tmp:
        fixtures = make_all(tmp)
        parts = [
            "// Generated by tools/make_image_fixtures.py: image files written by other",
            "// programs and the pixels independent readers get from them. Do not edit.",
            '#include "fixtures_data.h"',
            "",
            "namespace {",
        ]
        table = []
        for name, data, bits in fixtures:
            ext = {1: "bmp", 2: "pcx", 15: "png"}[kind_of(data)]
            path = os.path.join(OUT_DIR, name + "." + ext)
            with open(path, "wb") as f:
                f.write(data)
            cb = bits if isinstance(bits, tuple) else (bits, bits, bits)
            w, h, px, source = checked_pixels(path, kind_of(data), cb)
            parts.append("// %s.%s: pixels as read by %s." % (name, ext, source))
            parts.append("const unsigned char k_%s_bytes[] = {\n%s\n};" % (name, cpp_bytes(data)))
            parts.append("const int k_%s_rgb[] = {\n%s\n};" % (name, "\n".join(
                "    " + ",".join(str(v) for v in px[i: i + 12]) + "," for i in range(0, len(px), 12))))
            table.append('    {"%s.%s", %d, %d, %d, {%d, %d, %d}, k_%s_bytes, sizeof k_%s_bytes, k_%s_rgb},'
                         % (name, ext, kind_of(data), w, h, cb[0], cb[1], cb[2], name, name, name))
            print("%-32s %5d bytes  %dx%d  %s" % (name + "." + ext, len(data), w, h, source))
        parts.append("} // namespace")
        parts.append("")
        parts.append("const ImageFixture kImageFixtures[] = {")
        parts += table
        parts.append("};")
        parts.append("const int kImageFixtureCount = sizeof kImageFixtures / sizeof kImageFixtures[0];")
        with open(OUT_CPP, "w") as f:
            f.write("\n".join(parts) + "\n")


if __name__ == "__main__":
    sys.exit(main())
