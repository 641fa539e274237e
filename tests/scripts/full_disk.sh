#!/usr/bin/env bash
# A build onto a disk that fills up: one message says where and that the build stopped, none
# follows it, the exit status tells a failure, and the album built before stays as it was.
# Usage: full_disk.sh VORTENA_EXECUTABLE SOURCE_DIR
set -uo pipefail
exe=$1
src=$2
source "$src/tests/scripts/check.bash"
work=$(mktemp -d)
trap 'umount "$work/disk" 2>/dev/null; rm -rf "$work"' EXIT
mkdir -p "$work/foto" "$work/disk"
[ "$(id -u)" -eq 0 ] && mount -t tmpfs -o size=3m tmpfs "$work/disk" ||
  { echo "skipped: a small disk of its own needs root"; exit 77; }
mkdir "$work/disk/album"
python3 - "$work/foto" <<'PY'
import os, sys
for i in range(3000):
    with open(os.path.join(sys.argv[1], "p%04d.jpg" % i), "wb") as f:
        f.write(os.urandom(2048))
PY

build() {
  "$exe" build --yes --per-folder 30 --drive "D=$work/disk" --program-dir "$src/resources" \
    "$1" 'D:\album\index.htm' 2>"$work/err"
  echo "$?"
}
mkdir "$work/few" && cp "$work"/foto/p000[0-4].jpg "$work/few/"
check "a small album fits" "0" "$(build "$work/few")"
page=$(md5sum < "$work/disk/album/index.htm")
check "the big one stops" "1" "$(build "$work/foto")"
# Progress lines aside (a slow machine prints one every few seconds).
check "with one message" "1" \
  "$(grep '^vortena: ' "$work/err" | grep -vc '^vortena: \[\|^vortena: [0-9]* found$')"
check "that tells the full disk" "1" "$(grep -c "Disco pieno: creazione dell'album interrotta in" "$work/err")"
check "the earlier page stays" "$page" "$(md5sum < "$work/disk/album/index.htm")"
check "no temporary file left" "" "$(find "$work/disk" -name '.vortena-*')"
finish
