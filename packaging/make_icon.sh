#!/bin/bash
# Renders the 256-pixel icon from the scalable one with rsvg-convert (package librsvg2-bin).
# The result is committed, so building does not need it; run this only after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")"
rsvg-convert --width 256 --height 256 vortena.svg -o vortena-256.png
