#!/usr/bin/env bash
# Benchmark of the file-kind detection's scans: YYImageFileInfo by name with
# every word asked for (count 6) over large text and binary plot files (HP-GL
# with empty lines and with commands, HP-GL/2 lines of semicolons, SVG with
# empty lines and with path lines, DXF comment pairs, PIC opcodes, CGM
# pictures), by the disabled benchmark of test_hardcopy under Wine, in
# milliseconds per megabyte (the median of three runs, the file in the
# system's cache). The files go to a RAM-backed folder (/dev/shm) where there
# is one.
#
#   bench/file_info_bench.sh            # MB=64 by default
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
MB=${MB:-64}

source "$ROOT/bench/bench_env.sh"

( export KESTROW_ARCH=$arch BUILD=$build KESTROW_VIRTUAL_DISPLAY=1 KESTROW_BENCH_DIR="$work" KESTROW_BENCH_MB="$MB"
  source "$ROOT/scripts/wine-env.sh"
  wine "$build/tests/test_hardcopy.exe" --gtest_also_run_disabled_tests \
       --gtest_filter='FileInfoBench.*' ) | tr -d '\r' > "$work/out.txt"
echo "File-kind detection, count 6, files of $MB MB in $base ($arch build under Wine):"
sed -n 's/^bench \([^ ]*\) \(.*\)$/\1 \2/p' "$work/out.txt" | while read -r name value; do
  printf '%-24s %10s ms per MB\n' "$name" "$value"
done
grep -q '^\[  FAILED' "$work/out.txt" && { grep -A3 'Failure' "$work/out.txt" >&2; exit 1; }
exit 0
