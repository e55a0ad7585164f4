#!/usr/bin/env bash
# A FIT file of 1,000,000 records (made by the test encoder,
# tests/fit/fitencode.py: a time, position, altitude, heart rate, cadence,
# distance, speed, power and temperature in each) converted to GPL and to
# CSV, side by side in one run with fit-file-parser (Node) parsing it. Then
# 10 times the records, for trackconvert's memory. Records per second (best
# of RUNS wall times, from the page cache) and peak memory.
#
# fit-file-parser is installed from the npm registry into
# $FIT_PARSER_DIR (default: under $WORK) the first time.
source "$(dirname "$0")/common.sh"
RECORDS="${RECORDS:-1000000}"
parser="${FIT_PARSER_DIR:-$WORK/fit-file-parser}"

# fit_of N: the FIT file of N records, made once.
fit_of() {
    local n="$1" fit="$WORK/records-$1.fit"
    if [[ ! -f "$fit" ]]; then
        "$PYTHON" "$ROOT/tests/fit/fitencode.py" bench "$n" "$fit"
    fi
    cat "$fit" >/dev/null  # into the page cache
    echo "$fit"
}

fit=$(fit_of "$RECORDS")
out="$WORK/fit-bench"
mkdir -p "$out"
echo "FIT: $RECORDS records, $(stat -c %s "$fit") bytes; best of $RUNS runs"
rate_row "trackconvert FIT -> GPL" "$RECORDS" records "$trackconvert" "$fit" "$out/track.gpl"
[[ $(stat -c %s "$out/track.gpl") -eq $((RECORDS * 56)) ]] || echo "trackconvert wrote a wrong count"
rate_row "trackconvert FIT -> CSV" "$RECORDS" records "$trackconvert" "$fit" "$out/track.csv"
if have node --version && { [[ -d "$parser/node_modules/fit-file-parser" ]] ||
    npm install --prefix "$parser" --no-save fit-file-parser@6.1.2 >/dev/null 2>&1; }; then
    # Its heap grows with the file: room for it, so that it finishes.
    rate_row "fit-file-parser parse (list)" "$RECORDS" records \
        env NODE_PATH="$parser/node_modules" node --max-old-space-size=16384 -e "
const FitParser = require('fit-file-parser').default;
new FitParser({mode: 'list'}).parse(require('fs').readFileSync(process.argv[1]),
    (error, data) => { if (error) throw error; console.log(data.records.length); });" "$fit"
else
    echo "(fit-file-parser not measured: Node or the npm registry is not at hand)"
fi

big=$(fit_of $((RECORDS * 10)))
echo "FIT: $((RECORDS * 10)) records, $(stat -c %s "$big") bytes; best of 1 run"
RUNS=1 rate_row "trackconvert FIT -> GPL (10x)" $((RECORDS * 10)) records "$trackconvert" "$big" \
    "$out/big.gpl"
rm -f "$out/big.gpl"
