#!/usr/bin/env bash
# Times album builds against cp -r of the album each build writes (the floor: the same files and
# bytes) and, for information, against cp -r of the sources; prints each ratio, the growth
# exponent of the build time between the smallest and the largest size, the system calls per
# copied picture, and the peak memory of the largest build.
#
#   bench/scale.sh path/to/vortena [work-parent-folder]
#
# BENCH_SIZES   entries of the single-page builds, smallest first (default "2500")
# BENCH_CAMERA  pictures of the camera-name builds and of the one-folder build (default 2500)
# BENCH_PAGES   pages of the paged build (default 2500)
# BENCH_REBUILD entries of the rebuild of an unchanged album (default 2500)
# BENCH_PEAK    entries of the peak-memory build (default: no such build)
# BENCH_KB      size of each generated picture in KB (default 1.5: the file-system work alone;
#               photo-sized pictures, a few hundred KB, show the share of the bytes copied)
# BENCH_REPEAT  times each build and its cp -r are timed, one after the other (default 1); the
#               medians are printed. On a shared machine whose disk speed drifts, 3 or more.
# The issue's sizes: BENCH_SIZES="2500 10000 20000" BENCH_CAMERA=16000 BENCH_PAGES=10000
# BENCH_REBUILD=10000 BENCH_PEAK=100000 BENCH_REPEAT=3. Needs /usr/bin/time and strace.
set -euo pipefail
source "$(dirname "$0")/common.bash"

bench_start vortena-scale "$@"
sizes=(${BENCH_SIZES:-2500})
camera=${BENCH_CAMERA:-2500}
pages=${BENCH_PAGES:-2500}
rebuild=${BENCH_REBUILD:-2500}
peak=${BENCH_PEAK:-}

now() { date +%s%N; }
ms() { echo $(( ($2 - $1) / 1000000 )); }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b == 0) b = 1; printf "%.2f", a / b }'; }
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# A tree of `entries` pictures of $BENCH_KB KB under $1: `per` pictures a folder, named by printf
# pattern $4 (p%04d.jpg, DSC_%04d.JPG, ...).
make_tree() {
  local root=$1 entries=$2 per=$3 pattern=$4
  python3 - "$root" "$entries" "$per" "$pattern" "${BENCH_KB:-1.5}" <<'PY'
import os, sys
root, entries, per, pattern = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
data = os.urandom(int(float(sys.argv[5]) * 1024))
for i in range(entries):
    folder = os.path.join(root, "d%05d" % (i // per))
    if i % per == 0:
        os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, pattern % i), "wb") as f:
        f.write(data)
PY
}

# Runs one build of tree $1 into a fresh album at $2 with the options that follow; prints its
# wall time in ms, and leaves its processor time in ms (user and system, all threads) in
# $work/build.cpu. Each build is a first load of its tree: it gets a program cache of its own,
# without listings kept by an earlier build, unless $build_cache names one.
build() {
  local tree=$1 album=$2
  shift 2
  discard "$album"
  mkdir -p "$album"
  sync
  local start end
  start=$(now)
  XDG_CACHE_HOME=${build_cache:-$work/cache/$(now)} /usr/bin/time -f "%U %S" -o "$work/build.time" \
    "$exe" build --yes --drive "C=$work" "$@" "$tree" "$album/index.htm" > "$work/build.out" 2>&1 || true
  end=$(now)
  awk '{ printf "%d\n", ($1 + $2) * 1000 }' "$work/build.time" > "$work/build.cpu"
  ms "$start" "$end"
}

# Wall time in ms of cp -r of folder $1.
copy_time() {
  discard "$work/cp_copy"
  sync
  local start end
  start=$(now)
  cp -r "$1" "$work/cp_copy"
  end=$(now)
  discard "$work/cp_copy"
  ms "$start" "$end"
}

# Gives every file below $1 its name in upper case again, as a camera writes it: the lower-case
# build renamed them in place. The renames alone are timed (the names are gathered first) and
# their processor time in ms left in $work/renames.ms: the kernel's own cost of the renames
# every such build makes, which no build can go below.
camera_names() {
  python3 - "$1" "$work/renames.ms" <<'PY'
import os, sys, time
moves = [(os.path.join(folder, name), os.path.join(folder, name.upper()))
         for folder, _, files in os.walk(sys.argv[1]) for name in files if name != name.upper()]
start = time.process_time()
for old, new in moves:
    os.rename(old, new)
with open(sys.argv[2], "w") as out:
    print(round((time.process_time() - start) * 1000), file=out)
PY
}

