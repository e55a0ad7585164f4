#!/usr/bin/env bash
# logpack on a listing of 1,000,000 lines against a plain C loop of fgets,
# sscanf and mktime over the same file (once buffered, once flushed after
# every record as logpack does), from the page cache. Lines per second, best
# of three runs, in the zone of TZ (UTC unless set).
source "$(dirname "$0")/../common/lib.sh"
LINES="${LINES:-1000000}"
export TZ="${TZ:-UTC}"
HERE="$(cd "$(dirname "$0")" && pwd)"

make -C "$ROOT" build BUILD_DIR="$BUILD" >/dev/null
gcc -O2 -o "$WORK/makelisting" "$HERE/makelisting.c"
gcc -O2 -o "$WORK/cloop" "$HERE/cloop.c"
listing="$WORK/listing-$LINES.txt"
if [[ ! -f "$listing" ]] || (($(wc -l <"$listing") != LINES)); then
    "$WORK/makelisting" "$LINES" >"$listing"
fi
cat "$listing" >/dev/null  # into the page cache

# The three must agree before they are timed.
"$BUILD/bin/logpack" "$listing" "$WORK/logpack.gpl" >/dev/null
"$WORK/cloop" "$listing" "$WORK/cloop.gpl" >/dev/null
cmp -s "$WORK/logpack.gpl" "$WORK/cloop.gpl" || { echo "outputs differ" >&2; exit 1; }

# best_cpu_seconds RUNS CMD...: the least user plus system time of RUNS runs;
# steadier than wall time on a machine shared with other work.
best_cpu_seconds() {
    local runs="$1"
    shift
    local best="" t
    for ((i = 0; i < runs; i++)); do
        /usr/bin/time -f '%U + %S' -o "$WORK/cpu.out" "$@" >/dev/null
        t=$(bc -l <"$WORK/cpu.out")
        if [[ -z "$best" ]] || (($(echo "$t < $best" | bc -l))); then best="$t"; fi
    done
    printf '%.3f' "$best"
}

rate() { echo "$LINES / $1" | bc -l | xargs printf '%.0f'; }
report() {
    local name="$1"
    shift
    local wall cpu
    wall=$(best_seconds 3 "$@")
    cpu=$(best_cpu_seconds 3 "$@")
    printf '%-34s wall %7s s %8s lines/s   cpu %7s s %8s lines/s\n' "$name" "$wall" \
        "$(rate "$wall")" "$cpu" "$(rate "$cpu")"
}
echo "listing: $LINES lines, TZ=$TZ, load: $(cut -d' ' -f1-3 /proc/loadavg)"
report "logpack" "$BUILD/bin/logpack" "$listing" "$WORK/logpack.gpl"
report "fgets+sscanf+mktime" "$WORK/cloop" "$listing" "$WORK/cloop.gpl"
report "fgets+sscanf+mktime, flush each" "$WORK/cloop" "$listing" "$WORK/cloop.gpl" flush
rm -f "$WORK/logpack.gpl" "$WORK/cloop.gpl"
