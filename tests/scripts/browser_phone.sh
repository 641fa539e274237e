#!/usr/bin/env bash
# The album on a phone and on a desktop: builds two albums of five folders of three pictures
# each (one in lower case, one in upper case without background and title, so from the other
# header template), and checks them in headless Chromium driven through its DevTools protocol
# (browser_phone.py), then checks that Firefox ESR shows the slideshow's first picture.
# Usage: browser_phone.sh VORTENA_EXECUTABLE SOURCE_DIR
set -uo pipefail
exe=$1
src=$2
chromium=${CHROMIUM:-/usr/bin/chromium}
firefox=${FIREFOX:-/usr/bin/firefox-esr}
# Debian's Python: the test uses its standard library only.
python=/usr/bin/python3
for tool in "$chromium" "$firefox" "$python" vips; do
  command -v "$tool" >/dev/null || { echo "FAIL $tool is missing (scripts/install-deps --test)"; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# Fifteen pictures, red over noise, each a little brighter than the one before, in three folders.
c="$work/c"
mkdir -p "$c/foto/Mare" "$c/foto/Monti" "$c/foto/Lago"
vips gaussnoise "$work/noise.v" 640 480 --mean 0 --sigma 25
n=0
for folder in Mare Monti Lago; do
  for k in 1 2 3 4 5; do
    n=$((n + 1))
    vips linear "$work/noise.v" "$work/picture.v" "1 1 1" "$((180 + n * 4)) 40 40"
    vips cast "$work/picture.v" "$c/foto/$folder/foto_$k.jpg" uchar
  done
done

# build NAME OPTION...: an album of five buttons in one row, three pictures a button.
build() {
  local name=$1
  shift
  mkdir -p "$c/$name"
  if ! "$exe" build --yes --per-folder 3 --per-row 5 "$@" --drive "C=$c" \
      --program-dir "$src/resources" "$c/foto" "$c/$name/index.htm" >"$work/$name.log" 2>&1; then
    echo "FAIL the album $name was not built"
    cat "$work/$name.log"
    failures=$((failures + 1))
  fi
}
build lower
build upper --upper --no-background --no-title

PYTHONPATH="$src/tests/scripts" "$python" "$src/tests/scripts/browser_phone.py" "$chromium" \
  "$work/chromium.log" "$c/lower" "$c/upper" || failures=$((failures + 1))

# Firefox ESR: a phone-sized screenshot of the slideshow shows its first picture, that is many
# red pixels (the stage's frame and backgrounds are brown and grey).
profile="$work/firefox-profile"
mkdir -p "$profile"
HOME="$work" timeout 60 "$firefox" --headless --no-remote --profile "$profile" \
  --window-size=390,844 --screenshot "$work/firefox.png" "file://$c/lower/dir_0001/menu.htm" \
  >>"$work/firefox.log" 2>&1
if [ -s "$work/firefox.png" ] && vips copy "$work/firefox.png" "$work/firefox.ppm" 2>>"$work/firefox.log"; then
  red=$("$python" - "$work/firefox.ppm" <<'END'
import sys
data = open(sys.argv[1], "rb").read()
fields, at = [], 0
while len(fields) < 4:  # P6, width, height, maximum; comments from '#' to the end of a line
    while data[at:at + 1].isspace(): at += 1
    if data[at:at + 1] == b"#":
        at = data.index(b"\n", at)
        continue
    end = at
    while not data[end:end + 1].isspace(): end += 1
    fields.append(data[at:end]); at = end
pixels = data[at + 1:]
width, height = int(fields[1]), int(fields[2])
red = sum(1 for i in range(0, width * height * 3, 3)
          if pixels[i] > 150 and pixels[i + 1] < 110 and pixels[i + 2] < 110)
print(100 * red // (width * height))
END
)
  if [ "${red:-0}" -ge 10 ]; then
    echo "ok   Firefox shows the first picture ($red% of the screen)"
  else
    echo "FAIL Firefox shows no picture (${red:-?}% of the screen is the picture's red)"
    failures=$((failures + 1))
  fi
else
  echo "FAIL Firefox made no screenshot"
  tail -n 20 "$work/firefox.log"
  failures=$((failures + 1))
fi
[ -n "${VORTENA_SCREENSHOTS:-}" ] && cp "$work/firefox.png" "$VORTENA_SCREENSHOTS/firefox-phone.png"

if [ $failures -ne 0 ]; then
  echo "--- browser messages"
  tail -n 30 "$work/chromium.log"
  exit 1
fi
