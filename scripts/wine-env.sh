# Sourced by the run and test scripts: a Wine prefix of the project's own for one
# architecture, a persistent wineserver and, where there is no display, a virtual
# one. KESTROW_ARCH (i686 or x86_64) and BUILD (its build folder) must be set.
# Leaves WINEPREFIX, WINEARCH, WINELOADER, WINESERVER, WINEDEBUG,
# WINEDLLOVERRIDES and DISPLAY exported, puts `wine` and `wineserver` of that
# architecture first on the PATH (CTest's emulator is `wine`), and registers a
# clean-up that stops what it started.
#
# The loader and server are called by their own paths: /usr/bin/wine and
# /usr/bin/wineserver pick the 32-bit files whenever wine32 is installed, even on
# a host that cannot execute them.

ROOT=${ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
: "${KESTROW_ARCH:?KESTROW_ARCH must be i686 or x86_64}"
: "${BUILD:?BUILD must name the build folder}"
case "$KESTROW_ARCH" in
  i686) export WINEARCH=win32 WINELOADER=/usr/lib/wine/wine WINESERVER=/usr/lib/wine/wineserver32 ;;
  x86_64) export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64 ;;
  *) echo "error: unknown architecture $KESTROW_ARCH" >&2; exit 1 ;;
esac
export WINEPREFIX="$BUILD/wine"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

mkdir -p "$BUILD/winebin"
printf '#!/bin/sh\nexec %s "$@"\n' "$WINELOADER" > "$BUILD/winebin/wine"
printf '#!/bin/sh\nexec %s "$@"\n' "$WINESERVER" > "$BUILD/winebin/wineserver"
chmod +x "$BUILD/winebin/wine" "$BUILD/winebin/wineserver"
export PATH="$BUILD/winebin:$PATH"

_started_xvfb=""
_wine_cleanup() {
  "$WINESERVER" -k >/dev/null 2>&1 || true
  if [ -n "$_started_xvfb" ]; then kill "$_started_xvfb" >/dev/null 2>&1 || true; fi
}
trap _wine_cleanup EXIT

if [ -z "${DISPLAY:-}" ] || [ "${KESTROW_VIRTUAL_DISPLAY:-}" = 1 ]; then
  # Xvfb picks a free display number itself and writes it to the pipe, so
  # several test runs on one machine never race for the same number.
  _fifo=$(mktemp -u)
  mkfifo "$_fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$_fifo" >/dev/null 2>&1 &
  _started_xvfb=$!
  n=""
  read -r -t 20 n <"$_fifo" || true
  rm -f "$_fifo"
  if [ -z "$n" ]; then
    echo "error: the virtual display (Xvfb) did not start" >&2
    exit 1
  fi
  export DISPLAY=":$n"
  export KESTROW_VIRTUAL_DISPLAY_USED=1
fi

mkdir -p "$BUILD"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Creating the Wine prefix in $WINEPREFIX" >&2
  if ! wine wineboot --init >/dev/null 2>&1; then
    echo "error: Wine ($WINELOADER) could not create its prefix in $WINEPREFIX" >&2
    exit 1
  fi
  wineserver -w || true
  # Liberation fonts stand in for the Windows faces, so text measures the same on every run.
  for pair in "Arial:Liberation Sans" "Times New Roman:Liberation Serif" \
              "Courier New:Liberation Mono" "MS Sans Serif:Liberation Sans" \
              "MS Shell Dlg:Liberation Sans" "MS Shell Dlg 2:Liberation Sans" \
              "Tahoma:Liberation Sans" "Lucida Console:Liberation Mono"; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "${pair%%:*}" /t REG_SZ /d "${pair#*:}" /f >/dev/null 2>&1 || true
  done
  wineserver -w || true
fi
# wineserver detaches itself once it listens, so later Wine processes find it.
wineserver -p </dev/null >/dev/null 2>&1 || true
# Start Wine's background services now, detached from our output: otherwise they
# inherit the pipes of the first test program and a runner waits on them forever.
setsid wine cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
# On the virtual display there is no window manager, and Wine would stall about
# two seconds whenever a shown, captioned window is destroyed: let Wine manage
# its windows itself there, and leave them to the desktop's manager elsewhere.
if [ -n "${KESTROW_VIRTUAL_DISPLAY_USED:-}" ]; then
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f </dev/null >/dev/null 2>&1 || true
else
  wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f </dev/null >/dev/null 2>&1 || true
fi
