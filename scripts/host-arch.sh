# Sourced by the run and test scripts after the packages are installed: finds out
# once which Windows builds this host can run under Wine and says why in one line.
# Sets KESTROW_ARCHES ("i686 x86_64" or "x86_64"), the architectures to build and
# test, and KESTROW_RUN_ARCH, the one run.sh starts. Exits non-zero, naming what
# failed, when neither Wine loader starts.

_wine_probe() { "$1" --version >/dev/null 2>&1; }

if [ -z "${KESTROW_ARCHES:-}" ]; then
  if [ -e /usr/lib/wine/wine ]; then
    _probe_out=$(/usr/lib/wine/wine --version 2>&1) && _can32=1 || _can32=0
    _probe_out="/usr/lib/wine/wine: ${_probe_out##*: }"   # e.g. "Exec format error"
  else
    _can32=0
    _probe_out="/usr/lib/wine/wine is not installed"
  fi
  if _wine_probe /usr/lib/wine/wine64; then _can64=1; else _can64=0; fi
  if [ "$_can32" = 1 ] && [ "$_can64" = 1 ]; then
    KESTROW_ARCHES="i686 x86_64"
    KESTROW_RUN_ARCH=i686
    echo "Host runs 32- and 64-bit Windows code under Wine: building and testing both (the program runs as 32-bit)." >&2
  elif [ "$_can64" = 1 ]; then
    KESTROW_ARCHES="x86_64"
    KESTROW_RUN_ARCH=x86_64
    echo "Host cannot run 32-bit code (${_probe_out}): building and testing the 64-bit program only." >&2
  elif [ "$_can32" = 1 ]; then
    KESTROW_ARCHES="i686"
    KESTROW_RUN_ARCH=i686
    echo "Host has no working 64-bit Wine (/usr/lib/wine/wine64 did not start): building and testing the 32-bit program only." >&2
  else
    echo "error: no Wine loader starts on this host: ${_probe_out}; /usr/lib/wine/wine64 did not start either; check the wine, wine32 and wine64 packages." >&2
    exit 1
  fi
  export KESTROW_ARCHES KESTROW_RUN_ARCH
fi

# The build folder of an architecture: build/ holds the 32-bit program, build64/
# its 64-bit twin (BUILD and BUILD64 name others).
kestrow_build_dir() {
  case "$1" in
    i686) echo "${BUILD:-$ROOT/build}" ;;
    x86_64) echo "${BUILD64:-$ROOT/build64}" ;;
  esac
}
