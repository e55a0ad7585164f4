#!/usr/bin/env bash
# Writes tests/formats/igc/readings/: igc-parser's readings (readings.js) of
# the hand-made logs here. Needs Node and, once, the npm registry; the
# readings are committed, so the tests need neither. igc-parser goes into a
# scratch directory outside the repository ($IGC_PARSER_DIR).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
parser="${IGC_PARSER_DIR:-${TMPDIR:-/tmp}/tracktools-igc-parser}"
if [[ ! -d "$parser/node_modules/igc-parser" ]]; then
    npm install --prefix "$parser" --no-save igc-parser@2.0.0 >/dev/null
fi
rm -rf "$here/readings"
mkdir "$here/readings"
NODE_PATH="$parser/node_modules" node "$here/readings.js" "$here/readings" "$here"/*.igc
