#!/usr/bin/env bash
# Reading GPX through the XML scanner: a Garmin-style file of POINTS points
# with elevation, time, heart rate and cadence, and a plain file of about
# PLAIN_BYTES bytes (both written by make_gpx.py, kept between runs), each
# read side by side in one run by trackconvert (GPX to GPL), trackinfo,
# expat alone (expat_only.cpp: the ceiling of reading through expat) and
# GDAL's ogr2ogr (the track points to CSV). Megabytes per second (best of
# RUNS wall times, from the page cache) and peak memory.
source "$(dirname "$0")/../common/lib.sh"
POINTS="${POINTS:-1000000}"
PLAIN_BYTES="${PLAIN_BYTES:-100000000}"
RUNS="${RUNS:-3}"
here="$(cd "$(dirname "$0")" && pwd)"
build_release
tools="$BUILD/bin"

expat_only="$WORK/expat_only"
if [[ ! -x "$expat_only" || "$expat_only" -ot "$here/expat_only.cpp" ]]; then
    g++ -O2 -o "$expat_only" "$here/expat_only.cpp" -lexpat
fi

# gpx_file KIND AMOUNT: the file make_gpx.py writes, made once.
gpx_file() {
    local file="$WORK/xml-$1-$2.gpx"
    if [[ ! -f "$file" ]]; then
        /usr/bin/python3 "$here/make_gpx.py" "$1" "$2" "$file"
    fi
    cat "$file" >/dev/null  # into the page cache
    echo "$file"
}

out="$WORK/xml-bench"
mkdir -p "$out"
for kind in garmin plain; do
    if [[ $kind == garmin ]]; then
        gpx=$(gpx_file garmin "$POINTS")
    else
        gpx=$(gpx_file plain "$PLAIN_BYTES")
    fi
    bytes=$(stat -c %s "$gpx")
    megabytes=$(echo "$bytes / 1000000" | bc -l)
    echo "$kind GPX: $bytes bytes, $(grep -c '<trkpt' "$gpx") points; best of $RUNS runs"
    rate_row "trackconvert GPX -> GPL" "$megabytes" MB "$tools/trackconvert" "$gpx" "$out/track.gpl"
    rate_row "trackinfo" "$megabytes" MB "$tools/trackinfo" "$gpx"
    rate_row "expat alone" "$megabytes" MB "$expat_only" "$gpx"
    if ogr2ogr --version >/dev/null 2>&1; then
        # ogr2ogr will not write over a CSV file: each run starts without one.
        rate_row "ogr2ogr GPX -> CSV (track_points)" "$megabytes" MB \
            bash -c 'rm -f "$1"; exec ogr2ogr -f CSV "$1" "$2" track_points' - "$out/points.csv" "$gpx"
    else
        echo "(ogr2ogr not measured: it does not run here)"
    fi
    echo
done
rm -f "$out/track.gpl" "$out/points.csv"
