#!/usr/bin/env bash
# Drives the real program in a virtual X server: start it with a document,
# render with Ctrl+R, change a setting, save it and take it back with Ctrl+Z,
# save with Ctrl+S, export the picture with Ctrl+M, leave with Ctrl+X, and
# check what it leaves behind. Run as root, it also saves a document on a full
# file system, which must keep the file and say why.
# Usage: run.sh PATH/TO/vorlane [RESULTS]
# A program in an installation (share/vorlane beside its folder) runs where it
# lies and must work in the user's data folder; any other runs as a copy in a
# folder of its own and must work there. RESULTS, when given, receives the
# saved document and the exported picture.
set -euo pipefail

program=$(realpath "$1")
results=${2:-}
here=$(cd "$(dirname "$0")" && pwd)
document_source="$here/../../fuzz/corpus/document/tree.vrf"

fail() {
    echo "end-to-end: FAILED: $*" >&2
    if [ -s "${work:-}/program.log" ]; then
        echo "the program's output:" >&2
        cat "$work/program.log" >&2
    fi
    exit 1
}
. "$here/../../tools/virtualdisplay.sh"

for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (make check installs it)"
done

work=$(mktemp -d)
xvfb_pid=""
program_pid=""
cleanup() {
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
    # The server must be gone before another run starts one: a server still
    # shutting down removes its socket even when a new one has taken its number.
    [ -n "$xvfb_pid" ] && { kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; } || true
    mountpoint -q "$work/full" 2>/dev/null && umount -l "$work/full"
    rm -rf "$work"
}
trap cleanup EXIT

# The user's folders, so that nothing of the real user's is read or written.
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
user_folder="$XDG_DATA_HOME/vorlane"

installed=false
[ -d "$(dirname "$program")/../share/vorlane" ] && installed=true
if $installed; then
    folder=$user_folder
else
    # The program's folder is a copy of its own, so that its bitmaps land there.
    folder="$work/program"
    mkdir -p "$folder"
    cp "$program" "$folder/vorlane"
    program="$folder/vorlane"
fi
cp "$document_source" "$work/tree.vrf"
cp "$work/tree.vrf" "$work/tree.original"

# The launch count that a user's configuration keeps: no update is due.
mkdir -p "$XDG_CONFIG_HOME/Vorlane"
printf '[General]\nlaunchCount=0\n' >"$XDG_CONFIG_HOME/Vorlane/Vorlane.conf"

start_virtual_display

find_window() { xdotool search --name "$1" 2>/dev/null | head -n 1; }
press() {
    xdotool windowfocus --sync "$1"
    xdotool key --clearmodifiers "$2"
}

"$program" "$work/tree.vrf" >"$work/program.log" 2>&1 &
program_pid=$!

window=""
find_main_window() { window=$(find_window '^Vorlane 2\.0$') && [ -n "$window" ]; }
wait_for "the main window did not appear" 20 find_main_window
wait_for "the blank picture was not written" 10 test -s "$folder/BLANK.BMP"

if $installed; then
    for file in vornet.dat vornad.gif help/VR2_Help.html help/trans_edit.html Fractals/Fern.vrf; do
        [ -s "$folder/$file" ] || fail "$file is missing from the user's data folder"
    done
fi

press "$window" ctrl+r
rendered() { [ -s "$folder/TEMP.BMP" ] && ! cmp -s "$folder/TEMP.BMP" "$folder/BLANK.BMP"; }
wait_for "Ctrl+R left TEMP.BMP blank" 30 rendered

# A setting changed and saved changes the file; Ctrl+Z takes the change back,
# and the next save writes the document as it was opened.
change_resolution() {
    # Edit > Settings...: the fourth entry of the Edit menu.
    xdotool windowfocus --sync "$window"
    xdotool key --clearmodifiers alt+e Down Down Down Return
    settings=""
    find_settings() { settings=$(find_window '^Edit Settings$') && [ -n "$settings" ]; }
    wait_for "Edit > Settings... showed no settings dialog" 10 find_settings
    xdotool windowfocus --sync "$settings"
    xdotool key --clearmodifiers ctrl+a 7 Return
    closed() { [ -z "$(find_window '^Edit Settings$')" ]; }
    wait_for "the settings dialog did not close on Return" 10 closed
}
change_resolution
rm "$work/tree.vrf"
press "$window" ctrl+s
saved_changed() { [ -s "$work/tree.vrf" ] && ! cmp -s "$work/tree.vrf" "$work/tree.original"; }
wait_for "Ctrl+S did not write the changed setting" 10 saved_changed
press "$window" ctrl+z

# Save writes the document again, here in place of the file taken away.
rm "$work/tree.vrf"
press "$window" ctrl+s
wait_for "Ctrl+S after Ctrl+Z did not write the document opened" 10 cmp -s "$work/tree.vrf" "$work/tree.original"

# The export's file dialog suggests the document's name with ".bmp".
press "$window" ctrl+m
dialog=""
find_save_dialog() { dialog=$(find_window '^Save As$') && [ -n "$dialog" ]; }
wait_for "Ctrl+M showed no file dialog" 10 find_save_dialog
press "$dialog" Return
wait_for "the picture was not exported" 10 test -s "$work/tree.bmp"
[ "$(head -c 2 "$work/tree.bmp")" = BM ] || fail "the exported picture is not a bitmap"

leave() {
    press "$window" ctrl+x
    wait_for "the program did not end after Ctrl+X" 20 ended
    wait "$program_pid" || fail "the program exited with status $?: $(cat "$work/program.log")"
    program_pid=""
}
ended() { ! kill -0 "$program_pid" 2>/dev/null; }
leave

for bitmap in BLANK.BMP TEMP.BMP TEST.BMP vornad.gif; do
    [ ! -e "$folder/$bitmap" ] || fail "$bitmap was left behind"
done
if $installed; then
    [ -s "$folder/vornad.dat" ] || fail "the advertisement picture was not put back"
else
    [ ! -e "$user_folder" ] || fail "a copy outside an installation wrote the user's data folder"
fi
cmp -s "$work/tree.vrf" "$work/tree.original" || fail "the document file was changed"
# A save on a small tmpfs filled to the last byte: the document stays as it
# was and the window reports the failure. Only root can mount one.
save_on_a_full_disk() {
    local full="$work/full" message=""
    mkdir -p "$full"
    if [ "$(id -u)" != 0 ] || ! mount -t tmpfs -o size=64k tmpfs "$full" 2>/dev/null; then
        echo "end-to-end: the save on a full disk needs root and a tmpfs; skipped"
        return
    fi
    cp "$work/tree.original" "$full/tree.vrf"
    dd if=/dev/zero of="$full/filler" bs=4k 2>/dev/null || true
    "$program" "$full/tree.vrf" >"$work/program.log" 2>&1 &
    program_pid=$!
    wait_for "the main window did not appear for the full disk" 20 find_main_window
    press "$window" ctrl+s
    find_message() { message=$(find_window '^Error Saving File$') && [ -n "$message" ]; }
    wait_for "a save on a full disk was not reported" 10 find_message
    press "$message" Return
    cmp -s "$full/tree.vrf" "$work/tree.original" || fail "a save on a full disk changed the document"
    leave
    umount "$full"
}
save_on_a_full_disk

if [ -n "$results" ]; then
    mkdir -p "$results"
    cp "$work/tree.vrf" "$work/tree.bmp" "$results/"
fi
echo "end-to-end: passed ($1)"
