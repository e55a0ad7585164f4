#!/usr/bin/env bash
# trackinfo on a track of 10 million records from the page cache: the text
# report, the JSON report and the report page, each with records per second
# and peak memory, and the page's size. BASELINE=<trackinfo binary> adds the
# same rows for another build (the one before a change). Then the same
# SENSOR_RECORDS points as CSV, without and with heart rate, cadence and
# power, when this build reads those columns. Then, side by side in the same run,
# one track given to trackinfo as GPL records and as a GPX file to the
# summary gpxpy computes (gpxpy_summary.py, run by Debian's /usr/bin/python3
# with python3-gpxpy), at GPX_RECORDS records: gpxpy holds the whole track
# in memory, so it cannot be given the 10 million.
source "$(dirname "$0")/../common/lib.sh"
RECORDS="${RECORDS:-10000000}"
GPX_RECORDS="${GPX_RECORDS:-1000000}"
SENSOR_RECORDS="${SENSOR_RECORDS:-1000000}"
BASELINE="${BASELINE:-}"
RUNS="${RUNS:-3}"
here="$(cd "$(dirname "$0")" && pwd)"
[[ -n "${NO_BUILD:-}" ]] || build_release  # NO_BUILD=1 BUILD=dir: a build made before
tools="$BUILD/bin"

# row NAME COUNT CMD...: a table row (bench/common/lib.sh).
row() {
    rate_row "$1" "$2" records "${@:3}"
}

big="$WORK/big.gpl"
make_track "$RECORDS" "$big"
page="$WORK/trackinfo-bench.html"
echo "track: $RECORDS records ($(stat -c %s "$big") bytes), best of $RUNS runs"
row "trackinfo" "$RECORDS" "$tools/trackinfo" "$big"
row "trackinfo -json" "$RECORDS" "$tools/trackinfo" -json "$big"
row "trackinfo -html (2 passes)" "$RECORDS" "$tools/trackinfo" -html "$page" "$big"
echo "page: $(stat -c %s "$page") bytes"
if [[ -n "$BASELINE" ]]; then
    row "baseline trackinfo" "$RECORDS" "$BASELINE" "$big"
    row "baseline trackinfo -json" "$RECORDS" "$BASELINE" -json "$big"
    row "baseline trackinfo -html" "$RECORDS" "$BASELINE" -html "$page" "$big"
fi

sensors_gpl="$WORK/sensors.gpl"
make_track "$SENSOR_RECORDS" "$sensors_gpl"
for kind in plain sensors; do
    csv="$WORK/$kind.csv"
    if [[ ! -f "$csv" || "$csv" -ot "$sensors_gpl" ]]; then
        /usr/bin/python3 "$here/gpl_to_csv.py" "$sensors_gpl" "$csv" \
            $([[ $kind == sensors ]] && echo --sensors)
    fi
    cat "$csv" >/dev/null
done
echo
if "$tools/trackinfo" -json "$WORK/sensors.csv" | grep -q '"power_normalized_w": [0-9]'; then
    echo "CSV of $SENSOR_RECORDS points, without and with heart rate, cadence and power"
    row "trackinfo (CSV)" "$SENSOR_RECORDS" "$tools/trackinfo" "$WORK/plain.csv"
    row "trackinfo (CSV with sensors)" "$SENSOR_RECORDS" "$tools/trackinfo" "$WORK/sensors.csv"
    row "trackinfo -html (CSV with sensors)" "$SENSOR_RECORDS" "$tools/trackinfo" -html "$page" \
        "$WORK/sensors.csv"
else
    echo "trackinfo (CSV with sensors)  the sensor columns are not read by this build"
fi

small="$WORK/side.gpl"
gpx="$WORK/side.gpx"
make_track "$GPX_RECORDS" "$small"
if [[ ! -f "$gpx" || "$gpx" -ot "$small" ]]; then
    /usr/bin/python3 "$here/gpl_to_gpx.py" "$small" "$gpx"
fi
cat "$gpx" >/dev/null
echo
echo "side by side: $GPX_RECORDS records, $(stat -c %s "$small") bytes of GPL, $(stat -c %s "$gpx") bytes of GPX"
row "trackinfo (GPL)" "$GPX_RECORDS" "$tools/trackinfo" "$small"
if "$tools/trackinfo" "$gpx" >/dev/null 2>&1; then
    row "trackinfo (GPX)" "$GPX_RECORDS" "$tools/trackinfo" "$gpx"
else
    echo "trackinfo (GPX)              not read by this build: $("$tools/trackinfo" "$gpx" 2>&1 >/dev/null)"
fi
# gpxpy takes long enough that one run is its best.
RUNS=1 row "gpxpy summary (GPX)" "$GPX_RECORDS" /usr/bin/python3 "$here/gpxpy_summary.py" "$gpx"
rm -f "$page"
