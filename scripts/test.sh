#!/usr/bin/env bash
# Builds everything and runs every test under Wine on a virtual display.
# Installs whatever is missing first. Exits non-zero when anything fails.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${BUILD:-$ROOT/build}
"$ROOT/scripts/install-deps.sh"
"$ROOT/scripts/build.sh"
"$ROOT/scripts/printer-setup.sh"
KESTROW_VIRTUAL_DISPLAY=1
source "$ROOT/scripts/wine-env.sh"
# GUI tests share one display and the focus: run the programs one at a time.
ctest --test-dir "$BUILD" --output-on-failure "$@"
