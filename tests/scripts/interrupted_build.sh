#!/usr/bin/env bash
# A build stopped by a signal while its album page is pending under its hidden temporary name:
# Ctrl+C, a kill and a closed terminal end it with 128+n and leave no temporary file, the old
# page whole; a build killed outright leaves its files, which the next build removes.
# Usage: interrupted_build.sh VORTENA_EXECUTABLE SOURCE_DIR
set -uo pipefail
exe=$1
src=$2
source "$src/tests/scripts/check.bash"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A cache folder of its own: the runner's is shared with tests that may be scanning right now.
export XDG_CACHE_HOME=$work/cache
mkdir -p "$work/foto" "$work/album"
# Tiny pictures, one an entry folder: an album page of three 64 KB blocks.
(cd "$work/foto" && for n in $(seq 500); do printf x >"p$n.jpg"; done)
options=(--yes --per-folder 1 --program-dir "$src/resources")
# What the build said on standard error, its progress lines left out (a slow machine has some).
said() { grep -v '^vortena: \[' "$work/err"; }
leftovers() { find "$work/album" "$work/cache" -name '.vortena-*.tmp' | sed "s|$work/||" | sort; }

# Waits up to 20 s for the build's temporary file of the page; false when the build ended first.
pagePending() {
  for _ in $(seq 2000); do
    compgen -G "$work/album/.vortena-$pid-*.tmp" >/dev/null && return 0
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.01
  done
  return 1
}
# Sets `ended` to the exit status of the build, which must end within 20 s.
waitForEnd() {
  for _ in $(seq 200); do kill -0 "$pid" 2>/dev/null && sleep 0.1; done
  local late=
  kill -KILL "$pid" 2>/dev/null && late="did not end"
  wait "$pid" 2>/dev/null
  ended=${late:-$?}
}

"$exe" build "${options[@]}" "$work/foto" "$work/album/index.htm" 2>"$work/err"
check "first build" "0:" "$?:$(said)"
cp "$work/album/index.htm" "$work/old.htm"

# Form, signal, status.
rows=("build INT 130" "build TERM 143" "build HUP 129" "--script TERM 143" "build KILL 137")
for row in "${rows[@]}"; do
  read -r form signal status <<<"$row"
  # Seven pictures a row, unlike the first build: a page the build completed would not be the
  # old one.
  command=("$exe" build "${options[@]}" --per-row 7 "$work/foto" "$work/album/index.htm")
  input=/dev/null
  if [ "$form" == --script ]; then
    command=("$exe" --script - --program-dir "$src/resources")
    input=$work/script
    cat >"$work/script" <<END
set txtPATH_RICERCA Z:${work//\//\\}\\foto
set txtNOME_FILE_HTM Z:${work//\//\\}\\album\\index.htm
click cmdCONFERMA_Tutti
set txtMAX_N_FILES 1
set txtMAX_PER_RIGA 7
answer yes
click Command1
END
  fi
  # A build that ends before its page is pending is started again, twice at most. The signals
  # that a script's background jobs ignore are reset; every copy is made again (touch), so the
  # build takes a while.
  for try in 1 2 3; do
    touch "$work"/foto/*.jpg
    env --default-signal=INT,TERM,HUP "${command[@]}" <"$input" >/dev/null 2>"$work/err" &
    pid=$!
    pagePending && break
    wait "$pid" 2>/dev/null
    echo "try $try: the build ended before its page was pending ($(tail -1 "$work/err"))"
  done
  kill "-$signal" "$pid"
  waitForEnd
  check "$form, SIG$signal: exit status" "$status" "$ended"
  check "$form, SIG$signal: the old page is whole" yes \
    "$(cmp -s "$work/old.htm" "$work/album/index.htm" && echo yes)"
  if [ "$signal" != KILL ]; then
    check "$form, SIG$signal: no temporary file left" "" "$(leftovers)"
    continue
  fi
  check "SIGKILL leaves the page's temporary file" 1 \
    "$(find "$work/album" -maxdepth 1 -name ".vortena-$pid-*.tmp" | wc -l)"
  # Files of that same dead build in an entry folder and in the cache folder, and files of the
  # user's named alike.
  lookalike=vortena-$pid-1-2.tmp
  for folder in album/dir_0001 cache/vortena; do
    printf half >"$work/$folder/.vortena-$pid-99999-1a2b.tmp"
    printf mine >"$work/$folder/.vortena-notes.tmp"
    printf mine >"$work/$folder/$lookalike"
  done
  "$exe" build "${options[@]}" "$work/foto" "$work/album/index.htm" 2>"$work/err"
  check "the next build" "0:" "$?:$(said)"
  check "it removed the dead build's temporary files, and only those" \
    "album/dir_0001/.vortena-notes.tmp cache/vortena/.vortena-notes.tmp" \
    "$(leftovers | paste -sd' ')"
  check "the user's files named alike are kept" "mine mine" \
    "$(cat "$work/album/dir_0001/$lookalike") $(cat "$work/cache/vortena/$lookalike")"
  check "its page is the first build's" yes \
    "$(cmp -s "$work/old.htm" "$work/album/index.htm" && echo yes)"
done
finish
