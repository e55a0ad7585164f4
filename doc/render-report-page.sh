#!/usr/bin/env bash
# Takes a screenshot of the demo's report page, demo-output/report.html from
# `make demo`, into doc/demo-report.png for the README, with the headless
# Chromium that the page tests use (tests/trackinfo/browser_check.py; Debian
# packages chromium and python3).
#
# Usage: doc/render-report-page.sh [PAGE.html [OUTPUT.png]]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
page="$(realpath "${1:-$here/../demo-output/report.html}")"
output="$(realpath "${2:-$here/demo-report.png}")"
/usr/bin/python3 "$here/../tests/trackinfo/browser_check.py" "$page" --screenshot "$output" >/dev/null
echo "wrote $output"
