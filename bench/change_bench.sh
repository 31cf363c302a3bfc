#!/usr/bin/env bash
# Benchmark of the application's change path: the disabled benchmark of
# test_app under Wine on the virtual display, in-process (Wine's start-up not
# counted), on each architecture the host runs. It sets the application up as
# its main program does (main dialog, plot window, first graph) and prints min
# / median / max milliseconds over 300 repetitions (after 50 uncounted) of the
# tabulation with its four files, the formatter alone (the 608 records in
# memory), the redraw alone, the dialog's controls read, the parameter log
# written and the whole change as the event loop runs it; then a soak of
# 10,000 whole changes (KESTROW_BENCH_SOAK changes where it is set) with the
# process's private bytes, live GDI objects and windows before and after. The
# files go to a RAM-backed folder (/dev/shm) where there is one, so that the
# figures are the program's and not the disk's.
#
#   bench/change_bench.sh
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)

"$ROOT/scripts/install-deps.sh"
source "$ROOT/scripts/host-arch.sh"
base=/dev/shm
[ -d "$base" ] && [ -w "$base" ] || base=${TMPDIR:-/tmp}
work=$(mktemp -d "$base/kestrow_bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

# Every architecture the host runs, the program's own (32-bit) first.
for arch in $KESTROW_ARCHES; do
  build=$(kestrow_build_dir "$arch")
  KESTROW_ARCH=$arch BUILD=$build "$ROOT/scripts/build.sh" >&2
  echo "== $arch"
  ( export KESTROW_ARCH=$arch BUILD=$build KESTROW_VIRTUAL_DISPLAY=1 KESTROW_BENCH_DIR="$work"
    source "$ROOT/scripts/wine-env.sh"
    cd "$build"
    wine tests/test_app.exe --gtest_also_run_disabled_tests --gtest_filter='ChangeBench.*' ) |
    tr -d '\r' | sed -n 's/^\(bench\|soak\) //p'
done
