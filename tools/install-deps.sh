#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those that are missing.
# With "check" it adds what the sanitizer, fuzzing and end-to-end runs need;
# with "screenshots" what tools/screenshots.sh needs.
set -euo pipefail

# libqt6svg6 draws the toolbar pictures; parallel runs the example of
# rendering a poster in parts; zlib1g-dev (which qt6-base-dev already brings)
# lets the part reader inflate with a bound and large posters be compressed
# on every core.
packages=(cmake make g++ qt6-base-dev qt6-base-dev-tools libgl-dev libqt6svg6 parallel zlib1g-dev)
if [ "${1:-}" = "check" ]; then
    packages+=(clang libclang-rt-14-dev xvfb xdotool)
elif [ "${1:-}" = "screenshots" ]; then
    # openbox gives the windows their title bars; x11-utils brings xprop.
    packages+=(xvfb xdotool openbox x11-utils imagemagick)
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
