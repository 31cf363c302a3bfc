#!/usr/bin/env python3
"""Writes the bad-input corpus of the file-kind detection into OUT (the first
argument): every image fixture and every hand-made sample of the other kinds
cut at every length up to 200 bytes, with one bit flipped in each of their
first 64 bytes, and the cases that divide, overflow or run past the end of
the file (0 units per inch, ESC "(U" 1 0 0, flat, NaN and infinite CGM
extents, CGM and PIC lengths beyond the file, endless long-form partitions,
values beyond the integer range, HP-GL lines of 100,000 characters), plus a
folder as a name. Each file must give kind -1, 0 or its kind with -1 words,
never a crash."""
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ESC = b"\x1b"


def cgm(elements):
    out = b""
    for cls, eid, params, *long_form in elements:
        n = len(params)
        if n < 31 and not long_form:
            out += struct.pack(">H", cls * 4096 + eid * 32 + n)
        else:
            out += struct.pack(">H", cls * 4096 + eid * 32 + 31) + struct.pack(">H", n & 0x7FFF)
        out += params + (b"\0" if n % 2 else b"")
    return out


def pic(body):
    head = bytearray(17)
    head[0], head[4], head[6], head[8], head[13] = 1, 1, 8, ord("D"), 12
    return bytes(head) + body


def dxf(x, y):
    return ("  0\r\nSECTION\r\n  2\r\nHEADER\r\n  9\r\n$ACADVER\r\n  1\r\nAC1009\r\n  9\r\n$EXTMIN\r\n"
            " 10\r\n0.0\r\n 20\r\n%s\r\n 30\r\n%s\r\n  0\r\nENDSEC\r\n  0\r\nEOF\r\n" % (x, y)).encode()


def placeable(per_inch):
    return struct.pack("<IHhhhhHI", 0x9AC6CDD7, 0, 0, 0, -1, -1, per_inch, 0) + b"\1\0\x09\0\0\3" + bytes(20)


def enhanced(right, bottom):
    return struct.pack("<II4i4iI", 1, 88, 0, 0, 0, 0, 0, 0, right, bottom, 0x464D4520) + bytes(44)


def bmp(width, height, bits):
    return b"BM" + struct.pack("<IHHIIiiHHI", 54, 0, 0, 54, 40, width, height, 1, bits, 0) + bytes(20)


def png(width, height, depth, colour_type):
    return (b"\x89PNG\r\n\x1a\n" + struct.pack(">I", 13) + b"IHDR" +
            struct.pack(">IIBBBBB", width, height, depth, colour_type, 0, 0, 0) + bytes(4))


EXTENT_16 = struct.pack(">4h", 0, 0, 32767, 16383)
SAMPLES = {
    "hpgl.plt": b"IN; IP 395 0 10865 7478\r\nSC-13 1 0 32760\r\nSC-3 0 0 32760\r\nPG;\r\n",
    "hpgl2.plt": ESC + b"%0B\r\nCO: title;\r\nIN; IP 0 0 10851 7916\r\nCO\"13 2 1.2 9\";\r\nCO\"3 32\";\r\n",
    "eps.eps": b"%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 612 792\n%%EOF\n",
    "dxf.dxf": dxf("612.0", "792.0"),
    "comments.dxf": b"999\nby hand\n999\nagain\n  0\nSECTION\n",
    "svg.svg": b"<?xml version=\"1.0\"?>\n<!DOCTYPE svg SYSTEM \"\">\n<svg width=\"756\" height=\"540\">\n</svg>\n",
    "two.cgm": cgm([(0, 1, b""), (1, 17, EXTENT_16), (0, 3, b""), (0, 5, b""), (0, 3, b""), (0, 5, b""), (0, 2, b"")]),
    "three.pic": pic(b"\x60\x30\x01" + bytes(8) + b"\x60\xa8\x05abc\0\x60\xa0abcd\xa7x"),
    "draw.drw": b"Draw" + bytes(28) + struct.pack("<ii", 64000, 32000),
    "tek.tek": ESC + b"[?38h" + ESC + b"\x0c" + b"\x1d$`|(V",
    "pcl.prn": ESC + b"E" + ESC + b"&a0700h1000V" + ESC + b"*t300R" + ESC + b"*r1800s3u1A",
    "escp2.prn": ESC + b"@" + ESC + b"(G\1\0\1" + ESC + b"(U\1\0\x32" + ESC + b"r\4",
    "escp.prn": ESC + b"U\1" + ESC + b"3\x18" + ESC + b"r\4",
    "plain.wmf": b"\1\0\x09\0\0\3" + bytes(12),
    "placeable.wmf": placeable(1440),
    "enhanced.emf": enhanced(25400, 12700),
}

