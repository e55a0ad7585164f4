#!/usr/bin/env bash
# trailview on a track of 10 million records (560 MB, from the page cache)
# with the scene going to /dev/null: vertices per second, and peak memory on
# that track and on a track of 18 records.
source "$(dirname "$0")/../common/lib.sh"
RECORDS="${RECORDS:-10000000}"
RUNS="${RUNS:-3}"
build_release
track="$WORK/big.gpl"
make_track "$RECORDS" "$track"
make_track 18 "$WORK/small.gpl"
trailview="$BUILD/bin/trailview"

# Runs of one place are drawn once, so vertices are fewer than records.
scene_bytes=$("$trailview" "$track" | wc -c)
vertices=$("$trailview" "$track" | grep -c $',\t# ')
seconds=$(best_seconds "$RUNS" "$trailview" "$track")
echo "track: $RECORDS records ($(stat -c %s "$track") bytes), $vertices vertices," \
    "scene $scene_bytes bytes; best of $RUNS runs"
printf 'trailview: %s s  %s vertices/s  %s records/s\n' "$seconds" \
    "$(echo "$vertices / $seconds" | bc -l | xargs printf '%.0f')" \
    "$(echo "$RECORDS / $seconds" | bc -l | xargs printf '%.0f')"
echo "trailview peak memory: $(peak_kib "$trailview" "$WORK/small.gpl") KiB on 18 records," \
    "$(peak_kib "$trailview" "$track") KiB on $RECORDS records"
