#!/usr/bin/env bash
# Configures and builds everything (library, application, tests) for one
# architecture: KESTROW_ARCH=i686 (default) into build/, x86_64 into build64/
# (BUILD names another folder). Extra arguments go to the build tool.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
KESTROW_ARCH=${KESTROW_ARCH:-i686}
case "$KESTROW_ARCH" in
  i686) BUILD=${BUILD:-$ROOT/build} ;;
  x86_64) BUILD=${BUILD:-$ROOT/build64} ;;
  *) echo "error: unknown architecture $KESTROW_ARCH" >&2; exit 1 ;;
esac
if [ ! -f "$BUILD/build.ninja" ]; then
  cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw-$KESTROW_ARCH.cmake" >/dev/null
fi
cmake --build "$BUILD" "$@"
