#!/usr/bin/env bash
# The folders that Windows keeps in place are never lifted, and a plain folder
# beside them still is. This runs in a Wine prefix of its own, made with HOME
# set to a folder of the test: Wine links the profile's Desktop, Documents and
# Downloads to $HOME when it makes a prefix, so a fault here could move only
# the test's own files.
#   kept_folders_test.sh WINE_LOADER PATH/TO/dirlift.exe
set -euo pipefail
source "$(dirname "$0")/checks.sh"
wine=$1
exe=$2
server=${WINESERVER:-$(dirname "$wine")/wineserver}
work=$(mktemp -d)
export HOME="$work/home" WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
mkdir -p "$HOME"
cleanup() {
  "$server" -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
"$wine" wineboot -i >/dev/null 2>&1
echo precious >"$HOME/precious.txt"
profile=$("$wine" cmd /c 'echo %USERPROFILE%' 2>/dev/null | tr -d '\r')
profile_unix=$("$wine" winepath -u "$profile" 2>/dev/null)

lift() {  # FOLDER [SWITCH]: sets status and err
  status=0
  "$wine" "$exe" "$@" </dev/null >"$work/out" 2>"$work/err" || status=$?
  err=$(tr -d '\r' <"$work/err")
}

refused() {  # FOLDER WHAT
  lift "$1" /o
  expect "$1 refused with exit status 1 (status $status)" test "$status" = 1
  expect "$1: the refusal says why ($err)" test "$err" = \
    "dirlift: cannot lift \"$1\": $2, which Windows and your programs expect in its place"
}

refused "$profile\\Documents" "it is your Documents folder"
refused "$profile\\Downloads" "it is your Downloads folder"
refused "$profile" "it is your profile folder"
expect "the home folder keeps its file" test "$(cat "$HOME/precious.txt")" = precious
expect "nothing of it reached the profile" test ! -e "$profile_unix/precious.txt"

mkdir "$profile_unix/plain"
echo 1 >"$profile_unix/plain/f"
lift "$profile\\plain"
expect "a plain folder in the profile lifts (status $status: $err)" test "$status" = 0
expect "its file went up" test "$(cat "$profile_unix/f")" = 1
expect "the plain folder is gone" test ! -e "$profile_unix/plain"
finish cat "$work/err"
