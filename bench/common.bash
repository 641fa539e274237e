# Sourced by the benchmarks. bench_start NAME "$@": takes the arguments
# VORTENA-EXECUTABLE [WORK-PARENT-FOLDER], sets `exe` and `work` (a fresh folder NAME-XXXXXX in
# the given folder, else $TMPDIR or /tmp, removed at the end), and runs the program without a
# display.
bench_start() {
  local name=$1
  shift
  if [[ $# -lt 1 || ! -x $1 ]]; then
    echo "usage: $0 VORTENA-EXECUTABLE [WORK-PARENT-FOLDER]" >&2
    exit 2
  fi
  exe=$(realpath "$1")
  work=$(mktemp -d "${2:-${TMPDIR:-/tmp}}/$name-XXXXXX")
  trap 'rm -rf "$work"' EXIT
  mkdir "$work/.discarded"
  export QT_QPA_PLATFORM=offscreen
  # The listings the program keeps of the trees it loads go to the work folder, not to the
  # user's own cache.
  export XDG_CACHE_HOME="$work/cache/other"
}

# Puts folder $1 out of the way until the end, when the work folder goes. Removing a big tree
# in the middle of the figures would slow whatever is timed next: ext4 can skip inodes freed in
# the last minutes when it hands out new ones, and on the machine this was measured on the
# first files made after a big removal cost up to twenty times the usual.
discard() {
  [[ -e $1 ]] && mv "$1" "$(mktemp -u "$work/.discarded/XXXXXX")"
  return 0
}
