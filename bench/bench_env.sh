# Sourced by the benchmarks that run one test program of the host's own
# architecture (ROOT set): installs what is missing, builds, and leaves set
# arch, build (its build folder), base and work: a scratch folder in base, RAM
# (/dev/shm) where there is one, so that the figures are the program's and not
# the disk's; work is removed at the end.
"$ROOT/scripts/install-deps.sh"
source "$ROOT/scripts/host-arch.sh"
arch=$KESTROW_RUN_ARCH
build=$(kestrow_build_dir "$arch")
KESTROW_ARCH=$arch BUILD=$build "$ROOT/scripts/build.sh" >&2

base=/dev/shm
[ -d "$base" ] && [ -w "$base" ] || base=${TMPDIR:-/tmp}
work=$(mktemp -d "$base/kestrow_bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