# Divisions, overflows and lengths past the end.
SPECIAL = {
    "zero_per_inch.wmf": placeable(0),
    "widest.emf": enhanced(2**31 - 1, -2**31),
    "escp2_unit0.prn": ESC + b"@" + ESC + b"(U\1\0\0",
    "pcl_digits.prn": ESC + b"E" + ESC + b"*t" + b"9" * 100 + b"R",
    "flat_x.cgm": cgm([(0, 1, b""), (1, 17, struct.pack(">4h", 5, 0, 5, 10)), (0, 2, b"")]),
    "flat_y.cgm": cgm([(0, 1, b""), (1, 17, struct.pack(">4h", 0, 5, 10, 5)), (0, 2, b"")]),
    "nan.cgm": cgm([(0, 1, b""), (1, 3, struct.pack(">h", 1)), (1, 17, struct.pack(">4f", 0, 0, float("nan"), 1)), (0, 2, b"")]),
    "inf.cgm": cgm([(0, 1, b""), (1, 3, struct.pack(">h", 1)), (2, 6, struct.pack(">4f", 0, 0, 1, float("inf"))), (0, 2, b"")]),
    "tiny_ratio.cgm": cgm([(0, 1, b""), (1, 3, struct.pack(">h", 1)), (1, 17, struct.pack(">4f", 0, 0, 1e-30, 1e30)), (0, 2, b"")]),
    "precision8.cgm": cgm([(0, 1, b""), (1, 4, struct.pack(">h", 8)), (1, 17, EXTENT_16), (0, 2, b"")]),
    "cgm_past_end.cgm": b"\0\x20" + struct.pack(">H", 1 * 4096 + 17 * 32 + 30) + b"\1\2",
    "cgm_long_past_end.cgm": b"\0\x20" + struct.pack(">HH", 4096 + 17 * 32 + 31, 0x7FFF) + b"\1\2",
    "cgm_endless.cgm": b"\0\x20" + struct.pack(">H", 2 * 4096 + 6 * 32 + 31) + struct.pack(">H", 0x8002) * 400,
    "cgm_40000.cgm": b"\0\x20" + struct.pack(">HH", 7 * 4096 + 2 * 32 + 31, 0x8000 | 20000) + bytes(20000) +
                     struct.pack(">H", 20000) + bytes(20000) + b"\0\xa0\0\x40",
    "pic_past_end.pic": pic(b"\x30\xff"),
    "pic_a8_unended.pic": pic(b"\x60\xa8\x01abc"),
    "pic_short.pic": bytes(pic(b""))[:16],
    "png_huge.png": png(0xFFFFFFFF, 0x80000000, 255, 3),
    "bmp_bits.bmp": bmp(-2**31, -2**31, 65535),
    "bmp_31.bmp": bmp(1, 1, 31),
    "pcx_planes.pcx": bytes([10, 5, 1, 255]) + struct.pack("<4H", 0, 0, 65535, 65535) + bytes(53) + b"\xff" + bytes(62),
    "dxf_huge.dxf": dxf("1e40", "-3e9"),
    "dxf_text.dxf": dxf("abc", "1.5.5"),
    "svg_huge.svg": b"<?xml \n<!DOCTYPE svg>\n<svg width=\"1e39\" height=\"-2147483649\">\n",
    "svg_open.svg": b"<?xml \n<!DOCTYPE svg>\n<svg width=\"12",
    "hpgl_huge.plt": b"IN; IP -2147483647 -2147483647 2147483647 2147483647\r\nSC-13 2\r\n",
    "hpgl_long_line.plt": b"IN;" + b"PD1,1;" * 16667 + b"\r\nSC-3\r\n" + b"X" * 100000,
    "hpgl2_long_line.plt": ESC + b"%0B" + b"CO\"3" + b" " * 100000 + b"\"\r\nSC-13 15\r\n",
    "ps_atend.ps": b"%!PS-Adobe-3.0\n%%BoundingBox: (atend)\n",
    "ps_one_line.ps": b"%!PS",
    "blanks.bin": b" \0 \0" * 40,
    "dxf_999_only.dxf": b"999\n" * 1000,
    "three_bytes.bin": b"IN;",
}


def variants(name, data, out):
    base, ext = os.path.splitext(name)
    for n in range(0, min(len(data), 200) + 1):
        write(out, "%s_cut%03d%s" % (base, n, ext), data[:n])
    for i in range(min(len(data), 64)):
        flipped = bytearray(data[:4096])
        flipped[i] ^= 1 << (i % 8)
        write(out, "%s_flip%02d%s" % (base, i, ext), bytes(flipped))


def write(out, name, data):
    with open(os.path.join(out, name), "wb") as f:
        f.write(data)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_detection_corpus.py OUT")
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    fixtures = os.path.join(HERE, "fixtures")
    for name in sorted(os.listdir(fixtures)):
        with open(os.path.join(fixtures, name), "rb") as f:
            variants(name, f.read(), out)
    for name, data in SAMPLES.items():
        write(out, name, data)
        variants(name, data, out)
    for name, data in SPECIAL.items():
        write(out, name, data)
    os.makedirs(os.path.join(out, "a_folder.bmp"), exist_ok=True)


if __name__ == "__main__":
    main()
