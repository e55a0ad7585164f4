#!/usr/bin/env bash
# An NMEA log of 1,000,000 fixes (a GGA and an RMC sentence each, with
# checksums) converted to GPL: fixes per second (best of RUNS wall times,
# from the page cache) and peak memory, beside cat of the same file.
source "$(dirname "$0")/common.sh"
FIXES="${FIXES:-1000000}"
HERE="$(cd "$(dirname "$0")" && pwd)"

g++ -O2 -o "$WORK/makenmea" "$HERE/makenmea.cpp"
log="$WORK/log-$FIXES.nmea"
if [[ ! -f "$log" ]]; then
    "$WORK/makenmea" "$FIXES" >"$log"
fi
cat "$log" >/dev/null
out="$WORK/nmea-bench.gpl"
echo "NMEA: $FIXES fixes, $((FIXES * 2)) sentences, $(stat -c %s "$log") bytes; best of $RUNS runs"
row "cat" "$FIXES" cat "$log"
row "trackconvert NMEA -> GPL" "$FIXES" "$trackconvert" "$log" "$out"
[[ $(stat -c %s "$out") -eq $((FIXES * 56)) ]] || echo "trackconvert wrote a wrong count"
