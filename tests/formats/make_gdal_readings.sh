#!/usr/bin/env bash
# Writes GDAL's GeoJSON and KML of the GPX files in tests/formats/data/, which
# geojsonreader_test reads with our readers and compares with the GPX: the
# tracks layer (lines, elevations as the third coordinate), the track_points
# layer (a Point feature per track point, with its time) and, for GeoJSON,
# the waypoints layer. Needs ogr2ogr (Debian package gdal-bin); the outputs
# are committed, so the tests do not.
set -euo pipefail
data="$(cd "$(dirname "$0")" && pwd)/data"
export GPX_ELE_AS_25D=YES
for gpx in "$data"/*.gpx; do
    base="${gpx%.gpx}"
    for layer in tracks track_points waypoints; do
        rm -f "$base.$layer.geojson"
        ogr2ogr -f GeoJSON "$base.$layer.geojson" "$gpx" "$layer"
    done
    rm -f "$base.kml"
    # The KML driver warns that it writes times as text: they are not compared.
    ogr2ogr -f KML "$base.kml" "$gpx" tracks track_points 2>/dev/null
done
