#!/usr/bin/env bash
# Benchmark of the plot-file drivers: the application's graph (seven curves of
# 201 points, axes, labels, title, legend, knot markers) written 100 times as
# PostScript and as SVG, each graph its own file, by the disabled benchmark of
# test_hardcopy under Wine (timed inside the process, Wine's start-up not
# counted), with the share of the graph and graphics layers alone (a driver
# that does nothing). The files go to a RAM-backed folder (/dev/shm) where
# there is one, so that the figures are the writers' and not the disk's.
# Prints the milliseconds per graph for each round and the medians.
#
#   bench/plot_file_bench.sh            # ROUNDS=3 by default
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
ROUNDS=${ROUNDS:-3}

"$ROOT/scripts/install-deps.sh"
source "$ROOT/scripts/host-arch.sh"
arch=$KESTROW_RUN_ARCH
build=$(kestrow_build_dir "$arch")
KESTROW_ARCH=$arch BUILD=$build "$ROOT/scripts/build.sh" >&2

base=/dev/shm
[ -d "$base" ] && [ -w "$base" ] || base=${TMPDIR:-/tmp}
work=$(mktemp -d "$base/kestrow_bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

results="$work/results.txt"
: > "$results"
for round in $(seq 1 "$ROUNDS"); do
  ( export KESTROW_ARCH=$arch BUILD=$build KESTROW_VIRTUAL_DISPLAY=1 KESTROW_BENCH_DIR="$work"
    source "$ROOT/scripts/wine-env.sh"
    wine "$build/tests/test_hardcopy.exe" --gtest_also_run_disabled_tests \
         --gtest_filter='PlotFileBench.*' ) | tr -d '\r' | sed -n "s/^bench /$round /p" >> "$results"
done

figure() { awk -v r="$1" -v n="$2" '$1 == r && $2 == n { print $3 }' "$results"; }
median() { awk -v n="$1" '$2 == n { print $3 }' "$results" | sort -g | awk '{ v[NR] = $1 } END { if (NR) print v[int((NR + 1) / 2)]; else print "-" }'; }

echo "Milliseconds per graph (files in $base, $arch build under Wine):"
printf '%-8s %14s %14s %20s\n' round PostScript SVG "layers, no driver"
for round in $(seq 1 "$ROUNDS"); do
  printf '%-8s %14s %14s %20s\n' "$round" "$(figure "$round" quillodrane-postscript)" \
    "$(figure "$round" quillodrane-svg)" "$(figure "$round" quillodrane-layers-without-driver)"
done
printf '%-8s %14s %14s %20s\n' median "$(median quillodrane-postscript)" "$(median quillodrane-svg)" \
  "$(median quillodrane-layers-without-driver)"
