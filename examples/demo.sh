#!/usr/bin/env bash
# The suite's main job on the sample drive: build a GPL track from the text
# listing, re-time it, measure it, find its stops, report its legs and draw it.
# Usage: demo.sh BUILD_DIR OUTPUT_DIR
set -euo pipefail
build="${1:-build}"
out="${2:-demo-output}"
here="$(cd "$(dirname "$0")" && pwd)"
tools="$(cd "$build" && pwd)/tools"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
cd "$out"
# The sample's times are UTC; the text form is read and written in local time.
export TZ=UTC

records() { echo "$(($(stat -c %s "$1") / 56)) records"; }

step() {
    local title="$1"
    shift
    echo
    echo "== $title"
    echo "\$ $*"
}

run() {
    local tool="$1"
    shift
    "$tools/$tool/$tool" "$@"
}

step "logpack: the text listing becomes a GPL track" \
    logpack "$here/sample-drive.txt" drive.gpl
run logpack "$here/sample-drive.txt" drive.gpl
echo "-> drive.gpl: $(records drive.gpl)"

step "stepclock: re-stamp the track from now, 2 seconds apart" \
    stepclock drive.gpl restamped.gpl 2
run stepclock drive.gpl restamped.gpl 2
echo "-> restamped.gpl: $(records restamped.gpl)"

step "pacer: re-time the track for a constant 30 mph" pacer restamped.gpl paced.gpl 30
run pacer restamped.gpl paced.gpl 30
echo "-> paced.gpl: $(records paced.gpl)"

step "pacer: fill in the measured speed and heading of every leg" pacer drive.gpl measured.gpl
run pacer drive.gpl measured.gpl
echo "-> measured.gpl: $(records measured.gpl)"

step "idlescan: keep the first point, the start of every stop and the last point" \
    idlescan drive.gpl stops.gpl
run idlescan drive.gpl stops.gpl
echo "-> stops.gpl: $(records stops.gpl)"

step "legsheet: the leg report of the measured track" "legsheet measured.gpl > legs.txt"
run legsheet measured.gpl >legs.txt
echo "-> legs.txt: $(wc -l <legs.txt) lines; the first legs:"
head -n 6 legs.txt

step "legsheet: the stops in degrees:minutes:seconds" "legsheet -m stops.gpl > stops.txt"
run legsheet -m stops.gpl >stops.txt
cat stops.txt

step "trailview: a VRML 2.0 scene of the drive, height exaggerated 3 times" \
    "trailview -salt 3 drive.gpl > drive.wrl"
run trailview -salt 3 drive.gpl >drive.wrl
echo "-> drive.wrl: $(wc -c <drive.wrl) bytes; open it with a VRML viewer, e.g. view3dscene drive.wrl"

echo
echo "All files are in $out"
