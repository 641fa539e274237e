#!/usr/bin/env bash
# The same script under the C locale, Italian and Turkish gives the same transcript and the same
# pages, byte for byte: a number read with a decimal point ("2.5" entries a folder) and names
# in upper case (the Turkish dotless i once made iNDEX.HTM). A locale that is not installed is
# skipped with a message (scripts/install-deps --test generates both).
# Usage: locales.sh VORTENA_EXECUTABLE SOURCE_DIR
set -uo pipefail
exe=$1
src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/check.bash"

build() {  # build LOCALE: the album of a fresh tree, its transcript and a listing of its bytes
  local out="$work/$1"
  mkdir -p "$out/c/foto/sub" "$out/c/album"
  for n in uno.jpg due.jpg tre.gif quattro.jpg cinque.jpg sub/sei.jpg sub/indice.jpg; do
    printf '%s' "$n" > "$out/c/foto/$n"
  done
  LC_ALL=$1 LANG=$1 "$exe" --script - --drive "C=$out/c" --program-dir "$src/resources" \
    > "$out/transcript" 2>&1 <<'END'
set txtPATH_RICERCA C:\foto
set txtNOME_FILE_HTM C:\album\index.htm
option Option1
set txtMAX_N_FILES 2.5
click cmdCONFERMA_Tutti
click Command1
dump
END
  (cd "$out/c" && find . -type f | LC_ALL=C sort | while read -r f; do
     # The build record holds the stamps of this disk's files, and only the folders settled
     # when the build ended: it is left out.
     case $f in */.cartelle_album) continue ;; esac
     printf '%s %s\n' "$f" "$(md5sum < "$f" | cut -d' ' -f1)"
   done) > "$out/files"
}

build C
check "C locale: three entries a folder" "yes" \
  "$([ -f "$work/C/c/album/DIR_0001/IMG_003.JPG" ] && [ -f "$work/C/c/album/INDEX.HTM" ] && echo yes)"
ran=0
for loc in it_IT.UTF-8 tr_TR.UTF-8; do
  if ! locale -a 2>/dev/null | grep -qix "$(echo "$loc" | sed 's/UTF-8/utf-\\?8/I')"; then
    echo "skip $loc: not installed (scripts/install-deps --test generates it)"
    continue
  fi
  ran=$((ran + 1))
  build "$loc"
  check "$loc: same transcript" "$(cat "$work/C/transcript")" "$(cat "$work/$loc/transcript")"
  check "$loc: same files and bytes" "$(cat "$work/C/files")" "$(cat "$work/$loc/files")"
done

# The same build clicked in the window (off screen), whose toolkit takes the user's locale.
gui=$(dirname "$exe")/vortena_gui_tests
window() {  # window LOCALE: the window test's transcript and album, dumped to one file
  LC_ALL=$1 LANG=$1 QT_QPA_PLATFORM=offscreen VORTENA_WINDOW_DUMP="$work/window-$1" \
    "$gui" --gtest_filter='WindowLocaleTest.*' > "$work/window-$1.log" 2>&1
}
if [ -x "$gui" ]; then
  window C
  check "window, C locale: the build passes" 0 "$?"
  for loc in it_IT.UTF-8 tr_TR.UTF-8; do
    [ -d "$work/$loc" ] || continue  # not installed: said above
    window "$loc"
    check "window, $loc: the build passes" 0 "$?"
    check "window, $loc: same transcript, files and bytes as in C" yes \
      "$(cmp -s "$work/window-C" "$work/window-$loc" && echo yes)"
  done
else
  echo "skip the window: $gui is not built"
fi
finish || exit 1
[ "$ran" -gt 0 ] || { echo "no test locale installed"; exit 77; }
