#!/usr/bin/env bash
# The album in a real browser: builds an album from a small tree of pictures in lower case and
# in upper case, on this case-sensitive disk, opens the pages in headless Chromium and checks
# that the button backgrounds, the slideshow pictures and the navigation pictures load and
# that the previous / next / up links lead where the chain of folders says.
# Usage: browser_album.sh VORTENA_EXECUTABLE SOURCE_DIR
# With VORTENA_SCREENSHOTS=DIR it also leaves screenshots of an album page and a slideshow page.
set -uo pipefail
exe=$1
src=$2
chromium=${CHROMIUM:-/usr/bin/chromium}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
checks=0

ok() { checks=$((checks + 1)); echo "ok   $1"; }
fail() { checks=$((checks + 1)); failures=$((failures + 1)); echo "FAIL $1"; }
check() {  # check NAME CONDITION...
  local name=$1
  shift
  if "$@"; then ok "$name"; else fail "$name"; fi
}

if [ ! -x "$chromium" ]; then
  echo "FAIL no browser at $chromium (install Debian's chromium)"
  exit 1
fi

browser() {  # browser OUTPUT-OPTION URL: a fresh profile every time, nothing from the network
  local profile
  profile=$(mktemp -d "$work/profile.XXXXXX")
  "$chromium" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$profile" --window-size=1100,850 --virtual-time-budget=6000 \
    "$1" "$2" 2>>"$work/browser.log"
}

# What the browser made of PAGE (a host path): the lines of the probe, one per picture, link
# and background.
probe() {
  local page=$1
  local copy
  copy="$(dirname "$page")/zz-probe-$(basename "$page")"
  { cat "$page"; echo "<script>"; cat "$src/tests/scripts/browser_probe.js"; echo "</script>"; } >"$copy"
  browser --dump-dom "file://$copy" | sed -n '/<pre id="probe">/,/<\/pre>/p' | sed '1d;$d' \
    | sed 's/&amp;/\&/g'
  rm -f "$copy"
}

