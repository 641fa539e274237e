#!/usr/bin/env bash
# Albums built from a tree of awkward names (make_hostile_tree.bash) with both builds, both
# letter cases, a page named index.htm and one named album.htm, a typed search folder and a
# browsed one: every link of every page must reach its file and every tag and attribute must
# be the templates' own (tests/link_check.py).
# Usage: hostile_names.sh VORTENA_EXECUTABLE SOURCE_DIR
set -uo pipefail
exe=$1
src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/check.bash"
command -v python3 >/dev/null || { echo "python3 is missing (scripts/install-deps --test)"; exit 77; }

for build in Command1 Command4; do
  for option in Option2 Option1; do
    for page in index.htm album.htm; do
      for search in typed browsed; do
        name="$build $option $page $search"
        rm -rf "$work/c"
        mkdir -p "$work/c/album"
        bash "$src/tests/scripts/make_hostile_tree.bash" "$work/c/foto"
        # The folder that foto\x\..\..\outside names when its backslashes are read as a path.
        mkdir -p "$work/c/outside"
        printf 'outside' > "$work/c/outside/Secret.JPG"
        if [ "$search" = typed ]; then
          where='set txtPATH_RICERCA C:\foto'$'\n''set txtNOME_FILE_HTM C:\album\'"$page"
          album="$work/c/album"
          per=1  # every entry a button of its own: each direct entry is linked from the page
        else
          where='dialog C:\foto\plain.gif'$'\n''click Command3'$'\n''set txtNOME_FILE_HTM C:\foto\'"$page"
          album="$work/c/foto"
          per=4
        fi
        "$exe" --script - --drive "C=$work/c" --program-dir "$src/resources" > "$work/transcript" 2>&1 <<END
$where
option $option
set txtMAX_N_FILES $per
click cmdCONFERMA_Tutti
set txtESTENSIONE htm
click cmdCONFERMA
set txtESTENSIONE mp3
click cmdCONFERMA
click $build
END
        check "$name: runs" 0 "$?"
        check "$name: no message but what each load left out" "" \
          "$(grep '^message' "$work/transcript" | grep -v "^message \"Esclusi dall'elenco ")"
        check "$name: each load tells the folder holding a backslash" 3 \
          "$(grep -c '^message .*outside (nome con' "$work/transcript")"
        allow=()
        [ "$build" = Command1 ] && [ "$page" = album.htm ] && allow=(--allow index.htm --allow INDEX.HTM)
        out=$(python3 "$src/tests/link_check.py" "$album" "$src/resources" "$page" "${allow[@]}" 2>&1)
        check "$name: every link reaches its file" 0 "$?"
        [ -n "$(echo "$out" | grep -v '^[0-9]* pages')" ] && echo "$out" | head -20
        check "$name: the file outside the tree is untouched" "Secret.JPG outside" \
          "$(ls "$work/c/outside") $(cat "$work/c/outside/Secret.JPG" 2>/dev/null)"
        check "$name: the file outside the tree is never linked" "" \
          "$(grep -ril secret "$album" --include='*.htm' --include='*.HTM')"
      done
    done
  done
done
finish
