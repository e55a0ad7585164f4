#!/usr/bin/env bash
# Renders the demo scene, demo-output/drive.wrl from `make demo`, into
# doc/demo-scene.png for the README, with view3dscene under a virtual X
# server (Debian packages view3dscene and xvfb).
#
# The scene is drawn in earth-centred axes, so its own default view looks
# down the earth's axis. A wrapper scene adds a viewpoint 3.6 km from the
# middle of the drive near Bern, from the south-south-west and 40 degrees
# above the horizon, with the local vertical up, and inlines the scene.
#
# Usage: doc/render-demo-scene.sh [SCENE.wrl [OUTPUT.png]]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
scene="$(realpath "${1:-$here/../demo-output/drive.wrl}")"
output="$(realpath "${2:-$here/demo-scene.png}")"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cat >"$work/view.wrl" <<VRML
#VRML V2.0 utf8
Viewpoint {
  position 3608.1 1174.7 383.8
  orientation 0.58705 0.64925 0.48358 1.91087
}
Inline { url "$scene" }
VRML
xvfb-run -a -s '-screen 0 1280x1024x24' \
    view3dscene "$work/view.wrl" --geometry 960x600 --anti-alias 4 --screenshot 0 "$output"
echo "wrote $output"
