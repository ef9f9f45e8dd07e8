# Shared by scripts/lift and scripts/test: installs what the build needs when it
# is missing, builds with the cross compiler, and runs one Wine server of the
# project's own for the duration of a script.

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build_dir="$repo/build"

export WINEPREFIX="$build_dir/wine-prefix"
# Wine stores a Windows name as a Unix name in the locale's character set: with
# anything but UTF-8 (a bare C locale, say) names outside ASCII cannot exist.
export LC_ALL=C.UTF-8
export WINEARCH=win32
export WINEDEBUG=-all
# No Mono or Gecko: the prefix would otherwise offer to download them.
export WINEDLLOVERRIDES="mscoree=;mshtml="

as_root() {
  if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

ensure_tools() {
  local missing=()
  command -v cmake >/dev/null || missing+=(cmake)
  command -v make >/dev/null || missing+=(make)
  command -v i686-w64-mingw32-g++-win32 >/dev/null || missing+=(g++-mingw-w64-i686-win32)
  command -v i686-w64-mingw32-windres >/dev/null || missing+=(binutils-mingw-w64-i686)
  [ -d /usr/src/googletest/googletest ] || missing+=(googletest)
  command -v tmux >/dev/null || missing+=(tmux)
  if ! command -v wine >/dev/null || [ ! -x /usr/lib/wine/wine ]; then missing+=(wine wine32:i386); fi
  [ ${#missing[@]} = 0 ] && return 0
  echo "installing: ${missing[*]}"
  dpkg --print-foreign-architectures | grep -qx i386 || as_root dpkg --add-architecture i386
  as_root apt-get update -q
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

build() {
  cmake -S "$repo" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-i686-win32.cmake" "$@" >/dev/null
  cmake --build "$build_dir" -j "$(nproc)"
}

stop_wine() {
  wineserver -k 2>/dev/null || true
}

# One persistent server for the whole run: every program then starts in
# milliseconds instead of seconds. It is ended when the script exits.
start_wine() {
  mkdir -p "$WINEPREFIX"
  trap stop_wine EXIT
  wineserver -p
  wineboot -u >/dev/null 2>&1
}
