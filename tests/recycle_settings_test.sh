#!/usr/bin/env bash
# Where the Recycle Bin's settings say it would delete the replaced files for
# good (a policy, the bin turned off for every drive or for this one, a bin
# smaller than the files), they stay in the parent, a line says why, and the
# lift still succeeds; nothing reaches the bin. The replaced file lies in a
# merged subfolder, so that the bin's size must count what subfolders hold.
# The settings are the machine's, so this runs in a Wine prefix of its own.
#   recycle_settings_test.sh WINE_LOADER PATH/TO/dirlift.exe
set -euo pipefail
source "$(dirname "$0")/checks.sh"
own_prefix "$@"
policies='HKCU\Software\Microsoft\Windows\CurrentVersion\Policies\Explorer'
bin='HKLM\Software\Microsoft\Windows\CurrentVersion\Explorer\BitBucket'
turned_off="the Recycle Bin is turned off for this drive"
too_small="they are larger than this drive's Recycle Bin takes"

set_number() {  # KEY NAME NUMBER
  "$wine" reg add "$1" /v "$2" /t REG_DWORD /d "$3" /f >/dev/null 2>&1
}

forget() {  # KEY NAME...
  local key=$1 name
  shift
  for name in "$@"; do "$wine" reg delete "$key" /v "$name" /f >/dev/null 2>&1 || true; done
}

# Lifts a merge whose one replaced file lies in a subfolder, under the
# settings made before; REASON "" means the bin takes the replaced files.
lift_under() {  # ROW REASON
  local row=$1 reason=$2 status=0 drive_c="$WINEPREFIX/drive_c"
  mkdir -p "$drive_c/$row/X/s" "$drive_c/$row/s"
  echo new >"$drive_c/$row/X/s/a"; echo old >"$drive_c/$row/s/a"
  "$wine" "$exe" "C:\\$row\\X" /o /m </dev/null >"$work/out" 2>"$work/err" || status=$?
  local err kept
  err=$(tr -d '\r' <"$work/err")
  kept=$(cd "$drive_c/$row" && ls -d "X (replaced "* 2>/dev/null || true)
  expect "$row: exit status 0 ($status: $err)" test "$status" = 0
  expect "$row: the new a is in s" test "$(cat "$drive_c/$row/s/a")" = new
  if [ -z "$reason" ]; then
    expect "$row: the bin took the old a ($err)" test -z "$err$kept"
    rm -rf "$XDG_DATA_HOME/Trash"
    return
  fi
  expect "$row: the old a stays in the parent" test "$(cat "$drive_c/$row/$kept/s/a" 2>/dev/null)" = old
  expect "$row: one line says why ($err)" test "$err" = "dirlift: the replaced files stay in \"C:\\$row\\$kept\": $reason"
  expect "$row: nothing reached the bin" test -z "$(ls -A "$XDG_DATA_HOME/Trash/files" 2>/dev/null)"
}

set_number "$policies" NoRecycleFiles 1
lift_under Policy "$turned_off"
forget "$policies" NoRecycleFiles

set_number "$bin" NukeOnDelete 1
lift_under AllDrives "$turned_off"
forget "$bin" NukeOnDelete

# Each drive's own setting counts only where the global one is not used.
set_number "$bin\\C" NukeOnDelete 1
lift_under OtherDrivesSetting ""
set_number "$bin" UseGlobalSettings 0
lift_under ThisDrive "$turned_off"
forget "$bin" UseGlobalSettings
forget "$bin\\C" NukeOnDelete

set_number "$bin" Percent 0
lift_under TooSmall "$too_small"
forget "$bin" Percent
finish cat "$work/err"