# One build case: "NAME TREE OPTIONS..."; prints the line of figures and leaves the build time
# in $last_ms. $before_build, when set, is run on the tree before each build, untimed.
build_case() {
  local name=$1 tree=$2
  shift 2
  local b album_cp src_cp files builds=() album_cps=() src_cps=()
  for ((r = 0; r < ${BENCH_REPEAT:-1}; ++r)); do
    [[ -n ${before_build:-} ]] && "$before_build" "$tree"
    builds+=("$(build "$tree" "$work/album" "$@")")
    album_cps+=("$(copy_time "$work/album")")
    src_cps+=("$(copy_time "$tree")")
  done
  b=$(median "${builds[@]}") album_cp=$(median "${album_cps[@]}") src_cp=$(median "${src_cps[@]}")
  files=$(find "$work/album" -type f | wc -l)
  printf '%-34s build %7d ms  cp album %6d ms (%s x, goal <= 1.5)  cp sources %6d ms (%s x)  %d files\n' \
    "$name" "$b" "$album_cp" "$(ratio "$b" "$album_cp")" "$src_cp" "$(ratio "$b" "$src_cp")" "$files"
  if ((${#builds[@]} > 1)); then
    local runs="" i
    for i in "${!builds[@]}"; do runs+=" ${builds[i]}/${album_cps[i]}"; done
    echo "    runs, build/cp album ms:$runs"
  fi
  last_ms=$b last_cp=$album_cp
}

echo "work folder: $work"
first_n= first_ms= first_cp= last_n= last_ms=
exponent() { awk -v a="$1" -v b="$2" -v m="$3" -v n="$4" 'BEGIN { printf "%.2f", log(b / a) / log(n / m) }'; }
for n in "${sizes[@]}"; do
  make_tree "$work/one$n" "$n" 1 "p%05d.jpg"
  make_tree "$work/nine$n" "$n" 9 "p%05d.jpg"
  build_case "single page, $n, one a folder" "$work/one$n" --per-folder 1
  if [[ -z $first_n ]]; then first_n=$n first_ms=$last_ms first_cp=$last_cp; fi
  end_n=$n end_ms=$last_ms end_cp=$last_cp
  build_case "single page, $n, nine a folder" "$work/nine$n" --per-folder 9
  discard "$work/one$n"; discard "$work/nine$n"
done
if [[ $end_n != "$first_n" ]]; then
  # cp -r of the albums grows too on a disk that slows as it fills: its own exponent beside.
  echo "growth exponent ${first_n} -> ${end_n} entries (one a folder): $(exponent "$first_ms" "$end_ms" \
    "$first_n" "$end_n") (goal <= 1.1); cp -r of the albums: $(exponent "$first_cp" "$end_cp" "$first_n" "$end_n")"
fi

# Camera names: the lower-case build renames every source in place; the same build of names
# already in lower case is the reference.
make_tree "$work/camera" "$camera" 100 "DSC_%05d.JPG"
make_tree "$work/lower" "$camera" 100 "dsc_%05d.jpg"
before_build=camera_names
build_case "camera names, $camera, lower case" "$work/camera"
before_build=
cam_ms=$last_ms
build_case "lower-case names, $camera" "$work/lower"
echo "camera names / lower-case names: $(ratio "$cam_ms" "$last_ms") (goal <= 1.10)"
# The same from builds made in turn, camera names then lower case, so that the drift of the
# disk's speed weighs on both alike: the median of the ratios of the pairs. Beside it the
# processor time of each build (user and system, all threads) and that of the same renames in a
# bare loop: where the processors are all busy, the wall times follow the processor times, and
# the renames are a cost that the camera build cannot leave out.
pairs=() cam_cpus=() low_cpus=() renames=()
for ((r = 0; r < ${BENCH_REPEAT:-1}; ++r)); do
  camera_names "$work/camera"
  renames+=("$(cat "$work/renames.ms")")
  cam_ms=$(build "$work/camera" "$work/album")
  cam_cpus+=("$(cat "$work/build.cpu")")
  pairs+=("$(ratio "$cam_ms" "$(build "$work/lower" "$work/album")")")
  low_cpus+=("$(cat "$work/build.cpu")")
done
echo "camera names / lower-case names, built in turn: $(median "${pairs[@]}") (goal <= 1.10; pairs:${pairs[*]/#/ })"
cam_cpu=$(median "${cam_cpus[@]}") low_cpu=$(median "${low_cpus[@]}")
echo "    processor time, medians: camera names $cam_cpu ms, lower-case names $low_cpu ms" \
  "($(ratio "$cam_cpu" "$low_cpu") x); the $camera renames alone, in a bare loop: $(median "${renames[@]}") ms"
discard "$work/camera"; discard "$work/lower"

make_tree "$work/onefolder" "$camera" "$camera" "DSC_%05d.JPG"
before_build=camera_names
build_case "$camera camera names in one folder" "$work/onefolder"
before_build=
discard "$work/onefolder"

make_tree "$work/paged" "$pages" 1 "p%05d.jpg"
build_case "paged build, $pages pages" "$work/paged" --paged --per-folder 1
discard "$work/paged"

# A rebuild of the album just built, nothing changed: the copies and the pages stay as they are.
# The rebuild finds the listings of the source folders that the first build kept.
make_tree "$work/again" "$rebuild" 1 "p%05d.jpg"
build_cache="$work/cache/again"
first=$(build "$work/again" "$work/album" --per-folder 1)
cp "$work/build.out" "$work/first.out"
# Each rebuild is timed after a sync, as the first build is, and each must tell what the first
# build told: the progress lines tell times, which differ; every other message must be the same.
messages() { grep -Ev '^vortena: (\[|[0-9]+ found)' "$1" || true; }
agains=() same="same messages"
for ((r = 0; r < ${BENCH_REPEAT:-1}; ++r)); do
  sync
  start=$(now)
  XDG_CACHE_HOME=$build_cache \
    "$exe" build --yes --drive "C=$work" --per-folder 1 "$work/again" "$work/album/index.htm" > "$work/build.out" 2>&1 || true
  agains+=("$(ms "$start" "$(now)")")
  [[ "$(messages "$work/first.out")" == "$(messages "$work/build.out")" ]] || same="MESSAGES DIFFER"
done
again=$(median "${agains[@]}")
echo "rebuild of an unchanged $rebuild-entry album: first $first ms, rebuild $again ms = $(ratio "$first" "$again") x faster (goal >= 10), $same"
if ((${#agains[@]} > 1)); then echo "    rebuilds, ms: ${agains[*]}"; fi
build_cache=
discard "$work/again"; discard "$work/album"

# System calls: a build of 200 entries, one a folder, under strace, each thread traced to a file
# of its own. A copy is the run of calls of one thread from the look-ups of its source (the
# stats just before the source's open) to the close of the source.
if command -v strace > /dev/null; then
  make_tree "$work/traced" 200 1 "p%05d.jpg"
  mkdir -p "$work/album"
  strace -ff -qq -o "$work/trace" "$exe" build --yes --drive "C=$work" --per-folder 1 \
    "$work/traced" "$work/album/index.htm" > /dev/null 2>&1 || true
  python3 - "$work/traced" "$work"/trace.* <<'PY'
import re, sys
source = sys.argv[1]
counts = []
total = 0
for trace in sys.argv[2:]:
  lines = list(open(trace))
  total += sum(1 for l in lines if re.match(r'[a-z_0-9]+\(', l))
  for i, line in enumerate(lines):
      m = re.match(r'openat\(AT_FDCWD, "' + re.escape(source) + r'/[^"]*\.jpg", .*\) = (\d+)', line)
      if not m:
          continue
      fd = m.group(1)
      opened = re.search(r'"([^"]*)"', line).group(1)
      start = i
      # Back over the look-ups of the source's folders that opened the copy: their stats, and
      # reads of them.
      def of_source(call):
          named = re.search(r'"([^"]*)"', call)
          return named is not None and opened.startswith(named.group(1) + "/")
      while start > 0:
          prev = lines[start - 1]
          if (prev.startswith("newfstatat(AT_FDCWD") and of_source(prev)) or prev.startswith(
                  ("getdents64(", 'newfstatat(')) and not prev.startswith("newfstatat(AT_FDCWD") or (
                  prev.startswith("openat(") and "O_DIRECTORY" in prev and of_source(prev)) or (
                  prev.startswith("close(") and start >= 2
                  and lines[start - 2].startswith("getdents64(")):
              start -= 1
          else:
              break
      end = i
      while end < len(lines) and not lines[end].startswith("close(%s)" % fd):
          end += 1
      counts.append(end - start + 1)
if counts:
    counts.sort()
    print("system calls per copied picture: median %d (min %d, max %d, %d copies)"
          % (counts[len(counts) // 2], counts[0], counts[-1], len(counts)), "(goal <= 12)")
print("system calls per entry, whole build of 200: %d" % (total // 200))
PY
  discard "$work/traced"; discard "$work/album"
fi

if [[ -n $peak ]]; then
  make_tree "$work/peak" "$peak" 9 "p%05d.jpg"
  mkdir -p "$work/album"
  /usr/bin/time -v -o "$work/rss" "$exe" build --yes --drive "C=$work" "$work/peak" \
    "$work/album/index.htm" > /dev/null 2>&1 || true
  echo "peak memory, build of $peak entries: $(( $(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/rss") / 1024 )) MB (goal < 50)"
fi
