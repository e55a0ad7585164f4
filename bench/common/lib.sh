# Shared helpers of the benchmark scripts: a release build, synthetic tracks,
# timing from the page cache and peak memory.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
BUILD="${BUILD:-$ROOT/build}"
WORK="${WORK:-${TMPDIR:-/tmp}/tracktools-bench}"
mkdir -p "$WORK"

build_release() {
    make -C "$ROOT" build >/dev/null
}

# make_track N FILE: a synthetic track of N records (kept between runs).
make_track() {
    local n="$1" file="$2"
    if [[ ! -x "$WORK/maketrack" ]]; then
        g++ -O2 -o "$WORK/maketrack" "$ROOT/bench/common/maketrack.cpp"
    fi
    if [[ ! -f "$file" || $(stat -c %s "$file") -ne $((n * 56)) ]]; then
        "$WORK/maketrack" "$n" >"$file"
    fi
    cat "$file" >/dev/null  # into the page cache
}

# best_seconds RUNS CMD...: the fastest wall time of RUNS runs, in seconds.
best_seconds() {
    local runs="$1"
    shift
    local best="" t start end
    for ((i = 0; i < runs; i++)); do
        start=$(date +%s.%N)
        "$@" >/dev/null
        end=$(date +%s.%N)
        t=$(echo "$end - $start" | bc -l)
        if [[ -z "$best" ]] || (($(echo "$t < $best" | bc -l))); then best="$t"; fi
    done
    printf '%.3f' "$best"
}

# peak_kib CMD...: peak resident memory of one run, in KiB.
peak_kib() {
    /usr/bin/time -f '%M' -o "$WORK/time.out" "$@" >/dev/null
    cat "$WORK/time.out"
}

# rate_row NAME COUNT UNIT CMD...: one table row with the best wall time of
# RUNS runs (default 3), COUNT per second (UNIT names them) and the peak
# memory of one more run.
rate_row() {
    local name="$1" count="$2" unit="$3"
    shift 3
    local seconds kib
    seconds=$(best_seconds "${RUNS:-3}" "$@")
    kib=$(peak_kib "$@")
    printf '%-34s %8s s %14s %s/s %9s KiB peak\n' "$name" "$seconds" \
        "$(echo "$count / $seconds" | bc -l | xargs printf '%.0f')" "$unit" "$kib"
}
