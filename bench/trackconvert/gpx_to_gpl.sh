#!/usr/bin/env bash
# A GPX file of 1,000,000 track points (written by trackconvert from the
# synthetic track of bench/common, with elevation, times and a
# TrackPointExtension on every point) converted to GPL, side by side in one
# run with GDAL's ogr2ogr (the same file to CSV of its track points) and
# gpxpy parsing it. Then 10 times the points, for trackconvert's memory.
# Points per second (best of RUNS wall times, from the page cache) and peak
# memory.
source "$(dirname "$0")/common.sh"
POINTS="${POINTS:-1000000}"

# gpx_of N: the GPX file of the synthetic track of N points, made once.
gpx_of() {
    local n="$1" gpl="$WORK/track-$1.gpl" gpx="$WORK/track-$1.gpx"
    make_track "$n" "$gpl"
    if [[ ! -f "$gpx" || "$gpx" -ot "$trackconvert" ]]; then
        "$trackconvert" "$gpl" "$gpx" >/dev/null
    fi
    cat "$gpx" >/dev/null  # into the page cache
    echo "$gpx"
}

gpx=$(gpx_of "$POINTS")
out="$WORK/gpx-bench"
mkdir -p "$out"
echo "GPX: $POINTS points, $(stat -c %s "$gpx") bytes; best of $RUNS runs"
row "trackconvert GPX -> GPL" "$POINTS" "$trackconvert" "$gpx" "$out/track.gpl"
[[ $(stat -c %s "$out/track.gpl") -eq $((POINTS * 56)) ]] || echo "trackconvert wrote a wrong count"
if have ogr2ogr --version; then
    # ogr2ogr will not write over a CSV file: each run starts without one.
    row "ogr2ogr GPX -> CSV (track_points)" "$POINTS" \
        bash -c 'rm -f "$1"; exec ogr2ogr -f CSV "$1" "$2" track_points' - "$out/points.csv" "$gpx"
fi
if have "$PYTHON" -c "import gpxpy"; then
    row "gpxpy parse" "$POINTS" "$PYTHON" -c "import gpxpy, sys
gpx = gpxpy.parse(open(sys.argv[1]))
print(sum(len(s.points) for t in gpx.tracks for s in t.segments))" "$gpx"
fi

big=$(gpx_of $((POINTS * 10)))
echo "GPX: $((POINTS * 10)) points, $(stat -c %s "$big") bytes; best of 1 run"
RUNS=1 row "trackconvert GPX -> GPL (10x)" $((POINTS * 10)) "$trackconvert" "$big" "$out/big.gpl"
rm -f "$out/big.gpl"
