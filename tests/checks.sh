# Sourced by the shell-script tests: each check that fails is one line and
# counts, and the end reports in ctest's terms.
failures=0

expect() {  # DESCRIPTION CONDITION...
  local what=$1
  shift
  if ! "$@"; then echo "FAILED: $what"; failures=$((failures + 1)); fi
}

# Ends the test; on failure, first runs SHOW... to print what helps.
finish() {  # [SHOW...]
  if [ "$failures" != 0 ]; then
    if [ $# != 0 ]; then "$@"; fi
    echo "0 passed, 1 failed"
    exit 1
  fi
  echo "1 passed, 0 failed"
}
