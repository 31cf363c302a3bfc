#!/usr/bin/env bash
# Builds the program and starts it in ./run (where it writes its files): the
# 32-bit program where the host can run it, else its 64-bit twin. Without a
# display it runs on a virtual one and saves a screenshot. Exits non-zero, saying
# why, when the program did not start or ended with an error.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
"$ROOT/scripts/install-deps.sh"
source "$ROOT/scripts/host-arch.sh"
KESTROW_ARCH=$KESTROW_RUN_ARCH
BUILD=$(kestrow_build_dir "$KESTROW_ARCH")
KESTROW_ARCH=$KESTROW_ARCH BUILD=$BUILD "$ROOT/scripts/build.sh" --target kestrow
source "$ROOT/scripts/wine-env.sh"
EXE="$BUILD/bin/Kestrow.exe"
echo "Starting $EXE ($KESTROW_ARCH)" >&2
RUNDIR="$ROOT/run"
mkdir -p "$RUNDIR"
cd "$RUNDIR"
if [ -z "${KESTROW_VIRTUAL_DISPLAY_USED:-}" ]; then
  set +e
  wine "$EXE"
  rc=$?
  set -e
  if [ "$rc" != 0 ]; then echo "error: the program ended with exit code $rc" >&2; fi
  exit $rc
fi

wine "$EXE" &
pid=$!
# Wait until the dialog shows (or the program has ended), then photograph the screen.
shown=0
for _ in $(seq 1 300); do
  if ! kill -0 "$pid" 2>/dev/null; then break; fi
  if xdotool search --name "Kestrow splines" >/dev/null 2>&1; then shown=1; sleep 1; break; fi
  sleep 0.1
done
if [ "$shown" = 0 ]; then
  if kill -0 "$pid" 2>/dev/null; then
    echo "error: the program did not show its dialog within 30 s" >&2
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    exit 1
  fi
  set +e; wait "$pid"; rc=$?; set -e
  echo "error: the program ended before showing its dialog (exit code $rc); no screenshot taken" >&2
  exit $(( rc == 0 ? 1 : rc ))
fi
shot="$RUNDIR/screenshot.png"
rm -f "$shot"
import -window root -display "$DISPLAY" "$shot" 2>/dev/null || xwd -root -display "$DISPLAY" | convert xwd:- "$shot" 2>/dev/null || true
if [ -s "$shot" ]; then
  echo "Screenshot: $shot"
else
  echo "warning: the screenshot could not be taken" >&2
fi
echo "Result files: $RUNDIR"
if kill -0 "$pid" 2>/dev/null; then
  if [ -t 0 ]; then
    echo "The program runs on the virtual display $DISPLAY; press Enter to end it." >&2
    read -r _
  fi
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
else
  set +e; wait "$pid"; rc=$?; set -e
  echo "The program ended with exit code $rc."
  exit $rc
fi
