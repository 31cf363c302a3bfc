#!/usr/bin/env bash
# Builds everything and runs every test under Wine on a virtual display, for each
# architecture this host can run (both where it can run 32-bit code, else the
# 64-bit build alone). Installs whatever is missing first. Arguments go to CTest
# (e.g. -R dialogs). Exits non-zero when anything fails.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
"$ROOT/scripts/install-deps.sh"
source "$ROOT/scripts/host-arch.sh"
"$ROOT/scripts/printer-setup.sh"
status=0
# The font generator's own tests; the committed glyph data must be what it
# makes of its sources.
if ! /usr/bin/python3 -m unittest discover -s "$ROOT/tools/fontgen" -p 'test_*.py' ||
   ! /usr/bin/python3 "$ROOT/tools/fontgen/fontgen.py" --check; then
  echo "== the font generator's tests or --check FAILED" >&2
  status=1
fi
for arch in $KESTROW_ARCHES; do
  build=$(kestrow_build_dir "$arch")
  echo "== $arch: building in $build" >&2
  KESTROW_ARCH=$arch BUILD=$build "$ROOT/scripts/build.sh"
  echo "== $arch: testing" >&2
  # Each architecture in its own shell: its own prefix, server and display,
  # stopped when the shell ends.
  if ! ( KESTROW_ARCH=$arch BUILD=$build KESTROW_VIRTUAL_DISPLAY=1
         source "$ROOT/scripts/wine-env.sh"
         # GUI tests share one display and the focus: run the programs one at a time.
         ctest --test-dir "$build" --output-on-failure "$@" ); then
    echo "== $arch: tests FAILED" >&2
    status=1
  fi
done
# The whole suite also fuzzes every reader of untrusted input for a while.
if [ $# -eq 0 ] && ! "$ROOT/scripts/fuzz.sh" 20; then
  status=1
fi
exit $status
