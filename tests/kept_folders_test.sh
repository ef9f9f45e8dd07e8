#!/usr/bin/env bash
# The folders that Windows keeps in place are never lifted, under any spelling
# of their path, and a plain folder beside or inside them still is. This runs
# in a Wine prefix of its own (see own_prefix).
#   kept_folders_test.sh WINE_LOADER PATH/TO/dirlift.exe
set -euo pipefail
source "$(dirname "$0")/checks.sh"
own_prefix "$@"
echo precious >"$HOME/precious.txt"
profile=$("$wine" cmd /c 'echo %USERPROFILE%' 2>/dev/null | tr -d '\r')
profile_unix=$("$wine" winepath -u "$profile" 2>/dev/null)
user=${profile##*\\}

lift() {  # FOLDER [SWITCH]: sets status and err
  status=0
  "$wine" "$exe" "$@" </dev/null >"$work/out" 2>"$work/err" || status=$?
  err=$(tr -d '\r' <"$work/err")
}

refused() {  # FOLDER WHAT
  lift "$1" /o
  expect "$1 refused with exit status 1 (status $status)" test "$status" = 1
  expect "$1: the refusal says why ($err)" test "${err#dirlift: cannot lift \"*\": }" = \
    "$2, which Windows and your programs expect in its place"
}

refused "$profile\\Documents" "it is your Documents folder"
refused "$profile\\Downloads" "it is your Downloads folder"
refused "$profile" "it is your profile folder"
# Other spellings of the same folders.
refused "\\\\?\\${profile//\\//}/Documents" "it is your Documents folder"
refused "\\\\.\\$profile\\Documents" "it is your Documents folder"
refused "$profile\\..\\$user\\Documents" "it is your Documents folder"
start_menu="$profile\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu"
short_start_menu=$("$wine" winepath -s "$start_menu" 2>/dev/null | tr -d '\r')
expect "the Start menu has a short path ($short_start_menu)" test "$short_start_menu" != "$start_menu"
refused "$short_start_menu" "it is your Start menu folder"
# A drive letter that stands for the profile folder, as subst makes one.
ln -s "$profile_unix" "$WINEPREFIX/dosdevices/p:"
restart_prefix_server
refused 'P:\Documents' "it is your Documents folder"
lift '\\.\C:\users' /o
expect "\\\\.\\C:\\users refused ($status: $err)" test "$status" = 1
expect "the refusal says why ($err)" test "${err#dirlift: cannot lift \"*\": }" = \
  "it holds the profile folders, which Windows and your programs expect in their place"
refused "$profile\\AppData\\Roaming\\Microsoft" "it holds your Start menu folder"
expect "the home folder keeps its file" test "$(cat "$HOME/precious.txt")" = precious
expect "nothing of it reached the profile" test ! -e "$profile_unix/precious.txt"

mkdir "$profile_unix/plain" "$HOME/inside"
echo 1 >"$profile_unix/plain/f"
echo 2 >"$HOME/inside/g"
lift "$profile\\plain"
expect "a plain folder in the profile lifts (status $status: $err)" test "$status" = 0
expect "its file went up" test "$(cat "$profile_unix/f")" = 1
expect "the plain folder is gone" test ! -e "$profile_unix/plain"
lift "$profile\\Documents\\inside"
expect "a plain folder in Documents lifts (status $status: $err)" test "$status" = 0
expect "its file went up into Documents" test "$(cat "$HOME/g")" = 2
finish cat "$work/err"
