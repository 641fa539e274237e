#!/usr/bin/env bash
# The image library is a module loaded at the first web picture: the program does not link it,
# a build without web pictures needs no module at all, a web build without the module tells the
# picture it could not make, and with the module beside the program it makes it.
# Usage: imaging_module.sh VORTENA_EXECUTABLE SOURCE_DIR
set -uo pipefail
exe=$1
src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/check.bash"

check "the program does not link the image library" "" "$(ldd "$exe" | grep -o 'libvips[^ ]*' | head -1)"

# build BINARY OPTIONS...: a fresh album of one photo in C:\foto; prints the exit status.
build() {
  local binary=$1
  shift
  rm -rf "$work/c" && mkdir -p "$work/c/foto"
  cp "$src/resources/pulsante.jpg" "$work/c/foto/a.jpg"
  "$binary" build "$@" --program-dir "$src/resources" --drive "C=$work/c" "$work/c/foto" \
    'C:\foto\index.htm' 2>"$work/err"
  echo $?
}
made() { [ -s "$work/c/foto/dir_0001/$1" ] && echo yes || echo no; }

# The executable alone in a folder: no module beside it, none in ../lib.
mkdir -p "$work/alone"
cp "$exe" "$work/alone/vortena"
check "without the module, a plain build" "0:yes" "$(build "$work/alone/vortena"):$(made img_001.jpg)"
check "without the module, a web build tells the copy it could not make" \
  "1:no:Errore nella copia delle immagini" \
  "$(build "$work/alone/vortena" --web-size 100):$(made min_001.jpg):$(grep -o 'Errore nella copia delle immagini' "$work/err")"
check "with the module beside the program, a web build" "0:yes:yes" \
  "$(build "$exe" --web-size 100):$(made img_001.jpg):$(made min_001.jpg)"

finish
