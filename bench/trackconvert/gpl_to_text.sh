#!/usr/bin/env bash
# A GPL track of 1,000,000 records written as KML, GeoJSON and CSV by
# trackconvert, each beside GDAL's ogr2ogr writing the same format from the
# same points (trackconvert's CSV of the track, read as points). Records per
# second (best of RUNS wall times, from the page cache) and peak memory.
source "$(dirname "$0")/common.sh"
RECORDS="${RECORDS:-1000000}"

track="$WORK/track-$RECORDS.gpl"
make_track "$RECORDS" "$track"
out="$WORK/text-bench"
mkdir -p "$out"
"$trackconvert" "$track" "$out/points.csv" >/dev/null
echo "GPL: $RECORDS records; best of $RUNS runs"
have ogr2ogr --version
points=(-oo X_POSSIBLE_NAMES=longitude -oo Y_POSSIBLE_NAMES=latitude "$out/points.csv")
for format in kml geojson csv; do
    row "trackconvert GPL -> ${format^^}" "$RECORDS" "$trackconvert" "$track" "$out/track.$format"
    case "$format" in
        kml) driver=KML ;;
        geojson) driver=GeoJSON ;;
        csv) driver=CSV ;;
    esac
    if command -v ogr2ogr >/dev/null; then
        # ogr2ogr will not write over a file of some formats: each run starts without one.
        row "ogr2ogr CSV -> ${format^^}" "$RECORDS" \
            bash -c 'out="$1" driver="$2"; shift 2; rm -f "$out"; exec ogr2ogr -f "$driver" "$out" "$@"' \
            - "$out/ogr.$format" "$driver" "${points[@]}"
    fi
done
