#!/usr/bin/env bash
# The documentation's GNU parallel example on a small poster, against one run
# of the same poster: the two files must be equal byte for byte.
#   parallelposter.sh VORLANE-RENDER EXAMPLES-FOLDER DOCUMENT
set -euo pipefail
render=$1 examples=$2 document=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

options=(--width 120 --height 90 --points 3500000 --seed 11)
"$render" "$document" -o "$work/single.png" --mode poster "${options[@]}" --gamma 3 --transparent
VORLANE_RENDER=$render PARALLEL_OPTIONS="-j 2" PARTS_DIR="$work" \
    "$examples/parallel-poster.sh" "$document" "$work/parallel.png" 3 "${options[@]}" --gamma 3 --transparent
ls "$work"/part1.vacc "$work"/part2.vacc "$work"/part3.vacc >/dev/null
cmp "$work/single.png" "$work/parallel.png"
