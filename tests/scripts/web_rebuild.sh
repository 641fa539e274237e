#!/usr/bin/env bash
# A web-mode rebuild of an unchanged album, each build a process of its own: the second build
# makes no picture (the image library is never started in it) and leaves every copy and
# thumbnail the very file it was; a photo changed since is made again, and without the build
# record (the user asks for every file to be checked) every picture is.
# Usage: web_rebuild.sh VORTENA_EXECUTABLE SOURCE_DIR
set -uo pipefail
exe=$1
src=$2
source "$src/tests/scripts/check.bash"
command -v vips >/dev/null || { echo "skipped: vips is missing (scripts/install-deps --test)"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/foto" "$work/album"
for n in 1 2 3; do vips black "$work/foto/p$n.jpg" 900 600 --bands 3; done

build() {
  "$exe" build --yes --web-size 300 --thumbs 60 --program-dir "$src/resources" \
    "$work/foto" "$work/album/index.htm" 2>"$work/err"
  echo "$? $(cat "$work/err")"
}
inodes() { stat -c '%n %i' "$work"/album/dir_0001/{img,min}_00[123].jpg | sed "s|$work/album/||"; }

check "first build" "0 " "$(build)"
before=$(inodes)
check "rebuild of the unchanged album" "0 " "$(build)"
check "every copy and thumbnail kept" "$before" "$(inodes)"
touch -d '2001-01-01' "$work/foto/p2.jpg"
check "rebuild after a photo changed" "0 " "$(build)"
check "only that photo's copy and thumbnail made again" \
  "$(grep -v '_002' <<<"$before")" "$(inodes | grep -v '_002')"
check "its copy is new" "" "$(comm -12 <(grep '_002' <<<"$before") <(inodes | grep '_002'))"
before=$(inodes)
rm "$work/album/.cartelle_album"
check "rebuild without the build record" "0 " "$(build)"
check "every copy and thumbnail made again" "" "$(comm -12 <(echo "$before") <(inodes))"
finish
