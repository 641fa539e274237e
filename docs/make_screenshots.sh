#!/usr/bin/env bash
# Remakes the README's pictures from a tree of painted landscapes (docs/make_photos.py):
# docs/window.png (the window with the tree's pictures listed), docs/album.png (the album
# page), docs/slideshow.png (a slideshow with its first picture) and docs/phone.png (the album
# page and a slideshow on a phone's screen), the pages from headless Chromium.
# Needs a built tree (scripts/test), chromium and vips (scripts/install-deps --test).
# Usage: docs/make_screenshots.sh
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build --preset default --target vortena vortena_window_shot >/dev/null
build=build/default
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The tree: nine landscapes in three folders, JPEG as a camera writes them.
/usr/bin/python3 docs/make_photos.py "$work/painted"
for painted in "$work"/painted/*/*.ppm; do
  folder=$(basename "$(dirname "$painted")")
  mkdir -p "$work/c/foto/$folder"
  vips copy "$painted" "$work/c/foto/$folder/$(basename "${painted%.ppm}").jpg[Q=88]"
done

"$build/vortena_window_shot" docs/window.png "$work/c" "$PWD/resources"
"$build/vortena" build --per-folder 2 --per-row 5 --drive "C=$work/c" "$work/c/foto" \
  'C:\foto\index.htm'

shot() {  # shot OUTPUT WIDTH HEIGHT phone|desktop PAGE [MILLISECONDS]: see docs/shoot_page.py
  PYTHONPATH=tests/scripts /usr/bin/python3 docs/shoot_page.py /usr/bin/chromium "$1" "$2" "$3" \
    "$4" "file://$5" ${6:+"$6"}
}
shot docs/album.png 1000 320 desktop "$work/c/foto/index.htm" 12000
shot docs/slideshow.png 1000 720 desktop "$work/c/foto/dir_0002/menu.htm"
shot "$work/phone-album.png" 390 844 phone "$work/c/foto/index.htm" 5000
shot "$work/phone-slideshow.png" 390 844 phone "$work/c/foto/dir_0001/menu.htm"
# The two phone screens side by side, on white.
vips arrayjoin "$work/phone-album.png $work/phone-slideshow.png" docs/phone.png --shim 24 \
  --background 255
ls -l docs/*.png
