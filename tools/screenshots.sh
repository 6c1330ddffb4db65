#!/usr/bin/env bash
# Takes the README's screenshots from the real program in a virtual X server.
#
# Usage: tools/screenshots.sh [BUILD_DIR]    (BUILD_DIR defaults to build)
#
# Build the program first (make). The script installs what it needs with
# "tools/install-deps.sh screenshots" (Xvfb, the openbox window manager for
# the title bars, xdotool to press the keys, ImageMagick's import to take the
# pictures), then drives a copy of BUILD_DIR/vorlane twice:
#   1. from the start-up document, the README's "Your first fractal" steps,
#      typed into the transformation editor, then Ctrl+R;
#   2. with Fractals/Tree.vrf: Ctrl+R, then every window in turn, each filled
#      as a user would fill it;
#   3. with Fractals/Fern.vrf: Fit Picture with the maps' frames shown.
# The pictures land in docs/screenshots/. The random generator starts from the
# same seed in every run, so a second run gives the same pictures, apart from
# the frame the animated picture in the toolbar happens to show. The program
# runs in a temporary folder with its own settings, so nothing of yours is
# touched and no net-info update is offered.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${1:-build}
output=docs/screenshots

fail() {
    echo "screenshots: FAILED: $*" >&2
    exit 1
}
. tools/virtualdisplay.sh

[ -x "$build_dir/vorlane" ] || fail "$build_dir/vorlane is missing; build it first (make)"
tools/install-deps.sh screenshots

work=$(mktemp -d)
xvfb_pid=""
wm_pid=""
program_pid=""
cleanup() {
    for pid in "$program_pid" "$wm_pid" "$xvfb_pid"; do
        if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
    done
    rm -rf "$work"
}
trap cleanup EXIT

# The program and the data files the build lays beside it, in a folder of its
# own, so that its working bitmaps stay out of the build tree.
folder="$work/program"
mkdir -p "$folder"
cp -r "$build_dir/vorlane" "$build_dir/help" "$build_dir/Fractals" "$folder/"
cp "$build_dir"/vorna*.dat "$folder/"

export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_CONFIG_HOME/Vorlane" "$XDG_DATA_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
# A kept launch count: no update is due.
printf '[General]\nlaunchCount=0\n' >"$XDG_CONFIG_HOME/Vorlane/Vorlane.conf"

start_virtual_display

openbox >"$work/openbox.log" 2>&1 &
wm_pid=$!
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
wait_for "the window manager did not start" 10 wm_running
# The pointer rests in a corner, over no window: no tool tips, no hover colours.
xdotool mousemove 1279 1023

window=""
find_window() { window=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1) && [ -n "$window" ]; }
window_gone() { ! xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }

# Waits for the window of that caption, focuses it and keeps its id in $window.
await() {
    wait_for "the window \"$1\" did not appear" 20 find_window "$1"
    xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
    sleep 0.5
}

keys() { xdotool key --clearmodifiers --delay 60 "$@"; }
typed() { xdotool type --delay 40 -- "$1"; }

# Clicks at a position inside the window in $window, in pixels from its top left.
click_at() {
    xdotool mousemove --window "$window" "$1" "$2" click 1
    xdotool mousemove 1279 1023
}

shoot() {
    sleep 0.5
    import -frame -window "$window" -strip -define png:exclude-chunks=date,time "$output/$1.png"
    echo "  $output/$1.png"
}

main_caption='Vorlane 2\.0'

start_program() {
    rm -f "$folder"/*.BMP
    "$folder/vorlane" "$@" >>"$work/program.log" 2>&1 &
    program_pid=$!
    await "$main_caption"
    wait_for "the blank picture was not written" 10 test -s "$folder/BLANK.BMP"
}

render() {
    local before
    before=$(cksum <"$folder/BLANK.BMP")
    [ -e "$folder/TEMP.BMP" ] && before=$(cksum <"$folder/TEMP.BMP")
    await "$main_caption"
    keys ctrl+r
    rendered() { [ -s "$folder/TEMP.BMP" ] && [ "$(cksum <"$folder/TEMP.BMP")" != "$before" ]; }
    wait_for "Ctrl+R did not finish a picture" 60 rendered
    sleep 1
}

# Ends the program with Ctrl+X, answering No to the save question if it comes.
stop_program() {
    await "$main_caption"
    keys ctrl+x
    sleep 1
    if find_window 'Save changes to currently open file\?'; then
        await 'Save changes to currently open file\?'
        keys Return                    # No, the default button
    fi
    ended() { ! kill -0 "$program_pid" 2>/dev/null; }
    wait_for "the program did not end after Ctrl+X" 20 ended
    program_pid=""
}

# In the transformation editor, with the focus in the name field on the
# selected entry: types that transformation's five numbers and accepts them.
set_transformation() {
    keys Tab Tab Tab
    for value in "$@"; do
        typed "$value"
        keys Tab
    done
    keys space         # "Accept Transformation"
    keys shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab
}

mkdir -p "$output"
rm -f "$output"/*.png

echo "Your first fractal"
start_program
await "$main_caption"
keys ctrl+n
keys ctrl+t
await 'Edit Transformation'
keys Tab space space space shift+Tab   # Add three times
# Down and Up select "Tr 1", wherever the list stands after the adding.
keys Down Up
set_transformation .5 .5 0 -.2 0
keys Down
set_transformation .5 .5 0 .2 0
keys Down
set_transformation .5 .5 0 0 .3
keys alt+c
wait_for "the transformation editor did not close" 10 window_gone 'Edit Transformation'
render
shoot first-fractal
stop_program

echo "Every window, with Fractals/Tree.vrf"
start_program "$folder/Fractals/Tree.vrf"
render
shoot main-window

keys ctrl+t
await 'Edit Transformation'
keys Down                              # the first transformation
shoot transformation-editor
keys Escape

await "$main_caption"
keys ctrl+b
await 'Select size of Base Field'
# A wider and higher area than the one found around the tree's stem.
for limit in .3 -.3 .45 -.05; do       # X-max, X-min, Y-max, Y-min
    keys ctrl+a
    typed "$limit"
    keys Tab
done
shoot base-field-range
keys alt+a
await 'Edit Base Field'
# The ellipse tool, then an ellipse on top of the stem typed into Numeric Input.
click_at 24 112
click_at 32 268
for value in 0 .35 .1 .1; do           # X-Center, Y-Center, X- and Y- diameter
    keys ctrl+a
    typed "$value"
    keys Tab
done
shoot base-field-editor
keys Escape

await "$main_caption"
keys alt+e Down Down Return            # Edit > Style...
await 'Select Colors'
shoot colours
keys Escape

await "$main_caption"
keys alt+e Up Return                   # Edit > Settings..., the last entry
await 'Edit Settings'
shoot settings
keys Escape

await "$main_caption"
keys ctrl+a
await 'About Vorlane 2\.0'
shoot about
keys Tab space                         # "Note from the progremmer..."
await 'Note From the Programmer'
shoot note
keys Escape

stop_program

echo "The maps' frames, with Fractals/Fern.vrf"
start_program "$folder/Fractals/Fern.vrf"
render
keys ctrl+shift+m ctrl+0             # Show Maps, Fit Picture
sleep 2                                # Fit draws the picture again
shoot map-frames
stop_program
echo "screenshots: done"
