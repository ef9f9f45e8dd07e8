#!/usr/bin/env bash
# Types answers into dirlift.exe running under Wine in a real terminal (tmux),
# then checks the screen and the folders: a typed "yes" answers one question,
# a typed "x" is asked about once more, "n" keeps, and an error line shows a
# name outside ASCII as it is.
# A failed run in a console of its own waits for Enter. Then a long lift's
# status line: shown while it runs, never under a question, gone at the end.
#   terminal_test.sh WINE_LOADER PATH/TO/dirlift.exe
set -euo pipefail
source "$(dirname "$0")/checks.sh"
wine=$1
exe=$2
work=$(mktemp -d)
# The replaced files go to a Recycle Bin of the test's own.
export XDG_DATA_HOME="$work/data"
mkdir "$XDG_DATA_HOME"
# Each terminal gets a server of its own: a new session on a server that is
# still shutting down fails now and then.
terminals=0
tmux=(tmux -L "dirlift-test-$$-$terminals")
new_terminal() {  # WIDTH COMMAND
  "${tmux[@]}" kill-server 2>/dev/null || true
  terminals=$((terminals + 1))
  tmux=(tmux -L "dirlift-test-$$-$terminals")
  "${tmux[@]}" new-session -d -x "$1" -y 20 "$2"
}
cleanup() {
  "${tmux[@]}" kill-server 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

mkdir "$work/X"
echo new >"$work/X/a"; echo old >"$work/a"
# A name outside ASCII shows as it is on the console, whatever its code page.
echo new >"$work/X/日本 b"; echo old >"$work/日本 b"
# A folder meeting a file cannot go up: its error line names it.
mkdir "$work/X/日本 c"; echo old >"$work/日本 c"

new_terminal 250 \
  "cd '$work' && env WINEPREFIX='${WINEPREFIX:-}' XDG_DATA_HOME='$XDG_DATA_HOME' WINEDEBUG=-all '$wine' '$exe' X; echo EXIT=\$?; sleep 120"

screen=
# The screen keeps no trailing blanks, so TEXT must not end in one.
wait_for() {  # TEXT COUNT: until TEXT stands COUNT times on the screen
  for _ in $(seq 300); do
    screen=$("${tmux[@]}" capture-pane -p -J)
    [ "$(grep -o -F -- "$1" <<<"$screen" | wc -l)" -ge "$2" ] && return 0
    sleep 0.1
  done
  printf 'timed out waiting for %s (%s times); the screen:\n%s\n' "$1" "$2" "$screen"
  echo "0 passed, 1 failed"
  exit 1
}

wait_for '"a" does already exist. Overwrite? (Yes/No/All):' 1
"${tmux[@]}" send-keys yes Enter
wait_for '"日本 b" does already exist. Overwrite? (Yes/No/All):' 1
"${tmux[@]}" send-keys x Enter
wait_for '"日本 b" does already exist. Overwrite? (Yes/No/All):' 2
"${tmux[@]}" send-keys n Enter
# Something failed, and under Wine in a terminal dirlift is its console's only
# Windows process, as in a window opened for it alone: it waits for Enter.
wait_for 'Press Enter to close this window.' 1
expect_no_exit_yet=$(grep -c 'EXIT=' <<<"$screen" || true)
"${tmux[@]}" send-keys Enter
wait_for 'EXIT=' 1

expect "exit status 1" grep -q -F 'EXIT=1' <<<"$screen"
expect "it waited for Enter before it ended" test "$expect_no_exit_yet" = 0
expect "a asked once" test "$(grep -o -F '"a" does' <<<"$screen" | wc -l)" = 1
expect "日本 b asked twice" test "$(grep -o -F '"日本 b" does' <<<"$screen" | wc -l)" = 2
expect "the error line names 日本 c" grep -q -F '\X\日本 c" up: a file of that name is in the way' <<<"$screen"
expect "日本 c stays" test -d "$work/X/日本 c"
expect "a replaced" test "$(cat "$work/a")" = new
expect "a gone from X" test ! -e "$work/X/a"
expect "日本 b kept" test "$(cat "$work/日本 b")" = old
expect "X still holds 日本 b" test "$(cat "$work/X/日本 b")" = new

# A long lift: 4,000 entries take some seconds under Wine. Its status line
# shows while it runs, gives way to a question, and is gone at the end.
mkdir -p "$work/long/L"
(cd "$work/long/L" && seq -f 'f%04g' 1 4000 | xargs touch)
echo new >"$work/long/L/zz"; echo old >"$work/long/zz"
new_terminal 100 \
  "cd '$work/long' && env WINEPREFIX='${WINEPREFIX:-}' XDG_DATA_HOME='$XDG_DATA_HOME' WINEDEBUG=-all '$wine' '$exe' L; echo EXIT=\$?; sleep 120"
wait_for 'Lifting L: ' 1
expect "the status line counts" grep -q -E '^Lifting L: [0-9,]+ of 4,001 entries$' <<<"$screen"
wait_for '"zz" does already exist. Overwrite? (Yes/No/All):' 1
expect "the question starts its line" grep -q '^"zz" does already exist' <<<"$screen"
"${tmux[@]}" send-keys y Enter
wait_for 'EXIT=' 1
expect "long lift: exit status 0" grep -q -F 'EXIT=0' <<<"$screen"
expect "no status line is left" test "$(grep -c 'Lifting' <<<"$screen")" = 0
expect "every entry lifted" test "$(ls "$work/long" | wc -l)" = 4001
expect "zz replaced" test "$(cat "$work/long/zz")" = new

# /p in a console: the preview's lines and one question; a word that is not
# an answer asks again, and yes runs the lift, whose clash question still comes.
mkdir -p "$work/look/L"
echo new >"$work/look/L/p"; echo old >"$work/look/p"; echo 1 >"$work/look/L/q"
new_terminal 100 \
  "cd '$work/look' && env WINEPREFIX='${WINEPREFIX:-}' XDG_DATA_HOME='$XDG_DATA_HOME' WINEDEBUG=-all '$wine' '$exe' L /p; echo EXIT=\$?; sleep 120"
wait_for 'Go ahead? (Yes/No):' 1
expect "the preview shows before the question" grep -q -F 'preview: 1 move, 0 replace, 0 keep' <<<"$screen"
expect "nothing moved before the answer" test -e "$work/look/L/q"
"${tmux[@]}" send-keys maybe Enter
wait_for 'Go ahead? (Yes/No):' 2
"${tmux[@]}" send-keys y Enter
wait_for '"p" does already exist. Overwrite? (Yes/No/All):' 1
"${tmux[@]}" send-keys y Enter
wait_for 'EXIT=' 1
expect "/p then yes: exit status 0" grep -q -F 'EXIT=0' <<<"$screen"
expect "/p then yes: p replaced" test "$(cat "$work/look/p")" = new
expect "/p then yes: q lifted" test -e "$work/look/q"

# The usage text in a window of its own waits too, or it would be gone at once.
new_terminal 100 \
  "env WINEPREFIX='${WINEPREFIX:-}' WINEDEBUG=-all '$wine' '$exe'; echo EXIT=\$?; sleep 120"
wait_for 'Press Enter to close this window.' 1
expect "the usage text shows" grep -q -F 'Syntax: dirlift <path>' <<<"$screen"
expect "it waits before it ends" test "$(grep -c 'EXIT=' <<<"$screen" || true)" = 0
"${tmux[@]}" send-keys Enter
wait_for 'EXIT=0' 1

finish printf 'the screen:\n%s\n' "$screen"
