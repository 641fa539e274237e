#!/usr/bin/env bash
# The Debian package end to end: cpack makes the .deb, apt-get installs it, the installed
# program answers --version and builds a small album from its installed program folder, the
# desktop entry and the AppStream metadata pass their validators, and the package is removed.
# Needs root and apt; skipped (status 77) otherwise.
# Usage: package_deb.sh VORTENA_EXECUTABLE SOURCE_DIR
set -uo pipefail
exe=$1
src=$2
build=$(dirname "$exe")
skip() { echo "skipped: $1"; exit 77; }
[ "$(id -u)" -eq 0 ] || skip "installing a package needs root"
command -v apt-get >/dev/null && command -v dpkg >/dev/null || skip "apt-get and dpkg are not available"
command -v cpack >/dev/null || skip "cpack is not available"
command -v dpkg-shlibdeps >/dev/null || skip "dpkg-shlibdeps is not available (package dpkg-dev)"
command -v desktop-file-validate >/dev/null || skip "desktop-file-validate is not available (package desktop-file-utils)"
if dpkg-query -W -f='${Status}' vortena 2>/dev/null | grep -q "install ok installed"; then
  skip "a vortena package is installed already; it is left alone"
fi

work=$(mktemp -d)
installed=no
cleanup() {
  [ "$installed" = yes ] && DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq vortena >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT
source "$(dirname "$0")/check.bash"

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/pkg" >"$work/cpack.log" 2>&1
deb=$(ls "$work"/pkg/*.deb 2>/dev/null | head -1)
check "cpack makes a .deb" yes "$([ -n "$deb" ] && echo yes || { cat "$work/cpack.log"; echo no; })"
[ -n "$deb" ] || exit 1

depends=$(dpkg-deb -f "$deb" Depends)
for runtime in libqt6core6 libqt6widgets6 libqt6gui6 qt6-qpa-plugins; do
  check "depends on $runtime" yes "$(echo "$depends" | grep -qw "$runtime" && echo yes || echo "no: $depends")"
done

# The install tree: the program, every file of the program folder, and the desktop files.
contents=$(dpkg-deb -c "$deb" | awk '{print $NF}' | sed 's#^\./#/#')
expected=(/usr/bin/vortena /usr/share/applications/org.vortena.Vortena.desktop
  /usr/share/metainfo/org.vortena.Vortena.metainfo.xml
  /usr/share/icons/hicolor/scalable/apps/org.vortena.Vortena.svg
  /usr/share/icons/hicolor/256x256/apps/org.vortena.Vortena.png /usr/share/man/man1/vortena.1)
for f in "$src"/resources/*.HTM "$src"/resources/*.jpg "$src"/resources/*.gif; do
  expected+=("/usr/share/vortena/$(basename "$f")")
done
missing=()
for f in "${expected[@]}"; do echo "$contents" | grep -qx "$f" || missing+=("$f"); done
check "install tree holds every file" "" "${missing[*]}"
check "install tree holds the image module" yes \
  "$(echo "$contents" | grep -q '^/usr/lib/.*vortena/vortena_imaging\.so$' && echo yes || echo no)"

DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >"$work/apt.log" 2>&1
status=$?
[ $status -eq 0 ] && installed=yes
check "apt-get installs the .deb" 0 "$status"
[ "$installed" = yes ] || { cat "$work/apt.log"; exit 1; }

check "installed --version" "vortena 0.1" "$(/usr/bin/vortena --version | head -1)"

# A small tree built from the installed files alone: the album's pictures come from
# /usr/share/vortena.
mkdir -p "$work/c/foto/mare"
printf 'a' > "$work/c/foto/Uno.JPG"
printf 'b' > "$work/c/foto/mare/due.gif"
(cd "$work" && /usr/bin/vortena build --drive "C=$work/c" c/foto 'C:\foto\index.htm' 2>"$work/err")
check "installed build exits 0" "0:" "$?:$(cat "$work/err")"
check "album page written" yes "$([ -s "$work/c/foto/index.htm" ] && echo yes)"
check "pictures of the installed program folder copied" yes \
  "$(cmp -s "$work/c/foto/pulsante.jpg" /usr/share/vortena/pulsante.jpg && echo yes)"
check "entry folder made" "img_001.jpg img_002.gif menu.htm" \
  "$(ls "$work/c/foto/dir_0001" | grep -E '^(img|menu)' | tr '\n' ' ' | sed 's/ $//')"

# A web build: the installed program loads its image module from the library folder.
mkdir -p "$work/w/foto"
cp /usr/share/vortena/pulsante.jpg "$work/w/foto/p.jpg"
(cd "$work" && /usr/bin/vortena build --web-size 100 --drive "C=$work/w" w/foto 'C:\foto\index.htm' \
  2>"$work/werr")
check "installed web build exits 0" "0:" "$?:$(cat "$work/werr")"
check "thumbnail made by the installed image module" yes \
  "$([ -s "$work/w/foto/dir_0001/min_001.jpg" ] && echo yes || echo no)"

check "desktop entry valid" "" "$(desktop-file-validate /usr/share/applications/org.vortena.Vortena.desktop 2>&1)"
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net /usr/share/metainfo/org.vortena.Vortena.metainfo.xml >"$work/as.log" 2>&1
  check "AppStream metadata valid" "0" "$?"
fi
if command -v man >/dev/null; then
  check "manual page readable" yes "$(man -l /usr/share/man/man1/vortena.1 2>/dev/null | grep -q "vortena build" && echo yes)"
fi

DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq vortena >/dev/null 2>&1
check "package removed" "0:absent" "$?:$([ -e /usr/bin/vortena ] && echo present || echo absent)"
installed=no

finish
