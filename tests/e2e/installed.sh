#!/usr/bin/env bash
# Installs a build into a temporary prefix and checks that the installed copy
# works as the build tree's does: the files land where desktops look for them,
# vorlane-render draws a gallery document, and the program, run in a virtual
# X server, renders, saves and exports the same as the build tree's program
# without writing into the installation.
# Usage: installed.sh BUILD_DIR
# Exits with 77 (skipped) after the checks that need no window when Xvfb or
# xdotool is missing.
set -euo pipefail

build=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)

fail() {
    echo "installed copy: FAILED: $*" >&2
    exit 1
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || fail "cmake --install: $(cat "$work/install.log")"

share="$prefix/share"
for file in bin/vorlane bin/vorlane-render bin/vorlane-convert share/vorlane/vornet.dat share/vorlane/vornad.dat \
        share/vorlane/help/VR2_Help.html share/vorlane/help/trans_edit.html "share/vorlane/Fractals/Fern.vrf" \
        share/applications/vorlane.desktop share/icons/hicolor/scalable/apps/vorlane.svg \
        share/mime/packages/vorlane.xml; do
    [ -s "$prefix/$file" ] || fail "$file was not installed"
done
grep -qx 'Exec=vorlane %f' "$share/applications/vorlane.desktop" || fail "the desktop entry does not pass the document"
grep -qx 'MimeType=application/x-vorlane-fractal;' "$share/applications/vorlane.desktop" \
    || fail "the desktop entry does not open documents"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$share/applications/vorlane.desktop" || fail "the desktop entry is not valid"
fi
if command -v update-mime-database >/dev/null; then
    grep -qx 'application/x-vorlane-fractal:\*\.vrf' <(cut -d: -f2- "$share/mime/globs2") \
        || fail "the install did not register *.vrf"
fi

# The installed renderer draws what the build tree's draws.
document="$share/vorlane/Fractals/Fern.vrf"
"$prefix/bin/vorlane-render" "$document" -o "$work/installed.png" || fail "the installed vorlane-render failed"
"$build/vorlane-render" "$document" -o "$work/built.png"
cmp -s "$work/installed.png" "$work/built.png" || fail "the installed vorlane-render drew another picture"

for tool in Xvfb xdotool; do
    if ! command -v "$tool" >/dev/null; then
        echo "installed copy: files and vorlane-render pass; the window runs need $tool (make check installs it)"
        exit 77
    fi
done

listing() { find "$prefix" -type f -exec md5sum {} + | sort; }
listing >"$work/before"
"$here/run.sh" "$build/vorlane" "$work/built"
"$here/run.sh" "$prefix/bin/vorlane" "$work/installed"
listing | cmp -s - "$work/before" || fail "the installed program wrote into its installation"
for result in tree.vrf tree.bmp; do
    cmp -s "$work/built/$result" "$work/installed/$result" || fail "the installed program's $result differs"
done
echo "installed copy: passed"