url_path() {  # the host path of a file:// URL (percent escapes decoded)
  local path=${1#file://}
  printf '%b\n' "${path//%/\\x}"
}
has() { grep -q -- "$2" <<<"$1"; }  # has LINES PATTERN
count() { grep -c -- "$2" <<<"$1" || true; }  # count LINES PATTERN

# --- The tree of pictures: upper, lower and mixed-case names, a space, an accent, a GIF.
c="$work/c"
mkdir -p "$c/foto/Sub Cartella" "$c/lower" "$c/upper"
cp "$src/resources/sfondo1g.jpg" "$c/foto/Mare.JPG"
cp "$src/resources/foto-1a.jpg" "$c/foto/MONTI.jpg"
cp "$src/resources/pulsante.jpg" "$c/foto/Sub Cartella/Città.Jpg"
cp "$src/resources/sfondo_2.gif" "$c/foto/Sub Cartella/TRAMONTO.GIF"
cp "$src/resources/diaposit.jpg" "$c/foto/Sub Cartella/lago.jpg"

build() {  # build FOLDER OPTION: an album of two pictures a folder, so three folders
  cat >"$work/$1.script" <<END
option $2
set txtPATH_RICERCA C:\\foto\\
set txtNOME_FILE_HTM C:\\$1\\index.htm
set txtMAX_N_FILES 2
click cmdCONFERMA_Tutti
answer no
click Command1
END
  "$exe" --script "$work/$1.script" --drive "C=$c" --program-dir "$src/resources" \
    >"$work/$1.transcript" 2>&1
}

# check_album FOLDER INDEX DIR MENU: the album page FOLDER/INDEX and its entry folders
# FOLDER/DIR0001/MENU ... as the build's letter case names them.
check_album() {
  local folder=$1 index=$2 dir=$3 menu=$4 case=$5
  local album="$c/$folder"
  local page="$album/$index"
  echo "--- $case case: $page"
  check "$case: the album page exists as $index" test -f "$page"
  local folders=("$album/${dir}"0*)
  check "$case: three entry folders named ${dir}0001 to ${dir}0003" \
    test "${#folders[@]}" -eq 3 -a -d "$album/${dir}0003"

  local lines
  lines=$(probe "$page")
  echo "$lines" | sed 's/^/     /'
  check "$case: the album page ran its probe" test -n "$lines"
  check "$case: the page background loads" has "$lines" '^background body file:'
  check "$case: one button per entry folder" test "$(count "$lines" '^background cell')" -eq 3
  check "$case: every button background loads" \
    test "$(count "$lines" '^background cell[0-9]* file:.*/pulsante.jpg$')" -eq 3 -o \
    "$(count "$lines" '^background cell[0-9]* file:.*/PULSANTE.JPG$')" -eq 3
  check "$case: the legend pictures load and show" \
    test "$(count "$lines" '^img n[0-9]* loaded shown')" -eq 5
  check "$case: the page has one link per button" test "$(count "$lines" '^link ')" -eq 3

  local k=1
  while read -r _ _ url; do
    local target
    target=$(url_path "$url")
    local expected="$album/${dir}000$k/$menu"
    check "$case: button $k leads to ${dir}000$k/$menu" test "$target" == "$expected" -a -f "$target"
    k=$((k + 1))
  done < <(grep '^link ' <<<"$lines")

  local n
  for n in 1 2 3; do
    local show="$album/${dir}000$n/$menu"
    local pictures
    pictures=$(find "$album/${dir}000$n" -maxdepth 1 -iname 'img_*' | wc -l)
    lines=$(probe "$show")
    echo "    slideshow $n:"
    echo "$lines" | sed 's/^/     /'
    local loaded hidden broken
    loaded=$(count "$lines" '^img n[0-9]* loaded shown')
    hidden=$(count "$lines" '^img n[0-9]* missing hidden')
    broken=$(count "$lines" '^img n[0-9]* missing shown')
    # The strip holds one place per picture of the folder; the three navigation pictures stand
    # before it.
    check "$case: slideshow $n shows its $pictures pictures and the 3 navigation pictures" \
      test "$loaded" -eq $((pictures + 3))
    check "$case: slideshow $n has no empty places" test "$hidden" -eq 0
    check "$case: slideshow $n shows no broken picture" test "$broken" -eq 0
    check "$case: slideshow $n has a picture on the stage" \
      has "$lines" '^img vista[AB] loaded shown visibile '
    check "$case: slideshow $n backgrounds load" \
      test "$(count "$lines" '^background \(body\|stage\) file:')" -eq 2

    local previous next
    if [ $n -eq 1 ]; then previous="$album/$index"; else previous="$album/${dir}000$((n - 1))/$menu"; fi
    if [ $n -eq 3 ]; then next="$album/$index"; else next="$album/${dir}000$((n + 1))/$menu"; fi
    local id expected
    for id in precedente su successiva; do
      case $id in
        precedente) expected=$previous ;;
        su) expected="$album/$index" ;;
        successiva) expected=$next ;;
      esac
      local url target
      url=$(sed -n "s/^link $id //p" <<<"$lines")
      target=$(url_path "$url")
      check "$case: slideshow $n link $id leads to ${expected#"$album/"}" \
        test "$target" == "$expected" -a -f "$target"
    done
  done
}

build lower Option2
check "lower case: the build ran" grep -q "Visualizzo la pagina creata" "$work/lower.transcript"
check_album lower index.htm dir_ menu.htm "lower"
build upper Option1
check "upper case: the build ran" grep -q "Visualizzo la pagina creata" "$work/upper.transcript"
check_album upper INDEX.HTM DIR_ MENU.HTM "upper"

if [ -n "${VORTENA_SCREENSHOTS:-}" ]; then
  mkdir -p "$VORTENA_SCREENSHOTS"
  browser --screenshot="$VORTENA_SCREENSHOTS/album.png" "file://$c/lower/index.htm"
  browser --screenshot="$VORTENA_SCREENSHOTS/slideshow.png" "file://$c/upper/DIR_0002/MENU.HTM"
fi

echo "$checks checks, $failures failed"
if [ $failures -ne 0 ]; then
  echo "--- transcripts"
  cat "$work/lower.transcript" "$work/upper.transcript"
  echo "--- browser messages"
  tail -n 30 "$work/browser.log"
  exit 1
fi
