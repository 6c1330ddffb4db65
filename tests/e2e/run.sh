#!/usr/bin/env bash
# Drives the real program in a virtual X server: start it with a document,
# render with Ctrl+R, leave with Ctrl+X, and check what it leaves behind.
# Usage: run.sh PATH/TO/vorlane
set -euo pipefail

program=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
document_source="$here/../../fuzz/corpus/document/tree.vrf"

fail() {
    echo "end-to-end: FAILED: $*" >&2
    exit 1
}

for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (make check installs it)"
done

work=$(mktemp -d)
xvfb_pid=""
program_pid=""
cleanup() {
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# The program's folder is a copy of its own, so that its bitmaps land there.
folder="$work/program"
mkdir -p "$folder"
cp "$program" "$folder/vorlane"
cp "$document_source" "$work/tree.vrf"
cp "$work/tree.vrf" "$work/tree.original"

# The launch count that a user's configuration keeps: no update is due.
export XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_CONFIG_HOME/Vorlane"
printf '[General]\nlaunchCount=0\n' >"$XDG_CONFIG_HOME/Vorlane/Vorlane.conf"

# Xvfb picks a free display and writes its number to the descriptor given.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || fail "the virtual X server did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(head -n 1 "$work/display")"
unset QT_QPA_PLATFORM

wait_for() {
    local what=$1 seconds=$2
    shift 2
    for _ in $(seq $((seconds * 10))); do
        "$@" && return 0
        sleep 0.1
    done
    fail "$what"
}

"$folder/vorlane" "$work/tree.vrf" >"$work/program.log" 2>&1 &
program_pid=$!

window=""
find_main_window() { window=$(xdotool search --name '^Vorlane 2\.0$' 2>/dev/null | head -n 1) && [ -n "$window" ]; }
wait_for "the main window did not appear" 20 find_main_window
wait_for "the blank picture was not written" 10 test -s "$folder/BLANK.BMP"

xdotool windowfocus --sync "$window"
xdotool key --clearmodifiers ctrl+r
rendered() { [ -s "$folder/TEMP.BMP" ] && ! cmp -s "$folder/TEMP.BMP" "$folder/BLANK.BMP"; }
wait_for "Ctrl+R left TEMP.BMP blank" 30 rendered

xdotool windowfocus --sync "$window"
xdotool key --clearmodifiers ctrl+x
ended() { ! kill -0 "$program_pid" 2>/dev/null; }
wait_for "the program did not end after Ctrl+X" 20 ended
wait "$program_pid" || fail "the program exited with status $?: $(cat "$work/program.log")"
program_pid=""

for bitmap in BLANK.BMP TEMP.BMP TEST.BMP; do
    [ ! -e "$folder/$bitmap" ] || fail "$bitmap was left behind"
done
cmp -s "$work/tree.vrf" "$work/tree.original" || fail "the document file was changed"
echo "end-to-end: passed"
