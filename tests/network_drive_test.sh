#!/usr/bin/env bash
# On a drive without a Recycle Bin (here one Wine reports as a network drive),
# the shell would delete the replaced files for good: they stay in the parent,
# a line says where and why, and the lift still succeeds. Wine reads a drive's
# type when its server starts, so this runs in a Wine prefix of its own. The
# undo then finds the replaced files there.
#   network_drive_test.sh WINE_LOADER PATH/TO/dirlift.exe
set -euo pipefail
source "$(dirname "$0")/checks.sh"
own_prefix "$@"
mkdir -p "$work/share/P/X"
echo new >"$work/share/P/X/a"; echo old >"$work/share/P/a"
ln -s "$work/share" "$WINEPREFIX/dosdevices/n:"
"$wine" reg add 'HKLM\Software\Wine\Drives' /v n: /d network /f >/dev/null 2>&1
restart_prefix_server

status=0
"$wine" "$exe" 'N:\P\X' /o </dev/null >"$work/out" 2>"$work/err" || status=$?
err=$(tr -d '\r' <"$work/err")
kept=("$work/share/P/X (replaced "*)
expect "exit status 0 ($status: $err)" test "$status" = 0
expect "a replaced" test "$(cat "$work/share/P/a")" = new
expect "the old a stays in the parent" test "$(cat "${kept[0]}/a")" = old
expect "one line says where and why ($err)" test "$err" = \
  "dirlift: the replaced files stay in \"N:\\P\\${kept[0]##*/}\": this drive has no Recycle Bin"
expect "nothing reached the Recycle Bin" test -z "$(ls -A "$XDG_DATA_HOME/Trash/files" 2>/dev/null)"

status=0
"$wine" "$exe" 'N:\P\X' /u </dev/null >"$work/out" 2>"$work/err" || status=$?
expect "the undo ends well ($status: $(cat "$work/err"))" test "$status" = 0
expect "everything is back" test "$(cd "$work/share/P" && find . | sort | tr '\n' ' ')" = ". ./X ./X/a ./a "
expect "the new a is back in X" test "$(cat "$work/share/P/X/a")" = new
expect "the old a is back in P" test "$(cat "$work/share/P/a")" = old
finish cat "$work/err"
