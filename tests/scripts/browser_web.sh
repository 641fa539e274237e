#!/usr/bin/env bash
# Web mode in a real browser: a TIFF, a BMP and a HEIF photo become JPEG copies that headless
# Chromium shows, the slideshow page names them with the type written, its strip shows the
# thumbnails and its stage the copies. The photos are made here with the image library's tools.
# Usage: browser_web.sh VORTENA_EXECUTABLE SOURCE_DIR
set -uo pipefail
exe=$1
src=$2
chromium=${CHROMIUM:-/usr/bin/chromium}
source "$src/tests/scripts/check.bash"
for tool in "$chromium" vips heif-enc; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is missing (scripts/install-deps --test)"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# What the browser made of PAGE (a host path): one line "ID WIDTH SRC" per picture, once the
# page's pictures have loaded and its slideshow has started.
probe() {
  local page=$1 copy profile
  copy="$(dirname "$page")/zz-probe.htm"
  profile=$(mktemp -d "$work/profile.XXXXXX")
  { cat "$page"; cat <<'END'
<script>
window.addEventListener("load", function () {
  setTimeout(function () {
    var lines = [];
    document.querySelectorAll("img").forEach(function (img, i) {
      lines.push((img.id || "n" + i) + " " + img.naturalWidth + " " + img.getAttribute("src"));
    });
    var pre = document.createElement("pre");
    pre.id = "probe";
    pre.textContent = "\n" + lines.join("\n") + "\n";
    document.body.appendChild(pre);
  }, 2500);
});
</script>
END
  } >"$copy"
  "$chromium" --headless --no-sandbox --disable-gpu --no-first-run --disable-sync \
    --disable-background-networking --disable-component-update --user-data-dir="$profile" \
    --virtual-time-budget=6000 --dump-dom "file://$copy" 2>>"$work/browser.log" |
    sed -n '/<pre id="probe">/,/<\/pre>/p' | sed '1d;$d'
  rm -f "$copy"
}

c="$work/c"
mkdir -p "$c/foto" "$c/album"
vips gaussnoise "$work/noise.v" 1600 1200
vips cast "$work/noise.v" "$work/base.png" uchar
vips copy "$work/base.png" "$c/foto/a.tif"
vips magicksave "$work/base.png" "$c/foto/b.bmp" --format bmp
heif-enc -q 60 -o "$c/foto/c.heic" "$work/base.png" >/dev/null

"$exe" build --yes --web-size 800 --thumbs 120 --drive "C=$c" --program-dir "$src/resources" \
  "$c/foto" "$c/album/index.htm" 2>"$work/build1.err"
check "TIFF and BMP album built" "0 " "$? $(cat "$work/build1.err")"
mkdir -p "$c/heif"
"$exe" build --yes --web-size 800 --thumbs 120 --ext heic --drive "C=$c" \
  --program-dir "$src/resources" "$c/foto" "$c/heif/index.htm" 2>"$work/build2.err"
check "HEIF album built" "0 " "$? $(cat "$work/build2.err")"

lines=$(probe "$c/album/dir_0001/menu.htm")
echo "$lines" | sed 's/^/     /'
check "only JPEG copies and thumbnails in the entry folder" \
  "img_001.jpg img_002.jpg min_001.jpg min_002.jpg" \
  "$(cd "$c/album/dir_0001" && ls img_* min_* | tr '\n' ' ' | sed 's/ $//')"
check "the strip shows the two thumbnails, 120 pixels wide" "120 min_001.jpg|120 min_002.jpg" \
  "$(grep ' min_' <<<"$lines" | cut -d' ' -f2- | tr '\n' '|' | sed 's/|$//')"
check "the stage shows a copy of 800 pixels" "800 img_001.jpg" \
  "$(grep '^vista[AB] [1-9]' <<<"$lines" | cut -d' ' -f2- | head -1)"
check "the slideshow names the copies with the type written" \
  'data-grande="img_001.jpg"|data-grande="img_002.jpg"' \
  "$(grep -o 'data-grande="[^"]*"' "$c/album/dir_0001/menu.htm" | tr '\n' '|' | sed 's/|$//')"

# Each copy shows in the browser on a page of its own.
cat >"$c/copies.htm" <<END
<html><body>
<img id="tiff" src="album/dir_0001/img_001.jpg"><img id="bmp" src="album/dir_0001/img_002.jpg">
<img id="heif" src="heif/dir_0001/img_001.jpg">
</body></html>
END
lines=$(probe "$c/copies.htm")
check "the TIFF, BMP and HEIF copies display" "bmp 800|heif 800|tiff 800" \
  "$(awk '{print $1, $2}' <<<"$lines" | sort | tr '\n' '|' | sed 's/|$//')"
check "the HEIF slideshow names its copy" 'data-grande="img_001.jpg"' \
  "$(grep -o 'data-grande="[^"]*"' "$c/heif/dir_0001/menu.htm")"
finish
