#!/usr/bin/env bash
# Times a web-mode build (copies of at most 1600 pixels, thumbnails of 200) of generated
# 4000x3000 JPEG photos against vipsthumbnail run over the same photos twice, once for each
# size, with xargs -P one process per core; prints photos per second of both, their ratio, and
# the build's peak memory.
#
#   bench/web.sh path/to/vortena [work-parent-folder]
#
# BENCH_PHOTOS  photos of the run (default 1000)
# Needs vips and vipsthumbnail (libvips-tools) and /usr/bin/time.
set -euo pipefail
source "$(dirname "$0")/common.bash"

bench_start vortena-web "$@"
photos=${BENCH_PHOTOS:-1000}
cores=$(nproc)
now() { date +%s%N; }
seconds() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b - a) / 1e9 }'; }
rate() { awk -v n="$1" -v s="$2" 'BEGIN { printf "%.1f", n / s }'; }

# Eight distinct photos of camera size (noise over a gradient, about 4 MB each as a camera's
# are), copied round to the count asked for.
echo "making $photos photos of 4000x3000 in $work/photos"
mkdir -p "$work/photos" "$work/base"
for k in 0 1 2 3 4 5 6 7; do
  vips gaussnoise "$work/base/noise.v" 4000 3000 --sigma $((10 + k * 2)) --mean 128
  vips xyz "$work/base/xyz.v" 4000 3000
  vips extract_band "$work/base/xyz.v" "$work/base/x.v" 0
  vips linear "$work/base/x.v" "$work/base/ramp.v" 0.05 $((k * 10))
  vips add "$work/base/noise.v" "$work/base/ramp.v" "$work/base/sum.v"
  vips bandjoin "$work/base/sum.v $work/base/noise.v $work/base/ramp.v" "$work/base/rgb.v"
  vips cast "$work/base/rgb.v" "$work/base/photo$k.jpg[Q=85]" uchar
done
for ((i = 0; i < photos; i++)); do
  cp "$work/base/photo$((i % 8)).jpg" "$work/photos/$(printf 'p%05d.jpg' "$i")"
done
rm -rf "$work/base"
echo "photos: $(du -sh "$work/photos" | cut -f1)"

# The web-mode build into a fresh album.
mkdir -p "$work/album"
start=$(now)
/usr/bin/time -f "%M" -o "$work/build.mem" "$exe" build --yes --web-size 1600 --thumbs 200 \
  "$work/photos" "$work/album/index.htm" 2>"$work/build.err" || { cat "$work/build.err"; exit 1; }
end=$(now)
build_s=$(seconds "$start" "$end")
peak_mb=$(awk '{ printf "%.0f", $1 / 1024 }' "$work/build.mem")
made=$(find "$work/album" -name 'img_*.jpg' | wc -l)

# vipsthumbnail twice, one process per core.
mkdir -p "$work/thumbs"
start=$(now)
find "$work/photos" -name '*.jpg' -print0 |
  xargs -0 -n 8 -P "$cores" vipsthumbnail -s 1600 -o "$work/thumbs/%s_web.jpg[Q=85,strip]"
find "$work/photos" -name '*.jpg' -print0 |
  xargs -0 -n 8 -P "$cores" vipsthumbnail -s 200 -o "$work/thumbs/%s_min.jpg[Q=85,strip]"
end=$(now)
thumb_s=$(seconds "$start" "$end")

# A rebuild of the unchanged album decodes nothing.
start=$(now)
"$exe" build --yes --web-size 1600 --thumbs 200 "$work/photos" "$work/album/index.htm" 2>/dev/null
end=$(now)
rebuild_s=$(seconds "$start" "$end")

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
echo "vips: $(vips --version)"
echo "photos: $photos of 4000x3000; web copies made: $made"
printf '%-34s %8s s %8s photos/s\n' "vortena build --web-size 1600" "$build_s" "$(rate "$photos" "$build_s")"
printf '%-34s %8s s %8s photos/s\n' "vipsthumbnail -s 1600 and -s 200" "$thumb_s" "$(rate "$photos" "$thumb_s")"
printf '%-34s %8s s\n' "rebuild of the unchanged album" "$rebuild_s"
echo "ratio build / vipsthumbnail: $(awk -v a="$build_s" -v b="$thumb_s" 'BEGIN { printf "%.2f", a / b }') (goal: at most 1.20)"
echo "peak memory of the build: $peak_mb MB (goal: under 300 MB)"
