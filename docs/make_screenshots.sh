#!/usr/bin/env bash
# Remakes the README's pictures from a generated tree: docs/window.png (the window with the
# tree's media listed), docs/album.png (the album page) and docs/slideshow.png (a slideshow
# page), the last two from headless Chromium. Needs a built tree (scripts/test) and chromium.
# Usage: docs/make_screenshots.sh
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build --preset default --target vortena vortena_window_shot >/dev/null
build=build/default
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The tree: the program's own pictures stand in for photos, in two folders.
mkdir -p "$work/c/foto/Mare" "$work/c/foto/Monti"
cp resources/sfondo1g.jpg "$work/c/foto/Mare/Onde.JPG"
cp resources/foto-1a.jpg "$work/c/foto/Mare/spiaggia.jpg"
cp resources/diaposit.jpg "$work/c/foto/Mare/Faro.jpg"
cp resources/pulsante.jpg "$work/c/foto/Monti/cima.jpg"
cp resources/sfondo1p.jpg "$work/c/foto/Monti/Bosco.jpg"
cp resources/sfondo_2.gif "$work/c/foto/Monti/tramonto.gif"

"$build/vortena_window_shot" docs/window.png "$work/c" "$PWD/resources"
"$build/vortena" build --per-folder 3 --drive "C=$work/c" "$work/c/foto" 'C:\foto\index.htm'

shot() {  # shot OUTPUT PAGE
  local profile
  profile=$(mktemp -d "$work/profile.XXXXXX")
  chromium --headless --no-sandbox --disable-gpu --no-first-run --disable-background-networking \
    --user-data-dir="$profile" --window-size=900,600 --virtual-time-budget=4000 \
    --screenshot="$1" "file://$2" 2>/dev/null
}
shot "$PWD/docs/album.png" "$work/c/foto/index.htm"
shot "$PWD/docs/slideshow.png" "$work/c/foto/dir_0001/menu.htm"
ls -l docs/*.png
