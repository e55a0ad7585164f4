#!/usr/bin/env bash
# Runs legsheet and pacer of two builds on the same random legs and compares
# their outputs byte for byte: a change inside the geodesy library must leave
# every leg that our own iterations answer exactly as it was.
#
# Usage: compare_programs.sh BEFORE_TOOLS AFTER_TOOLS [LEGS [ANTIPODAL_LEGS]]
#   *_TOOLS: a build's tools/ directory (holding legsheet/legsheet and
#   pacer/pacer). LEGS random legs (default 1000000) must come out identical;
#   ANTIPODAL_LEGS nearly antipodal legs (default 30000) are expected to
#   differ where the old build had no answer, and the lines that differ are
#   counted.
set -euo pipefail
before="$(cd "$1" && pwd)"
after="$(cd "$2" && pwd)"
count="${3:-1000000}"
antipodal_count="${4:-30000}"
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

python3 "$here/make_legs.py" legs "$count" "$work/legs.gpl"
python3 "$here/make_legs.py" antipodal "$antipodal_count" "$work/antipodal.gpl"

status=0
for track in legs antipodal; do
    for build in before after; do
        tools="$before"
        [[ "$build" == after ]] && tools="$after"
        (cd "$work" && "$tools/legsheet/legsheet" "$track.gpl" >"$build-$track.txt" &&
            "$tools/pacer/pacer" "$track.gpl" "$build-$track-measured.gpl" >/dev/null &&
            "$tools/pacer/pacer" "$track.gpl" "$build-$track-30mph.gpl" 30 >/dev/null)
    done
    for output in "$track.txt" "$track-measured.gpl" "$track-30mph.gpl"; do
        if cmp -s "$work/before-$output" "$work/after-$output"; then
            echo "identical: $output ($(stat -c %s "$work/after-$output") bytes)"
        else
            echo "differ:    $output"
            [[ "$track" == legs ]] && status=1
        fi
    done
done
# The report lines of the nearly antipodal legs: only those that had no
# number before may change.
diff "$work/before-antipodal.txt" "$work/after-antipodal.txt" >"$work/antipodal.diff" || true
changed="$(grep -c '^>' "$work/antipodal.diff" || true)"
had_number="$(grep '^<' "$work/antipodal.diff" | grep -vc nan || true)"
echo "antipodal report lines changed: $changed of $((antipodal_count + 1))," \
    "of which had a number before: $had_number"
echo "antipodal report lines with nan: before $(grep -c nan "$work/before-antipodal.txt" || true)," \
    "after $(grep -c nan "$work/after-antipodal.txt" || true)"
((had_number == 0)) || status=1
exit "$status"
