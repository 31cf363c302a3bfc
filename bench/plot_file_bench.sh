#!/usr/bin/env bash
# Benchmark of the plot-file drivers: the application's graph (seven curves of
# 201 points, axes, labels, title, legend, knot markers) written 100 times as
# PostScript, SVG, HP-GL/2 (a colour and a black-and-white PCL kind), HP-GL
# and DXF, each graph its own file, by the disabled benchmark of
# test_hardcopy under Wine (timed inside the process, Wine's start-up not
# counted), with the share of the graph and graphics layers alone (a driver
# that does nothing). The files go to a RAM-backed folder (/dev/shm) where
# there is one, so that the figures are the writers' and not the disk's.
# Prints the median milliseconds per graph for each round and over the rounds, the
# medians of each driver's open, drawing and close apart, and the file sizes.
#
#   bench/plot_file_bench.sh            # ROUNDS=3 by default
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
ROUNDS=${ROUNDS:-3}

source "$ROOT/bench/bench_env.sh"

results="$work/results.txt"
sizes="$work/sizes.txt"
: > "$results"
for round in $(seq 1 "$ROUNDS"); do
  ( export KESTROW_ARCH=$arch BUILD=$build KESTROW_VIRTUAL_DISPLAY=1 KESTROW_BENCH_DIR="$work"
    source "$ROOT/scripts/wine-env.sh"
    wine "$build/tests/test_hardcopy.exe" --gtest_also_run_disabled_tests \
         --gtest_filter='PlotFileBench.*' ) | tr -d '\r' > "$work/out.txt"
  sed -n "s/^bench /$round /p" "$work/out.txt" >> "$results"
  sed -n 's/^bytes //p' "$work/out.txt" > "$sizes"
done

figure() { awk -v r="$1" -v n="$2" '$1 == r && $2 == n { print $3 }' "$results"; }
median() { awk -v n="$1" '$2 == n { print $3 }' "$results" | sort -g | awk '{ v[NR] = $1 } END { if (NR) print v[int((NR + 1) / 2)]; else print "-" }'; }
size() { awk -v n="$1" '$1 == n { print $2 }' "$sizes"; }

drivers="postscript svg hpgl2 hpgl2-pcl-mono hpgl dxf"
echo "Median milliseconds per graph, open to close (files in $base, $arch build under Wine):"
printf '%-8s' round
for d in $drivers; do printf ' %14s' "$d"; done
printf ' %20s\n' "layers, no driver"
for round in $(seq 1 "$ROUNDS") median; do
  printf '%-8s' "$round"
  for d in $drivers; do
    if [ "$round" = median ]; then v=$(median "quillodrane-$d"); else v=$(figure "$round" "quillodrane-$d"); fi
    printf ' %14s' "$v"
  done
  if [ "$round" = median ]; then v=$(median quillodrane-layers-without-driver); else v=$(figure "$round" quillodrane-layers-without-driver); fi
  printf ' %20s\n' "$v"
done
echo
echo "Per phase, milliseconds: the median over the rounds of each round's median graph; the file's size:"
printf '%-16s %10s %10s %10s %10s\n' driver open draw close bytes
for d in $drivers; do
  printf '%-16s %10s %10s %10s %10s\n' "$d" "$(median "quillodrane-$d-open")" "$(median "quillodrane-$d-draw")" \
    "$(median "quillodrane-$d-close")" "$(size "quillodrane-$d")"
done
