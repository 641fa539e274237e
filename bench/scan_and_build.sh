#!/usr/bin/env bash
# Times the list load and a single-page album build through the script runner, against find and
# cp over the same files on the same disk, and reports the peak memory of each run.
#
#   bench/scan_and_build.sh path/to/vortena [work-parent-folder]
#
# The trees are made under a fresh temporary folder (in the given folder, else $TMPDIR or /tmp),
# removed at the end. Needs about 6 GB free there and /usr/bin/time (package `time`).
set -euo pipefail
source "$(dirname "$0")/common.bash"

[[ -x /usr/bin/time ]] || { echo "$0: /usr/bin/time is missing (apt-get install time)" >&2; exit 2; }
bench_start vortena-bench "$@"
runs=${BENCH_RUNS:-5}

now() { date +%s%N; }
ms() { echo $(( ($2 - $1) / 1000000 )); }

# Best wall time and best processor time (user + system), in milliseconds, of `runs` runs of a
# command, output thrown away: "WALL CPU". The machine may be shared, so the processor time is
# the steadier figure of the two.
measure() {
  local best_wall= best_cpu= out r u s wall cpu run
  for ((run = 0; run < runs; run++)); do
    out=$( { TIMEFORMAT='%3R %3U %3S'; time "$@" > /dev/null 2>&1; } 2>&1 )
    read -r r u s <<< "$out"
    wall=$(awk -v r="$r" 'BEGIN { printf "%d", r * 1000 }')
    cpu=$(awk -v u="$u" -v s="$s" 'BEGIN { printf "%d", (u + s) * 1000 }')
    if [[ -z $best_wall || $wall -lt $best_wall ]]; then best_wall=$wall; fi
    if [[ -z $best_cpu || $cpu -lt $best_cpu ]]; then best_cpu=$cpu; fi
  done
  echo "$best_wall $best_cpu"
}

# Runs a script of the runner with C: on the work folder; prints the transcript.
vortena_script() {
  "$exe" --script "$1" --drive "C=$work"
}

