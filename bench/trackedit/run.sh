#!/usr/bin/env bash
# trackedit on a drive of 10 million points (bench/trackedit/makedrive.cpp)
# from the page cache, into /dev/null: -simplify 5, and -hide with three
# zones, each with points per second and peak memory. Then, side by side on
# a drive of 1 million points as GPX, gpxpy's simplify (Debian's
# python3-gpxpy, run by /usr/bin/python3) and trackedit -simplify with the
# same tolerance: the points kept, the time, and how far the farthest point
# dropped lies from its line; and what trackedit keeps for the bound that
# gpxpy's result really has.
# NO_BUILD=1 uses the build in BUILD as it is.
source "$(dirname "$0")/../common/lib.sh"
RECORDS="${RECORDS:-10000000}"
GPX_RECORDS="${GPX_RECORDS:-1000000}"
TOLERANCE="${TOLERANCE:-5}"
RUNS="${RUNS:-3}"
here="$(cd "$(dirname "$0")" && pwd)"
[[ -n "${NO_BUILD:-}" ]] || build_release
tools="$BUILD/bin"

# make_drive N FILE: the synthetic drive (kept between runs).
make_drive() {
    if [[ ! -x "$WORK/makedrive" || "$WORK/makedrive" -ot "$here/makedrive.cpp" ]]; then
        g++ -O2 -o "$WORK/makedrive" "$here/makedrive.cpp"
    fi
    if [[ ! -f "$2" || $(stat -c %s "$2") -ne $(($1 * 56)) ]]; then
        "$WORK/makedrive" "$1" >"$2"
    fi
    cat "$2" >/dev/null
}
# place FILE N: "latitude,longitude" of record N.
place() {
    od -An -tf8 -j $(($2 * 56 + 8)) -N16 "$1" | awk '{ printf "%.7f,%.7f", $1, $2 }'
}
# kept ARGS...: the points trackedit writes.
kept() {
    "$tools/trackedit" "$@" | sed -n 's/^Wrote \([0-9]*\) data points\.$/\1/p'
}

big="$WORK/drive-$RECORDS.gpl"
make_drive "$RECORDS" "$big"
echo "drive: $RECORDS points ($(stat -c %s "$big") bytes of GPL), best of $RUNS runs"
rate_row "trackedit -simplify $TOLERANCE" "$RECORDS" points \
    "$tools/trackedit" -simplify "$TOLERANCE" "$big" /dev/null
echo "  kept: $(kept -simplify "$TOLERANCE" "$big" /dev/null) points"
zones=()
for n in 1000 $((RECORDS / 2)) $((RECORDS - 1000)); do
    zones+=(-hide "$(place "$big" "$n"),500")
done
rate_row "trackedit -hide (three zones)" "$RECORDS" points "$tools/trackedit" "${zones[@]}" "$big" /dev/null
echo "  zones: ${zones[*]}"

small="$WORK/drive-$GPX_RECORDS.gpl"
gpx="$WORK/drive-$GPX_RECORDS.gpx"
make_drive "$GPX_RECORDS" "$small"
if [[ ! -f "$gpx" || "$gpx" -ot "$small" ]]; then
    "$tools/trackconvert" "$small" "$gpx" >/dev/null
fi
cat "$gpx" >/dev/null
echo
echo "side by side: $GPX_RECORDS points, $(stat -c %s "$gpx") bytes of GPX, tolerance $TOLERANCE m"
read -r gpxpy_kept gpxpy_parse gpxpy_simplify gpxpy_worst gpxpy_beyond \
    < <(/usr/bin/python3 "$here/gpxpy_simplify.py" "$gpx" "$TOLERANCE")
whole=$(best_seconds "$RUNS" "$tools/trackedit" -simplify "$TOLERANCE" "$gpx" "$WORK/simplified.gpx")
# The simplification alone: the run on the GPL track less a plain copy.
edited=$(best_seconds "$RUNS" "$tools/trackedit" -simplify "$TOLERANCE" "$small" /dev/null)
copied=$(best_seconds "$RUNS" "$tools/trackedit" "$small" /dev/null)
alone=$(echo "$edited - $copied" | bc -l)
ours=$(kept -simplify "$TOLERANCE" "$gpx" "$WORK/simplified.gpx")
printf '%-28s %7s points kept; %8.3f s parsing, %7.3f s simplify(); farthest dropped point %s m off its line, %s beyond %s m\n' \
    "gpxpy simplify($TOLERANCE)" "$gpxpy_kept" "$gpxpy_parse" "$gpxpy_simplify" "$gpxpy_worst" \
    "$gpxpy_beyond" "$TOLERANCE"
printf '%-28s %7s points kept; %8.3f s the whole run (GPX in and out), %.3f s simplifying; every dropped point within %s m\n' \
    "trackedit -simplify $TOLERANCE" "$ours" "$whole" "$alone" "$TOLERANCE"
printf '%-28s %7s points kept, for the bound gpxpy kept to\n' "trackedit -simplify $gpxpy_worst" \
    "$(kept -simplify "$gpxpy_worst" "$gpx" "$WORK/simplified.gpx")"
echo "trackedit keeps $(echo "scale=1; 100 * $ours / $gpxpy_kept" | bc)% of gpxpy's points;" \
    "$(echo "scale=1; ($gpxpy_parse + $gpxpy_simplify) / $whole" | bc)x as fast for the whole job," \
    "$(echo "scale=1; $gpxpy_simplify / $alone" | bc)x for the simplification alone"
rm -f "$WORK/simplified.gpx"
