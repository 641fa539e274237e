# The shell tests' check: sourced, not run.  check NAME EXPECTED ACTUAL  prints ok or FAIL
# with both values; finish prints the counts and fails when a check did.
failures=0
checks=0
check() {
  checks=$((checks + 1))
  if [ "$2" == "$3" ]; then
    echo "ok   $1"
  else
    echo "FAIL $1"; echo "  expected: $(printf '%q' "$2")"; echo "  actual:   $(printf '%q' "$3")"
    failures=$((failures + 1))
  fi
}
finish() {
  echo "$((checks - failures)) passed, $failures failed"
  [ "$failures" -eq 0 ]
}
