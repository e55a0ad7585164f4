#!/usr/bin/env bash
# Writes tests/fit/readings/: fit-file-parser's readings (readings.js) of the
# encoder's test files and of the sample recordings in ../shared/samples.
# Needs Node and, once, the npm registry; the readings are committed, so the
# tests need neither. fit-file-parser goes into a scratch directory outside
# the repository ($FIT_PARSER_DIR).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
parser="${FIT_PARSER_DIR:-${TMPDIR:-/tmp}/tracktools-fit-file-parser}"
if [[ ! -d "$parser/node_modules/fit-file-parser" ]]; then
    npm install --prefix "$parser" --no-save fit-file-parser@6.1.2 >/dev/null
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
python3 "$here/fitencode.py" cases "$work"
rm -rf "$here/readings"
mkdir "$here/readings"
NODE_PATH="$parser/node_modules" node "$here/readings.js" "$here/readings" "$work"/*.fit \
    "$here/../../../shared/samples"/*.fit
