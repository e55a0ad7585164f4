#!/usr/bin/env bash
# The suite's main job on the sample drive: a phone's GPX recording of it
# becomes a GPL track (and the receiver's text listing of it another), which
# is re-timed, measured, cut to its stops, reported leg by leg and drawn;
# then the results go back out as GPX, KML and GeoJSON, the drive is
# trimmed and thinned for sharing, and the drive as a bike computer's FIT
# file comes back in.
# Usage: demo.sh BUILD_DIR OUTPUT_DIR
set -euo pipefail
build="${1:-build}"
out="${2:-demo-output}"
here="$(cd "$(dirname "$0")" && pwd)"
# The programs are found as a user finds them after the README's
# export PATH="$PWD/build/bin:$PATH".
export PATH="$(cd "$build" && pwd)/bin:$PATH"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
cd "$out"
# The sample's times are UTC; the text form is read and written in local time.
export TZ=UTC

records() { echo "$(($(stat -c %s "$1") / 56)) records"; }

# The time stamp (bytes 48 to 51) of the first and of the last record.
first_time() { od -An -tu4 -j48 -N4 "$1"; }
last_time() { od -An -tu4 -j$(($(stat -c %s "$1") - 8)) -N4 "$1"; }
# When the track starts, and how long it takes.
times() {
    local first last
    first=$(first_time "$1")
    last=$(last_time "$1")
    echo "starts $(date -u -d "@$first" '+%Y-%m-%d %H:%M:%S UTC'), lasts $(((last - first + 4294967296) % 4294967296)) s"
}

step() {
    local title="$1"
    shift
    echo
    echo "== $title"
    echo "\$ $*"
}

step "trackconvert: the phone's GPX recording becomes a GPL track" \
    trackconvert "$here/drive.gpx" drive.gpl
trackconvert "$here/drive.gpx" drive.gpl
echo "-> drive.gpl: $(records drive.gpl), $(times drive.gpl)"

step "logpack: the receiver's text listing of the same drive becomes a GPL track" \
    logpack "$here/sample-drive.txt" listing.gpl
logpack "$here/sample-drive.txt" listing.gpl
echo "-> listing.gpl: $(records listing.gpl), $(times listing.gpl); the phone paused at the viewpoint"

step "stepclock: re-stamp the track from now, 3 seconds apart" \
    stepclock drive.gpl restamped.gpl 3
stepclock drive.gpl restamped.gpl 3
echo "-> restamped.gpl: $(records restamped.gpl), $(times restamped.gpl)"

step "pacer: re-time the track for a constant 30 mph" pacer restamped.gpl paced.gpl 30
pacer restamped.gpl paced.gpl 30
echo "-> paced.gpl: $(records paced.gpl), $(times paced.gpl)"

step "pacer: fill in the measured speed and heading of every leg" pacer drive.gpl measured.gpl
pacer drive.gpl measured.gpl
echo "-> measured.gpl: $(records measured.gpl), $(times measured.gpl)"

step "idlescan: keep the first point, the start of every stop and the last point" \
    idlescan drive.gpl stops.gpl
idlescan drive.gpl stops.gpl
echo "-> stops.gpl: $(records stops.gpl): the stops that the summary counts, then the last point"

step "legsheet: the leg report of the measured track" "legsheet measured.gpl > legs.txt"
legsheet measured.gpl >legs.txt
echo "-> legs.txt: $(wc -l <legs.txt) lines, $(awk -F', *' '!/^#/ { miles += $4 } END { printf "%.2f", miles }' legs.txt) miles in all; the first legs on the move:"
awk '/^#/ || ($4 + 0 > 0 && shown++ < 6)' legs.txt

step "legsheet: the stops in degrees:minutes:seconds" "legsheet -m stops.gpl > stops.txt"
legsheet -m stops.gpl >stops.txt
cat stops.txt

step "trailview: a VRML 2.0 scene of the drive, height exaggerated 3 times" \
    "trailview -salt 3 drive.gpl > drive.wrl"
trailview -salt 3 drive.gpl >drive.wrl
echo "-> drive.wrl: $(wc -c <drive.wrl) bytes; open it with a VRML viewer, e.g. view3dscene drive.wrl"

step "trackinfo: how far, how long, how fast, how high, the heart rate and cadence, the splits, and what is wrong with the data" \
    trackinfo -splits "$here/drive.gpx"
trackinfo -splits "$here/drive.gpx"

step "trackinfo: the same report as JSON, in SI units" trackinfo -json drive.gpl
trackinfo -json drive.gpl

step "trackinfo: a report page with the plan view, the splits, and the elevation, speed, heart rate and cadence profiles" \
    "trackinfo -splits -html report.html \"\$here/drive.gpx\" > /dev/null"
trackinfo -splits -html report.html "$here/drive.gpx" >/dev/null
echo "-> report.html: $(wc -c <report.html) bytes, self-contained; open it in a browser:"
echo "   $out/report.html"

step "trackconvert: the measured track back to GPX, with speed and course" \
    trackconvert measured.gpl measured.gpx
trackconvert measured.gpl measured.gpx
echo "-> measured.gpx: $(grep -c '<trkpt' measured.gpx) track points"

step "trackconvert: the drive as KML, a wall down to the ground (Google Earth, GIS)" \
    trackconvert -extrude drive.gpl drive.kml
trackconvert -extrude drive.gpl drive.kml
echo "-> drive.kml: $(grep -c '^[0-9-]' drive.kml) positions on the line, from Start to End"

step "trackconvert: the drive as GeoJSON (web maps)" trackconvert drive.gpl drive.geojson
trackconvert drive.gpl drive.geojson
echo "-> drive.geojson: $(wc -c <drive.geojson) bytes, one LineString feature with its times"

step "trackedit: the drive to share, without its first and last 200 m, simplified to 5 m" \
    trackedit -trim 200 -simplify 5 "$here/drive.gpx" shared.gpx
trackedit -trim 200 -simplify 5 "$here/drive.gpx" shared.gpx
echo "-> shared.gpx: $(grep -c '<trkpt' shared.gpx) of the $(grep -c '<trkpt' "$here/drive.gpx") points of the drive"

step "the drive as a bike computer records it: a FIT file (the tests' encoder writes it)" \
    "python3 tests/fit/fitencode.py drive examples/drive.gpx drive.fit"
python3 "$here/../tests/fit/fitencode.py" drive "$here/drive.gpx" drive.fit
echo "-> drive.fit: $(wc -c <drive.fit) bytes"

step "trackconvert: the FIT file to GPX" trackconvert drive.fit drive-fit.gpx
trackconvert drive.fit drive-fit.gpx
echo "-> drive-fit.gpx: $(grep -c '<trkpt' drive-fit.gpx) track points, as many as drive.gpl holds"

step "trackinfo: the summary of the FIT file" trackinfo drive.fit
trackinfo drive.fit

echo
echo "All files are in $out"
