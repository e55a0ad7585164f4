#!/usr/bin/env bash
# Lints the manual pages with one formatter and checks that each page names
# the project's version.
#
# Usage: lint_pages.sh mandoc|groff VERSION PAGE...
# Exits 77 (reported as skipped) when the formatter is not installed.
set -uo pipefail
tool="$1"
version="$2"
shift 2

case "$tool" in
mandoc) package=mandoc ;;
groff) package=groff-base ;;
*)
    echo "unknown formatter: $tool" >&2
    exit 2
    ;;
esac
if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed (Debian package $package); the manual pages were not linted with it"
    exit 77
fi

failures=0
for page in "$@"; do
    if [[ ! -f "$page" ]]; then
        echo "FAIL: no such page: $page"
        failures=$((failures + 1))
        continue
    fi
    if [[ "$tool" == mandoc ]]; then
        messages="$(mandoc -Tlint -W warning "$page" 2>&1)"
    else
        # -ww: all warnings; -z: no output but the diagnostics.
        messages="$(groff -man -ww -z "$page" 2>&1)"
    fi
    status=$?
    if ((status != 0)) || [[ -n "$messages" ]]; then
        echo "FAIL: $tool on $(basename "$page") (status $status):"
        echo "$messages"
        failures=$((failures + 1))
    fi
    # .TH title section date source manual: the source names this version.
    if ! grep -q "^\.TH [A-Z0-9-]* [0-9] [0-9-]* \"tracktools $version\"" "$page"; then
        echo "FAIL: $(basename "$page"): the .TH line does not name tracktools $version"
        failures=$((failures + 1))
    fi
done
if ((failures > 0)); then
    echo "$failures page check(s) failed"
    exit 1
fi
echo "$# pages clean with $tool"
