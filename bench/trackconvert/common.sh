# What the trackconvert benchmarks share: the release build, and one table
# row per command with its best wall time, its rate and its peak memory.
source "$(dirname "${BASH_SOURCE[0]}")/../common/lib.sh"
RUNS="${RUNS:-3}"
PYTHON="${PYTHON:-/usr/bin/python3}"  # Debian's, where python3-gpxpy is
build_release
trackconvert="$BUILD/bin/trackconvert"

# row NAME COUNT CMD...: a table row (bench/common/lib.sh).
row() {
    rate_row "$1" "$2" points "${@:3}"
}

# have TOOL: true when TOOL can run; says so when it cannot.
have() {
    if "$@" >/dev/null 2>&1; then
        return 0
    fi
    echo "(not measured: '$*' does not run here)"
    return 1
}
