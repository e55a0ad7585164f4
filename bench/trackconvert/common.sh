# What the trackconvert benchmarks share: the release build, and one table
# row per command with its best wall time, its rate and its peak memory.
source "$(dirname "${BASH_SOURCE[0]}")/../common/lib.sh"
RUNS="${RUNS:-3}"
PYTHON="${PYTHON:-/usr/bin/python3}"  # Debian's, where python3-gpxpy is
build_release
trackconvert="$BUILD/bin/trackconvert"

# row NAME COUNT CMD...: best wall time of RUNS runs, COUNT per second, peak memory.
row() {
    local name="$1" count="$2"
    shift 2
    local seconds kib
    seconds=$(best_seconds "$RUNS" "$@")
    kib=$(peak_kib "$@")
    printf '%-34s %8s s %12s points/s %9s KiB peak\n' "$name" "$seconds" \
        "$(echo "$count / $seconds" | bc -l | xargs printf '%.0f')" "$kib"
}

# have TOOL: true when TOOL can run; says so when it cannot.
have() {
    if "$@" >/dev/null 2>&1; then
        return 0
    fi
    echo "(not measured: '$*' does not run here)"
    return 1
}
