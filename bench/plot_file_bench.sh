#!/usr/bin/env bash
# Benchmark of the PostScript and SVG plot-file drivers against PLplot.
#
# The application's graph (seven curves of 201 points, axes, labels, title,
# legend, knot markers) is written 100 times as PostScript and as SVG, each
# graph its own file:
#   - by the project's drivers 2 and 3, through the disabled benchmark of
#     test_hardcopy under Wine (timed inside the process, Wine's start-up
#     not counted);
#   - by a small native PLplot program (bench/plplot_graph.c, devices psc and
#     svg), built here; it is test tooling, not part of the program.
# Both read and write in one folder: a RAM-backed one (/dev/shm) where there
# is one, so that the figures are the writers' and not the disk's (a disk
# that discards freed blocks spends milliseconds truncating a file). Three
# rounds; prints the milliseconds per graph side by side and the medians.
#
#   bench/plot_file_bench.sh            # ROUNDS=3 REPEATS=100 by default
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
ROUNDS=${ROUNDS:-3}
REPEATS=${REPEATS:-100}

"$ROOT/scripts/install-deps.sh"
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi
for p in libplplot-dev pkg-config gcc; do
  if ! have "$p"; then
    echo "Installing $p" >&2
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "$p" >/dev/null
  fi
done

source "$ROOT/scripts/host-arch.sh"
arch=$KESTROW_RUN_ARCH
build=$(kestrow_build_dir "$arch")
KESTROW_ARCH=$arch BUILD=$build "$ROOT/scripts/build.sh" >&2

base=/dev/shm
[ -d "$base" ] && [ -w "$base" ] || base=${TMPDIR:-/tmp}
work=$(mktemp -d "$base/kestrow_bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

cc -O2 -std=c11 -Wall -Wextra "$ROOT/bench/plplot_graph.c" $(pkg-config --cflags --libs plplot) -lm \
   -o "$work/plplot_graph"

results="$work/results.txt"
: > "$results"
for round in $(seq 1 "$ROUNDS"); do
  # The project's benchmark writes the application's result files into the
  # folder first; the PLplot program reads its curves from there.
  ( export KESTROW_ARCH=$arch BUILD=$build KESTROW_VIRTUAL_DISPLAY=1 KESTROW_BENCH_DIR="$work"
    source "$ROOT/scripts/wine-env.sh"
    wine "$build/tests/test_hardcopy.exe" --gtest_also_run_disabled_tests \
         --gtest_filter='PlotFileBench.*' ) | tr -d '\r' | sed -n "s/^bench /$round /p" >> "$results"
  "$work/plplot_graph" "$work/Kestrow_splines.txt" "$work" "$REPEATS" | sed -n "s/^bench /$round /p" >> "$results"
done

figure() { awk -v r="$1" -v n="$2" '$1 == r && $2 == n { print $3 }' "$results"; }
median() { awk -v n="$1" '$2 == n { print $3 }' "$results" | sort -g | awk '{ v[NR] = $1 } END { if (NR) print v[int((NR + 1) / 2)]; else print "-" }'; }

echo "Milliseconds per graph ($REPEATS graphs per figure, files in $base, $arch build under Wine):"
printf '%-8s %16s %16s %16s %16s %20s\n' round "Quillodrane PS" "PLplot psc" "Quillodrane SVG" "PLplot svg" "layers, no driver"
for round in $(seq 1 "$ROUNDS"); do
  printf '%-8s %16s %16s %16s %16s %20s\n' "$round" \
    "$(figure "$round" quillodrane-postscript)" "$(figure "$round" plplot-psc)" \
    "$(figure "$round" quillodrane-svg)" "$(figure "$round" plplot-svg)" \
    "$(figure "$round" quillodrane-layers-without-driver)"
done
printf '%-8s %16s %16s %16s %16s %20s\n' median \
  "$(median quillodrane-postscript)" "$(median plplot-psc)" \
  "$(median quillodrane-svg)" "$(median plplot-svg)" "$(median quillodrane-layers-without-driver)"
