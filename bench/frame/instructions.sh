#!/usr/bin/env bash
# Instructions each GPL program executes on the same track of RECORDS
# records (default 200000), counted by callgrind, for this tree's optimised
# build and, side by side, for the programs of another build (OTHER, a
# directory holding stepclock, idlescan, ...; e.g. a build of an earlier
# commit). Counts are repeatable: the same binary and input give the same
# number whatever else the machine does. The count of an empty track shows
# what a run costs before its first record.
#
#   bench/frame/instructions.sh [OTHER]
source "$(dirname "$0")/../common/lib.sh"
RECORDS="${RECORDS:-200000}"
OTHER="${1:-}"
build_release
make_track "$RECORDS" "$WORK/instructions.gpl"
: >"$WORK/empty.gpl"
seq 1 2000 | awk '{printf "%d:%d, 46.%04d, 7.4474, 14-Jun-2025, 09:%02d:%02d, 60, 3, 1771\n",
    $1, $1, $1, ($1 / 60) % 60, $1 % 60}' >"$WORK/instructions.txt"

# count PROGRAM ARGS...: instructions of one run.
count() {
    valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null |
        sed -n 's/.*Collected : \([0-9]*\).*/\1/p'
}

# row NAME ARGS...: the counts of this build and of OTHER for one program.
row() {
    local name="$1"
    shift
    local ours theirs=""
    ours=$(count "$BUILD/bin/$name" "$@")
    [[ -n "$OTHER" ]] && theirs=$(count "$OTHER/$name" "$@")
    printf '%-34s %14s %14s\n' "$name $(basename "${*: -1}")" "$ours" "$theirs"
}

printf '%-34s %14s %14s\n' "program input" "this build" "${OTHER:+other}"
for track in "$WORK/empty.gpl" "$WORK/instructions.gpl"; do
    records=$(($(stat -c %s "$track") / 56))
    row "stepclock, $records records" stepclock "$track" "$WORK/out.gpl"
    row "idlescan, $records records" idlescan "$track" "$WORK/out.gpl"
    row "pacer 30, $records records" pacer "$track" "$WORK/out.gpl" 30
    row "pacer, $records records" pacer "$track" "$WORK/out.gpl"
    row "legsheet, $records records" legsheet "$track"
    row "trailview, $records records" trailview "$track"
done
row "logpack, 2000 lines" logpack "$WORK/instructions.txt" "$WORK/out.gpl"
rm -f "$WORK/out.gpl"
