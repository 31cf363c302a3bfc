#!/usr/bin/env bash
# Writes the metafile fixtures of the hardcopy tests with LibreOffice (a
# writer of metafiles nobody here wrote): a 200 x 100 scene, its left half
# red and its right half blue, as an enhanced metafile and as a placeable
# Windows metafile. Needs soffice (Debian's libreoffice-draw); the files are
# committed, so the tests themselves do not need it.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
OUT="$ROOT/tests/hardcopy/fixtures"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cat > "$WORK/scene_libreoffice.svg" <<'SVG'
<svg xmlns="http://www.w3.org/2000/svg" width="200" height="100" viewBox="0 0 200 100">
  <rect x="0" y="0" width="100" height="100" fill="#ff0000"/>
  <rect x="100" y="0" width="100" height="100" fill="#0000ff"/>
</svg>
SVG
for kind in emf wmf; do
  HOME="$WORK" soffice --headless --convert-to "$kind" --outdir "$WORK" "$WORK/scene_libreoffice.svg" >/dev/null
  cp "$WORK/scene_libreoffice.$kind" "$OUT/"
done