# Peak resident memory in MB of one run of a script (/usr/bin/time -v).
peak_mb() {
  /usr/bin/time -v -o "$work/rss" "$exe" --script "$1" --drive "C=$work" > "$work/peak.out"
  echo $(( $(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/rss") / 1024 ))
}

# `folders` folders under $1, each with `files` files written from the text in $4.
make_tree() {
  local root=$1 folders=$2 files=$3 content=$4 d f dir file
  for ((d = 0; d < folders; d++)); do
    printf -v dir '%s/d%04d' "$root" "$d"
    mkdir -p "$dir"
    for ((f = 0; f < files; f++)); do
      printf -v file '%s/p%04d.jpg' "$dir" "$f"
      printf '%s' "$content" > "$file"
    done
  done
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b == 0) b = 1; printf "%.2f", a / b }'; }

echo "work folder: $work"
echo "making the trees..."
small=$(head -c 1536 /dev/zero | tr '\0' 'x')
make_tree "$work/small" 100 100 "$small"
make_tree "$work/huge" 1000 100 ""
mkdir -p "$work/big"
head -c $((2 * 1024 * 1024)) /dev/urandom > "$work/big/p0000.jpg"
for ((f = 1; f < 1000; f++)); do cp "$work/big/p0000.jpg" "$(printf '%s/big/p%04d.jpg' "$work" "$f")"; done
sync

cat > "$work/empty.vs" <<'END'
# start-up only: the fixed cost of every run
END
cat > "$work/scan_small.vs" <<'END'
set txtPATH_RICERCA C:\small
click cmdCONFERMA_Tutti
END
cat > "$work/scan_huge.vs" <<'END'
set txtPATH_RICERCA C:\huge
click cmdCONFERMA_Tutti
END
cat > "$work/scan_big.vs" <<'END'
set txtPATH_RICERCA C:\big
click cmdCONFERMA_Tutti
END
# A template missing from the program folder costs a question; yes goes on without it.
{
  printf 'set txtPATH_RICERCA C:\\big\nset txtNOME_FILE_HTM C:\\album\\index.htm\n'
  printf 'click cmdCONFERMA_Tutti\n'
  for template in MENU.HTM INTESTAZ.HTM PIEDE.HTM; do
    [[ -e $(dirname "$exe")/$template ]] || printf 'answer yes\n'
  done
  printf 'click Command1\n'
} > "$work/build_big.vs"

# The loads must find every picture.
for tree in small huge; do
  printf 'set txtPATH_RICERCA C:\\%s\nclick cmdCONFERMA_Tutti\ndump\n' "$tree" > "$work/count.vs"
  echo "entries listed in $tree: $(vortena_script "$work/count.vs" | sed -n 's/^control txtNUM_FILE enabled "\(.*\)"$/\1/p')"
done

echo
# Compares a load of the runner with find over the same tree; the runner's start-up (a script
# without lines) is taken off its figures. Two loads: a first one, with no listings kept of the
# tree (each run gets a cache folder of its own), and one that finds the listings a load of the
# tree kept (a second look at the same folder).
first_scan() { XDG_CACHE_HOME="$work/cache/first-$(now)" vortena_script "$1"; }
scan_again() { XDG_CACHE_HOME="$work/cache/again" vortena_script "$1"; }
compare_scan() {
  local tree=$1 script=$2 goal=$3
  find "$tree" -type f > /dev/null  # warm the folder cache for both
  scan_again "$script" > /dev/null  # keeps the listings for the second kind of load
  read -r find_wall find_cpu <<< "$(measure find "$tree" -type f)"
  read -r first_wall first_cpu <<< "$(measure first_scan "$script")"
  read -r again_wall again_cpu <<< "$(measure scan_again "$script")"
  printf '%-22s wall %6d ms   cpu %6d ms\n' "find:" "$find_wall" "$find_cpu"
  printf '%-22s wall %6d ms   cpu %6d ms\n' "vortena start-up:" "$startup_wall" "$startup_cpu"
  local kind wall cpu
  for kind in first again; do
    wall=${kind}_wall cpu=${kind}_cpu
    local scan_wall=$((${!wall} - startup_wall)) scan_cpu=$((${!cpu} - startup_cpu))
    printf '%-22s wall %6d ms   cpu %6d ms   = %s x find (wall), %s x find (cpu); goal <= %s\n' \
      "vortena scan, $kind:" "$scan_wall" "$scan_cpu" "$(ratio "$scan_wall" "$find_wall")" \
      "$(ratio "$scan_cpu" "$find_cpu")" "$goal"
  done
}

read -r startup_wall startup_cpu <<< "$(measure vortena_script "$work/empty.vs")"

echo "== scan: 10,000 pictures in 100 folders"
compare_scan "$work/small" "$work/scan_small.vs" 2
echo "peak memory:       $(peak_mb "$work/scan_small.vs") MB"

echo
echo "== scan: 100,000 entries in 1,000 folders"
compare_scan "$work/huge" "$work/scan_huge.vs" 1.2
echo "peak memory:       $(peak_mb "$work/scan_huge.vs") MB (goal < 100)"

echo
echo "== build: single page of 1,000 pictures of 2 MB"
# Wall time of one copy of the big tree: "UNTIL-WRITTEN UNTIL-SYNCED" (the copying process
# alone, and with the data flushed to disk).
time_cp() {
  rm -rf "$work/cp_copy"
  sync
  local start mid end
  start=$(now)
  cp -r "$work/big" "$work/cp_copy"
  mid=$(now)
  sync
  end=$(now)
  echo "$(ms "$start" "$mid") $(ms "$start" "$end")"
  rm -rf "$work/cp_copy"
}

# The same for one build of the big tree into a fresh album folder.
time_build() {
  rm -rf "$work/album"
  mkdir -p "$work/album"
  sync
  local start mid end
  start=$(now)
  vortena_script "$work/build_big.vs" > "$work/build.out"
  mid=$(now)
  sync
  end=$(now)
  echo "$(ms "$start" "$mid") $(ms "$start" "$end")"
}

min() { if [[ -z $1 || $2 -lt $1 ]]; then echo "$2"; else echo "$1"; fi; }

# cp and the build take turns, each going first in every other round, so that neither always
# meets the disk in the same state; the best round of each counts.
read -r load_wall load_cpu <<< "$(measure vortena_script "$work/scan_big.vs")"
cp_ms= cp_sync_ms= build_run_ms= build_sync_ms= cp_all= build_all=
for ((round = 0; round < ${BENCH_BUILD_ROUNDS:-3}; round++)); do
  if ((round % 2 == 0)); then
    read -r c cs <<< "$(time_cp)"
    read -r b bs <<< "$(time_build)"
  else
    read -r b bs <<< "$(time_build)"
    read -r c cs <<< "$(time_cp)"
  fi
  cp_all+=" $c/$cs"
  build_all+=" $b/$bs"
  cp_ms=$(min "$cp_ms" "$c")
  cp_sync_ms=$(min "$cp_sync_ms" "$cs")
  build_run_ms=$(min "$build_run_ms" "$b")
  build_sync_ms=$(min "$build_sync_ms" "$bs")
done
build_ms=$((build_run_ms - load_wall))
build_sync=$((build_sync_ms - load_wall))
copies=$(find "$work/album" -type f -name '*.jpg' -size +1M | wc -l)
echo "rounds (ms, written/synced): cp${cp_all}; vortena${build_all}"
echo "start-up and load alone:     ${load_wall} ms"
echo "written:  cp ${cp_ms} ms, vortena build ${build_ms} ms = $(ratio "$build_ms" "$cp_ms") x cp (goal <= 1.5)"
echo "synced:   cp ${cp_sync_ms} ms, vortena build ${build_sync} ms = $(ratio "$build_sync" "$cp_sync_ms") x cp"
echo "pictures copied:   ${copies} of 1000"
grep -v '^\(beep\|pointer .*\)$' "$work/build.out" | sed 's/^/transcript: /' | head -5
rm -rf "$work/album"
mkdir -p "$work/album"
echo "peak memory:       $(peak_mb "$work/build_big.vs") MB"
