#!/usr/bin/env bash
# Records are ordered by their start in UTC: after the clock went back (the
# end of daylight saving time, or a new time zone), a bare /u still undoes the
# last lift. Wine's local time follows TZ: the first lift runs nine hours
# ahead. A Wine prefix of the test's own holds the records.
#   undo_order_test.sh WINE_LOADER PATH/TO/dirlift.exe
set -euo pipefail
source "$(dirname "$0")/checks.sh"
own_prefix "$@"
mkdir -p "$work/t/A" "$work/t/B"
echo 1 >"$work/t/A/x"; echo 2 >"$work/t/B/y"
folder=$("$wine" winepath -w "$work/t" 2>/dev/null)

run() {  # TIME-ZONE ARGUMENTS...: sets status and err
  local zone=$1
  shift
  status=0
  TZ=$zone "$wine" "$exe" "$@" </dev/null >"$work/out" 2>"$work/err" || status=$?
  err=$(tr -d '\r' <"$work/err")
}

run JST-9 "$folder\\A"
expect "A lifted ($status: $err)" test "$status" = 0
run UTC0 "$folder\\B"
expect "B lifted ($status: $err)" test "$status" = 0
run UTC0 /u
expect "the undo ends well ($status: $err)" test "$status" = 0
expect "the last lift, of B, is undone" test "$(ls "$work/t" | tr '\n' ' ')" = "B x "
run JST-9 /u
expect "then the one before, of A ($status: $err)" test "$(ls "$work/t" | tr '\n' ' ')" = "A B "
finish cat "$work/err"
