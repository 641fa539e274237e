#!/usr/bin/env bash
# `vortena build`, `vortena scan`, `vortena check`, --help and --version through the real executable: the
# dispatch of the forms, their exit statuses and streams, and the program folder found beside
# the executable.
# Usage: command_line_cli.sh VORTENA_EXECUTABLE SOURCE_DIR
set -uo pipefail
exe=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/check.bash"

for form in "" "build" "scan" "check" "--script -"; do
  case $form in
    build|scan|check) usage="Usage: vortena $form [OPTION]..." ;;
    *) usage="Usage: vortena [OPTION]..." ;;
  esac
  out=$("$exe" $form --help </dev/null 2>"$work/err")
  check "'$form --help' exits 0 with the usage on stdout" "0:$usage:" \
    "$?:$(echo "$out" | head -1 | cut -d' ' -f1-4 | sed 's/ SOURCE_FOLDER//;s/ PAGE//'):$(cat "$work/err")"
  check "'$form --version'" "0:vortena 0.1" "$?:$("$exe" $form --version </dev/null | head -1)"
done

mkdir -p "$work/c/foto/mare"
printf 'a' > "$work/c/foto/Uno.JPG"
printf 'b' > "$work/c/foto/mare/due.gif"
check "scan lists the media" "0:C:\\foto\\Uno.JPG C:\\foto\\mare\\due.gif" \
  "$("$exe" scan --drive "C=$work/c" "$work/c/foto" 2>&1 | tr '\n' ' ' | sed 's/^/0:/;s/ $//')"

(cd "$work/c" && "$exe" build --drive "C=$work/c" foto 'C:\foto\index.htm' >"$work/out" 2>"$work/err")
check "build exits 0 and says nothing" "0::" "$?:$(cat "$work/out"):$(cat "$work/err")"
check "build uses the program folder beside the executable" yes \
  "$(cmp -s "$work/c/foto/pulsante.jpg" "$(dirname "$exe")/pulsante.jpg" && echo yes)"
check "sources renamed to lower case" "uno.jpg" "$(ls "$work/c/foto" | grep -i uno)"

"$exe" build --drive "C=$work/c" "$work/c/foto" 'C:\foto\index.htm' >/dev/null 2>"$work/err"
check "existing page without --yes" "1:vortena: Elenco  $work/c/foto/index.htm  gia' esistente, continuo (S/N) -> no" \
  "$?:$(cat "$work/err")"

VORTENA_DRIVES="D=$work/c;bad;E=$work/gone" "$exe" scan --drive "C=$work/c" "$work/c/foto" >/dev/null 2>"$work/err"
check "a malformed VORTENA_DRIVES item and a drive over a missing folder are told" \
  "0:vortena: warning: VORTENA_DRIVES item 'bad' is not L=DIR; it is ignored|vortena: warning: drive E: is mapped to $work/gone, which is not a folder" \
  "$?:$(paste -sd'|' "$work/err")"
VORTENA_DRIVES="bad;E=$work/c" "$exe" scan 'E:\foto' 2>/dev/null | head -1 >"$work/out"
check "the items after a malformed one are kept (the build above renamed Uno.JPG)" 'E:\foto\uno.jpg' "$(cat "$work/out")"

# An album of a real picture (the program's own), checked whole, then with a copy gone.
mkdir -p "$work/d/foto" "$work/d/album"
cp "$(dirname "$exe")/diaposit.jpg" "$work/d/foto/uno.jpg"
"$exe" build --drive "C=$work/d" 'C:\foto' 'C:\album\index.htm' >/dev/null 2>&1
"$exe" check "$work/d/album/index.htm" >"$work/out" 2>"$work/err"
check "check of a whole album exits 0" "0:Nothing found: the album is whole and safe to publish.:" \
  "$?:$(tail -1 "$work/out"):$(cat "$work/err")"
rm "$work/d/album/dir_0001/img_001.jpg"
"$exe" check --json "$work/d/album/index.htm" >"$work/out" 2>"$work/err"
check "check --json tells the copy gone and exits 1" '1:"problem": "missing":' \
  "$?:$(grep -o '"problem": "missing"' "$work/out"):$(cat "$work/err")"
"$exe" check "$work/d/album/nothing.htm" >/dev/null 2>&1
check "check of a page that is not there exits 2" 2 "$?"

"$exe" build --frobnicate a b >/dev/null 2>"$work/err"
check "bad option" "2:Usage: vortena build [OPTION]... SOURCE_FOLDER PAGE" "$?:$(sed -n 2p "$work/err")"
"$exe" --frobnicate </dev/null >/dev/null 2>"$work/err"
check "bad option of the window" "2:vortena: Unknown option 'frobnicate'." "$?:$(head -1 "$work/err")"

finish
