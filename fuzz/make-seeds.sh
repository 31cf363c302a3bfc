#!/usr/bin/env bash
# Writes the seed corpora of the fuzz targets into OUT/NAME/ (OUT is the
# first argument): a few valid inputs of each reader, from which the fuzzer
# mutates. The image reader starts from the test fixtures (files written by
# independent tools). Regression inputs too large to keep in the repository
# are made into OUT/regressions/NAME/, where scripts/fuzz.sh runs them beside
# fuzz/regressions/NAME/.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
OUT=${1:?usage: make-seeds.sh OUT}
rm -rf "$OUT"
for t in image_reader formatter number_parsers config_file dialog_extras compression metafile_headers csv_fields \
         image_file_info; do
  mkdir -p "$OUT/$t"
done

cp "$ROOT"/tests/hardcopy/fixtures/*.bmp "$ROOT"/tests/hardcopy/fixtures/*.pcx \
   "$ROOT"/tests/hardcopy/fixtures/*.png "$OUT/image_reader/"

# Formatter: the format, a NUL, then items (kind 0 integer, 1 double, 2 float
# with their little-endian bytes, 3 a length byte and text).
seed() { printf "$2" > "$OUT/$1/$3"; }
third='\x01\x55\x55\x55\x55\x55\x55\xd5\x3f' # 1/3 as a double item
seed formatter "(ES25.15E3)\0$third" es
seed formatter "(1X,ES25.15E3,2(1X,G15.5E2))\0$third$third\x01\x00\x00\x00\x00\x00\x00\xf0\x7f" rows
seed formatter "(I11)\0\x00\x2a\x00\x00\x00\x00\x00\x00\x00" i11
seed formatter "(I2.2,':',F10.1,2PE12.3)\0\x00\x07\x00\x00\x00\x00\x00\x00\x00$third\x02\x00\x00\xc0\x3f" mixed
seed formatter "(A,TR3,'x''y',T2,A5,TL1,3X,\"q\"/)\0\x03\x03abc\x03\x07longest" text
seed formatter "(3(I3,:,','),/,(2F6.2))\0\x00\x01\x00\x00\x00\x00\x00\x00\x00$third$third$third" groups

# Number parsers: one token each, with the forms the parsers know.
for t in "1.5" "  -2.5E-3 rest" "1,5" "1.0+100" "2.5D3" "0E9999" "42" ".25e+7" \
         "1.5.2" "-1.5-100" "123456789012345678901234567890.5" "0.000000000000000000001E-300"; do
  printf '%s' "$t" > "$OUT/number_parsers/$(printf '%s' "$t" | cksum | cut -d' ' -f1)"
done

# Configuration file.
seed config_file 'DEBUG = 2\nCHARDIR = C:\\fonts\\ \nCHARSET=standard.chr\r\nLFNGEN=41\nLFNPLOTI = 43\nPRINTER=1\nPLOTTER=2\nHPGL2=1\nVERSION\n' ini
seed config_file 'ver=\n=x\nab=1\nDEBUG=abc\nLFNGEN=42\n' odd

# Dialog extras: every section.
seed dialog_extras '[Ranges] \n 322 10 50 \n 323 -5.5 2E1 \n[Menus] \n 319 3 2 \nfirst \n  second item   \nthird \n[Checks] \n 314 1 \n[Tabs] \n 321 2 352 \n 351 Page one \n 352 Page two \n[Grids] \n 399 2 2 0 \n[Colours] \n 301 255 0 0 256 256 256 \n[Trackbars] \n 323 5 2 4 1 3 \n[Lengths] \n 304 20 \n[Dialog] \n 1 1033 2 \n[Formats] \n 307 (F10.1) \n[Treeviews] \n 324 700 712 \n[Fonts] \n 301 12 Arial, 700 1 \n[Flags] \n 320 1 \n\0\0' all
seed dialog_extras '[Ranges] \n 1021               0             100 \n[Fonts] \n 1029   10 MS Sans Serif, 700 0 \n[Formats] \n\0\0' program

# Compression: two bytes of capacity, then a zlib stream.
seed compression '\x00\x01\x78\xda\xcb\x48\xcd\xc9\xc9\x57\xc8\x40\x27\xb9\x00\x70\xbe\x08\xbb' hello
seed compression '\x00\x01\x78\xda\x63\x60\x64\x62\x66\x61\x65\x63\xe7\xe0\xe4\xe2\xe6\xe1\xe5\xe3\x17\x10\x14\x12\x16\x11\x15\x13\x97\x90\x94\x92\x96\x91\x95\x93\x57\x50\x54\x52\x56\x51\x55\x53\xd7\xd0\xd4\xd2\xd6\xd1\xd5\xd3\x37\x30\x34\x32\x36\x31\x35\x33\xb7\xb0\xb4\xb2\xb6\xb1\xb5\xb3\x67\x18\xe2\xfa\x01\x7c\x52\x1f\x81' bytes

# Metafile headers: a placeable header before a plain metafile header, and an
# enhanced metafile.
seed metafile_headers '\xd7\xcd\xc6\x9a\x00\x00\x00\x00\x00\x00\x04\x29\x4c\x1d\xe8\x03\x00\x00\x00\x00\xb1\x60\x01\x00\x09\x00\x00\x03\x20\x00\x00\x00\x01\x00\x08\x00\x00\x00\x00\x00' placeable
cp "$ROOT"/tests/dialogs/picture.emf "$OUT/metafile_headers/"

# Comma-separated text: the first byte picks the chunk size and field limit.
seed csv_fields '\x10name,"a ""quoted"" one",3.5\r\n"multi\nline",,\n' quoted
seed csv_fields '\x03a,b\nc,"d,e"\r\n"unclosed' short

# File kind detection: the image fixtures and a sample of every other kind,
# with the division and overflow cases, from the detection tests' corpus
# script (without its cut and bit-flipped variants, which the fuzzer makes).
python3 "$ROOT/tests/hardcopy/make_detection_corpus.py" "$OUT/image_file_info.all"
find "$OUT/image_file_info.all" -maxdepth 1 -type f ! -name '*_cut*' ! -name '*_flip*' \
  -exec cp {} "$OUT/image_file_info/" \;
cp "$ROOT"/tests/hardcopy/fixtures/* "$OUT/image_file_info/"
rm -rf "$OUT/image_file_info.all"

# Large regression inputs of the file kind detection: text plot files whose
# scans once cost about 256 operations per line, and lines far longer than
# the 128 characters a scan keeps. Each must be read in well under the fuzz
# run's 10 s per input.
python3 - "$OUT/regressions/image_file_info" <<'PY'
import os, sys
out = sys.argv[1]
os.makedirs(out, exist_ok=True)
files = {
    "hpgl-empty-lines": b"IN;\n" + b"\n" * 1500000,
    "hpgl2-semicolon-lines": b"\x1b%0BIN;\n" + (b";" * 127 + b"\n") * 12000,
    "svg-empty-lines": b'<?xml version="1.0"?>\n<!DOCTYPE svg>\n' + b"\n" * 1500000,
    "dxf-comment-pairs": b"999\nx\n" * 200000,
    "postscript-long-line": b"%!PS-Adobe-3.0\n" + b" " * 1500000 + b"\n%%BoundingBox: 0 0 1 1\n",
}
for name, data in files.items():
    with open(os.path.join(out, name), "wb") as f:
        f.write(data)
PY
