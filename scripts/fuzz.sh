#!/usr/bin/env bash
# Fuzzes every reader of untrusted text or files: builds the targets of fuzz/
# natively into build-fuzz/ (clang with the address and undefined-behaviour
# sanitizers), then runs each target first over its kept regression inputs
# (fuzz/regressions/NAME/, and the large ones fuzz/make-seeds.sh makes) and
# then for SECONDS (default 20) from its seeds and the corpus it grew in
# earlier runs (build-fuzz/corpus/NAME/). Each target's line gives its runs
# and its rate (inputs a second, sanitizers included).
#   scripts/fuzz.sh [SECONDS [NAME...]]
# A crash, a sanitizer report, a failed check of the target, more than 10 s
# on one input or more than 2 GB of memory fails the target; the input is
# kept in build-fuzz/crashes/NAME/ (once fixed, add it to fuzz/regressions/NAME/).
# Exits non-zero when any target failed.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
SECONDS_EACH=${1:-20}
shift || true
"$ROOT/scripts/install-deps.sh"
BUILD=${FUZZ_BUILD:-$ROOT/build-fuzz}
if [ ! -f "$BUILD/build.ninja" ]; then
  cmake -S "$ROOT/fuzz" -B "$BUILD" -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
fi
cmake --build "$BUILD" >/dev/null
"$ROOT/fuzz/make-seeds.sh" "$BUILD/seeds"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for src in "$ROOT"/fuzz/targets/*.cpp; do targets+=("$(basename "$src" .cpp)"); done
fi

# The main thread of a Windows program has a stack of 1 MB: recursion that
# would overflow it should fail here too.
ulimit -s 1024
export ASAN_SYMBOLIZER_PATH=/usr/lib/llvm-14/bin/llvm-symbolizer
export UBSAN_OPTIONS=print_stacktrace=1
status=0
for t in "${targets[@]}"; do
  exe=$BUILD/fuzz_$t
  if [ ! -x "$exe" ]; then
    echo "== fuzz $t: no such target" >&2
    status=1
    continue
  fi
  mkdir -p "$BUILD/corpus/$t" "$BUILD/crashes/$t" "$BUILD/work/$t"
  log=$BUILD/work/$t.log
  opts=(-timeout=10 -rss_limit_mb=2048 -close_fd_mask=1 -artifact_prefix="$BUILD/crashes/$t/")
  # Run in a scratch folder: a reader may write files there (the debug log).
  cd "$BUILD/work/$t"
  kept=()
  for f in "$ROOT/fuzz/regressions/$t"/* "$BUILD/seeds/regressions/$t"/*; do [ -f "$f" ] && kept+=("$f"); done
  if [ ${#kept[@]} -gt 0 ] && ! "$exe" "${opts[@]}" "${kept[@]}" >"$log" 2>&1; then
    echo "== fuzz $t: a kept regression input FAILED:" >&2
    tail -n 30 "$log" >&2
    status=1
    continue
  fi
  if "$exe" "${opts[@]}" -max_total_time="$SECONDS_EACH" -print_final_stats=1 \
       "$BUILD/corpus/$t" "$BUILD/seeds/$t" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    rate=$(( ${runs:-0} / SECONDS_EACH ))
    echo "== fuzz $t: ${runs:-?} runs in ${SECONDS_EACH} s (${rate} a second), ${#kept[@]} regression inputs, no fault" >&2
  else
    echo "== fuzz $t: FAILED (input kept in $BUILD/crashes/$t/):" >&2
    tail -n 40 "$log" >&2
    status=1
  fi
done
exit $status
