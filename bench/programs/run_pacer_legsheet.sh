#!/usr/bin/env bash
# pacer (constant-speed and measured-speed mode) and legsheet (report to
# /dev/null) against cp on a track of 10 million records, all from the page
# cache: records per second and peak memory of each.
source "$(dirname "$0")/../common/lib.sh"
RECORDS="${RECORDS:-10000000}"
RUNS="${RUNS:-3}"
build_release
track="$WORK/big.gpl"
out="$WORK/pacer-bench-out.gpl"
make_track "$RECORDS" "$track"
tools="$BUILD/bin"

# row NAME CMD...: a table row for a run over the whole track.
row() {
    local name="$1"
    shift
    rate_row "$name" "$RECORDS" records "$@"
}

echo "track: $RECORDS records ($(stat -c %s "$track") bytes), best of $RUNS runs"
row "cp" cp "$track" "$out"
row "pacer 30 mph" "$tools/pacer" "$track" "$out" 30
row "pacer measured" "$tools/pacer" "$track" "$out"
row "legsheet" "$tools/legsheet" "$track"
row "legsheet -m" "$tools/legsheet" -m "$track"
rm -f "$out"
