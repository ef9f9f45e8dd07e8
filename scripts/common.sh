# Shared by scripts/lift and scripts/test: picks the Wine this host can run,
# installs what the build needs when it is missing, builds both executables with
# the cross compilers, and runs one Wine server of the project's own for the
# duration of a script.
#
# Both dirlift.exe builds are products: build/win32 (i686) and build/win64
# (x86_64). The tests run on the one this host's Wine runs: the 32-bit build
# where the host runs 32-bit programs, the 64-bit build where it cannot or where
# DIRLIFT_WINE64=1 asks for it.

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_root="$repo/build"

# Wine stores a Windows name as a Unix name in the locale's character set: with
# anything but UTF-8 (a bare C locale, say) names outside ASCII cannot exist.
export LC_ALL=C.UTF-8
export WINEDEBUG=-all
# No Mono or Gecko: the prefix would otherwise offer to download them.
export WINEDLLOVERRIDES="mscoree=;mshtml="

as_root() {
  if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

# Tries to run the smallest 32-bit x86 Linux program there is: it only exits
# with status 0. Kernels without IA32 emulation, gVisor and WSL 1 refuse it
# with "Exec format error". Needs no installed package, so the answer decides
# what to install.
host_runs_32bit_programs() {
  local probe
  mkdir -p "$build_root"
  probe=$(mktemp "$build_root/probe-i386.XXXXXX")
  # ELF header, one loadable segment, then: xor ebx,ebx; mov eax,1; int 0x80 (exit 0).
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'`
        `'\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'`
        `'\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00'`
        `'\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08'`
        `'\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00'`
        `'\x00\x10\x00\x00\x31\xdb\xb8\x01\x00\x00\x00\xcd\x80' >"$probe"
  chmod +x "$probe"
  local status=0
  "$probe" 2>/dev/null || status=$?
  rm -f "$probe"
  return "$status"
}

# Sets the Wine this script uses and says in one line which and why.
choose_wine() {
  local why
  if [ "${DIRLIFT_WINE64:-0}" = 1 ]; then
    wine_bits=64
    why="DIRLIFT_WINE64=1 asks for it"
  elif host_runs_32bit_programs; then
    wine_bits=32
    why="this host runs 32-bit programs"
  else
    wine_bits=64
    why="this host cannot run 32-bit programs (Exec format error)"
  fi
  echo "dirlift: the ${wine_bits}-bit build under ${wine_bits}-bit Wine, because $why"
  if [ "$wine_bits" = 32 ]; then
    export WINEARCH=win32
    export WINELOADER=/usr/lib/wine/wine
    export WINESERVER=/usr/lib/wine/wineserver32
  else
    export WINEARCH=win64
    export WINELOADER=/usr/lib/wine/wine64
    export WINESERVER=/usr/lib/wine/wineserver64
  fi
  export WINEPREFIX="$build_root/wine-prefix$wine_bits"
  run_dir="$build_root/win$wine_bits"
}

# Installs what is missing: the compilers and build tools, and with no argument
# also what the tests need (Wine, GoogleTest, tmux, Xvfb); choose_wine first then.
ensure_tools() {  # [build-only]
  local missing=()
  command -v cmake >/dev/null || missing+=(cmake)
  command -v make >/dev/null || missing+=(make)
  command -v python3 >/dev/null || missing+=(python3)
  command -v git >/dev/null || missing+=(git)
  command -v i686-w64-mingw32-g++-win32 >/dev/null || missing+=(g++-mingw-w64-i686-win32)
  command -v i686-w64-mingw32-windres >/dev/null || missing+=(binutils-mingw-w64-i686)
  command -v x86_64-w64-mingw32-g++-win32 >/dev/null || missing+=(g++-mingw-w64-x86-64-win32)
  command -v x86_64-w64-mingw32-windres >/dev/null || missing+=(binutils-mingw-w64-x86-64)
  if [ "${1:-}" = build-only ]; then
    install_missing "${missing[@]}"
    return
  fi
  [ -d /usr/src/googletest/googletest ] || missing+=(googletest)
  # The release test parses winget's manifests.
  python3 -c 'import yaml' 2>/dev/null || missing+=(python3-yaml)
  command -v tmux >/dev/null || missing+=(tmux)
  command -v Xvfb >/dev/null || missing+=(xvfb)
  if [ ! -x "$WINELOADER" ]; then
    if [ "$wine_bits" = 32 ]; then missing+=(wine32:i386); else missing+=(wine64); fi
  fi
  if [ "$wine_bits" = 32 ] && [ ${#missing[@]} != 0 ] &&
     ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
  fi
  if [ "$wine_bits" = 32 ] && ! install_missing "${missing[@]}"; then
    # The i386 lists can lag behind the host's (a mirror mid-sync): where
    # 32-bit Wine cannot be installed, the 64-bit path still tests the program.
    echo "dirlift: 32-bit Wine cannot be installed here; taking the 64-bit path" >&2
    DIRLIFT_WINE64=1 choose_wine
    ensure_tools
    return
  fi
  install_missing "${missing[@]}"
}

# True where the 32-bit path can run: the host runs 32-bit programs and
# 32-bit Wine is installed.
can_take_32bit_path() {
  host_runs_32bit_programs && [ -x /usr/lib/wine/wine ]
}

install_missing() {  # PACKAGE...
  [ $# = 0 ] && return 0
  echo "installing: $*"
  # A mirror caught mid-sync fails one index or two; what the others list may
  # still be all that is needed, and the install says so where it is not.
  as_root apt-get update -q || echo "dirlift: apt-get update failed in part; installing from the lists it has" >&2
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$@"
}

# Configures and builds one architecture's tree, or only TARGET of it.
build_one() {  # BITS [TARGET]
  local bits=$1 target=${2:-all} other_bits toolchain loader
  if [ "$bits" = 32 ]; then
    other_bits=64 toolchain=mingw-i686-win32 loader=/usr/lib/wine/wine
  else
    other_bits=32 toolchain=mingw-x86_64-win32 loader=/usr/lib/wine/wine64
  fi
  cmake -S "$repo" -B "$build_root/win$bits" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/$toolchain.cmake" -DBUILD_TESTING=ON \
    -DDIRLIFT_WINE="$loader" \
    -DDIRLIFT_OTHER_EXE="$build_root/win$other_bits/bin/dirlift.exe" \
    -DDIRLIFT_WARNINGS_AS_ERRORS="${DIRLIFT_WARNINGS_AS_ERRORS:-OFF}" >/dev/null
  cmake --build "$build_root/win$bits" -j "$(nproc)" --target "$target"
}

# One architecture's executables alone, as released: no tests, a tree of its own.
build_release() {  # BITS
  local toolchain=mingw-i686-win32
  [ "$1" = 64 ] && toolchain=mingw-x86_64-win32
  cmake -S "$repo" -B "$build_root/release/win$1" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/$toolchain.cmake" -DBUILD_TESTING=OFF >/dev/null
  cmake --build "$build_root/release/win$1" -j "$(nproc)" --target dirlift dirliftw
}

# Both products, each with its tests; they run on the build this host runs.
build() {
  build_one 32
  build_one 64
}

stop_wine() {
  "$WINESERVER" -k 2>/dev/null || true
  if [ -n "${display_pid:-}" ]; then kill "$display_pid" 2>/dev/null || true; fi
}

# A virtual display of the run's own, so that the windows dirlift shows (its
# failure box, its progress dialog) appear and the tests can read and close
# them. Xvfb picks a free display number and writes it to descriptor 3.
start_display() {
  local number_file number
  number_file=$(mktemp "$build_root/display.XXXXXX")
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number_file" 2>/dev/null &
  display_pid=$!
  for _ in $(seq 100); do [ -s "$number_file" ] && break; sleep 0.1; done
  number=$(cat "$number_file")
  rm -f "$number_file"
  if [ -z "$number" ]; then
    echo "dirlift: Xvfb did not start; the tests of windows are skipped" >&2
    unset DISPLAY
    return 0
  fi
  export DISPLAY=":$number"
}

# One persistent server for the whole run: every program then starts in
# milliseconds instead of seconds. It is ended when the script exits, and so is
# the virtual display that "with-display" asks for.
start_wine() {  # [with-display]
  mkdir -p "$WINEPREFIX"
  trap stop_wine EXIT
  if [ "${1:-}" = with-display ]; then start_display; fi
  "$WINESERVER" -p
  "$WINELOADER" wineboot -u >/dev/null 2>&1
}
