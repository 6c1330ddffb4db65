#!/usr/bin/env bash
# Renders a poster in parts with GNU parallel, one part a job, then merges
# them into the same PNG that one `vorlane-render --mode poster` run gives.
#
#   parallel-poster.sh DOCUMENT.vrf OUTPUT.png PARTS [poster options...]
#
# The poster options are those of --mode poster; --gamma, --transparent and
# --depth go to the merge, the others to every part. Environment:
#   VORLANE_RENDER     the program (default: vorlane-render on the PATH)
#   PARALLEL_OPTIONS   more options for parallel, e.g. "-j 2" or, for several
#                      machines that share PARTS_DIR, "-S host1,host2"
#   PARTS_DIR          where the parts go (default: a temporary folder)
set -euo pipefail

if [ $# -lt 3 ]; then
    sed -n '4,6p' "$0" >&2
    exit 2
fi
document=$1 output=$2 parts=$3
shift 3
render=${VORLANE_RENDER:-vorlane-render}

part_options=() merge_options=()
while [ $# -gt 0 ]; do
    case $1 in
        --gamma | --depth) merge_options+=("$1" "$2"); shift 2 ;;
        --transparent) merge_options+=("$1"); shift ;;
        *) part_options+=("$1"); shift ;;
    esac
done

if [ -z "${PARTS_DIR:-}" ]; then
    PARTS_DIR=$(mktemp -d)
    trap 'rm -rf "$PARTS_DIR"' EXIT
fi

# shellcheck disable=SC2086 # PARALLEL_OPTIONS is a list of options
parallel --will-cite --halt now,fail=1 ${PARALLEL_OPTIONS:-} \
    "$render" "$document" --mode poster "${part_options[@]}" \
    --part "{}/$parts" --accumulation "$PARTS_DIR/part{}.vacc" ::: $(seq "$parts")
"$render" --merge "$PARTS_DIR"/part*.vacc -o "$output" "${merge_options[@]}"
