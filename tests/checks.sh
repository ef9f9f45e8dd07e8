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

# Sets wine and exe from the test's arguments, and makes a Wine prefix of the
# test's own in a new folder, work, with HOME set to work/home: Wine links the
# profile's Desktop, Documents and Downloads to $HOME when it makes a prefix,
# so a fault could move only the test's own files. Its Recycle Bin is
# work/data. The prefix's server is ended, and work removed, at exit.
own_prefix() {  # WINE_LOADER PATH/TO/dirlift.exe
  wine=$1
  exe=$2
  work=$(mktemp -d)
  prefix_server=${WINESERVER:-$(dirname "$wine")/wineserver}
  export HOME="$work/home" WINEPREFIX="$work/prefix" XDG_DATA_HOME="$work/data"
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
  mkdir -p "$HOME" "$XDG_DATA_HOME"
  trap '"$prefix_server" -k 2>/dev/null || true; rm -rf "$work"' EXIT
  "$wine" wineboot -i >/dev/null 2>&1
}

# Wine reads its drives, and their types, when its server starts.
restart_prefix_server() {
  "$prefix_server" -k 2>/dev/null || true
  "$prefix_server" -w 2>/dev/null || true
}
