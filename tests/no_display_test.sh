#!/usr/bin/env bash
# A gui lift where no window can be made: Wine started without a display, as a
# new user of scripts/lift on a headless Linux host, and like a service or a
# scheduled task on Windows. The lift lasts long enough for its progress
# dialog to be due; it must go on without it and without the failure box,
# end, and report its one failure on standard error.
# It runs in a Wine prefix of its own: the first program a Wine server starts
# without a display leaves that server without one for every later program.
#   no_display_test.sh WINE_LOADER PATH/TO/dirlift.exe
set -euo pipefail
source "$(dirname "$0")/checks.sh"
unset DISPLAY
own_prefix "$@"
entries=4000
mkdir -p "$work/X" "$work/d"
(cd "$work/X" && seq -f 'f%04g' 1 "$entries" | xargs touch)
echo 1 >"$work/X/d"  # a file meeting a folder: the one failure
echo new >"$work/X/c"; echo old >"$work/c"  # a clash that only a dialog could settle
folder=$("$wine" winepath -w "$work/X" 2>/dev/null)
# Its preview says the same: the clash is kept, and the preview itself succeeds.
preview_status=0
"$wine" "$exe" "$folder" gui /l </dev/null >"$work/preview" 2>/dev/null || preview_status=$?
expect "the preview succeeded (status $preview_status)" test "$preview_status" = 0
expect "the preview keeps the clash" grep -q '^keep "c": no dialog could be shown to settle the clash' "$work/preview"
expect "the preview hands nothing to the shell" grep -q ' 0 shell, ' "$work/preview"
# Without a window, /p in dirliftw.exe cannot ask: it does nothing, and says so by its status.
ask_status=0
"$wine" "$(dirname "$exe")/dirliftw.exe" "$folder" gui /p </dev/null >/dev/null 2>&1 || ask_status=$?
expect "/p cannot ask without a window (status $ask_status)" test "$ask_status" = 1
expect "/p moved nothing" test "$(ls "$work/X" | wc -l)" = "$((entries + 2))"
start=$(date +%s%N)
status=0
timeout 300 "$wine" "$exe" "$folder" gui </dev/null >"$work/out" 2>"$work/err" || status=$?
lasted=$((($(date +%s%N) - start) / 1000000))

expect "it ended, with exit status 1 (status $status)" test "$status" = 1
expect "it lasted over a second ($lasted ms), so the dialog was due" test "$lasted" -gt 1000
expect "an error line for each" test "$(cat "$work/err")" = \
  "dirlift: cannot move \"$folder\\d\" up: a folder of that name is in the way"$'\r\n'`
  `"dirlift: no dialog could be shown to settle the clashes: 1 entry stayed where it was, and nothing was replaced"$'\r'
expect "every other entry lifted" test "$(ls "$work" | grep -c '^f')" = "$entries"
expect "X holds only the failed and the unsettled entry" test "$(ls "$work/X" | tr '\n' ' ')" = "c d "
expect "nothing was replaced" test "$(cat "$work/c")" = old
finish cat "$work/err"
