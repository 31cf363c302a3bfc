#!/usr/bin/env bash
# Builds the program and starts it in ./run (where it writes its files).
# Without a display it runs on a virtual one and saves a screenshot.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${BUILD:-$ROOT/build}
"$ROOT/scripts/install-deps.sh"
"$ROOT/scripts/build.sh" --target kestrow
source "$ROOT/scripts/wine-env.sh"
RUNDIR="$ROOT/run"
mkdir -p "$RUNDIR"
cd "$RUNDIR"
if [ -z "${KESTROW_VIRTUAL_DISPLAY_USED:-}" ]; then
  wine "$BUILD/bin/Kestrow.exe"
  exit $?
fi
wine "$BUILD/bin/Kestrow.exe" &
pid=$!
# Wait until the dialog shows (or the program has ended), then photograph the screen.
for _ in $(seq 1 300); do
  if ! kill -0 "$pid" 2>/dev/null; then break; fi
  if xdotool search --name "Kestrow splines" >/dev/null 2>&1; then sleep 1; break; fi
  sleep 0.1
done
shot="$RUNDIR/screenshot.png"
import -window root -display "$DISPLAY" "$shot" 2>/dev/null || xwd -root -display "$DISPLAY" | convert xwd:- "$shot"
echo "Screenshot: $shot"
echo "Result files: $RUNDIR"
if kill -0 "$pid" 2>/dev/null; then
  if [ -t 0 ]; then
    echo "The program runs on the virtual display $DISPLAY; press Enter to end it." >&2
    read -r _
  fi
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
else
  wait "$pid"; rc=$?
  echo "The program ended with exit code $rc."
  exit $rc
fi
