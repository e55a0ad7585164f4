#!/usr/bin/env bash
# Writes tests/fit/readings/: fit-file-parser's readings (readings.js) of the
# encoder's test files, of one of them cut off, and of the sample recordings
# in ../shared/samples.
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
# A recording cut off at byte 600 (the tests cut basic.fit there and salvage
# it): fit-file-parser refuses a file shorter than its header says, so it
# reads a copy whose header gives the size there is, without the CRCs, and
# reads on past its partial last message (readings.js forces it).
python3 - "$work/basic.fit" "$work/cut.fit" <<'PY'
import struct, sys
data = bytearray(open(sys.argv[1], "rb").read()[:600])
data[4:8] = struct.pack("<I", len(data) - data[0])
data[12:14] = b"\0\0"
open(sys.argv[2], "wb").write(bytes(data) + b"\0\0")
PY
rm -rf "$here/readings"
mkdir "$here/readings"
NODE_PATH="$parser/node_modules" node "$here/readings.js" "$here/readings" "$work"/*.fit \
    "$here/../../../shared/samples"/*.fit
