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
  export QT_QPA_PLATFORM=offscreen
}
