#!/usr/bin/env bash
# Fails when a file of src/ includes from a folder its own folder may not use.
# Each folder is one layer and one library; the table says, for each, the
# folders it may include from besides itself. The core runs from common to
# netinfo and never touches a widget; widgets, the windows and the programs
# sit on top.
# Usage: check-layers.sh PATH/TO/src
set -euo pipefail
src=$1

core="common document surroundings render/chaos render/picturefile render/exact render/poster convert editing netinfo"
declare -A may=(
    [common]=""
    [document]="common"
    [surroundings]="common document"
    [render/chaos]="common document"
    [render/picturefile]="common document"
    [render/exact]="common document render/chaos render/picturefile"
    [render/poster]="common document render/chaos render/picturefile render/exact"
    [convert]="common document render/chaos"
    [editing]="common document surroundings render/chaos render/picturefile render/exact"
    [netinfo]="common document surroundings"
    [widgets]="$core"
    [editors]="$core widgets"
    [online]="$core widgets"
    [app]="$core widgets editors online"
    [programs/vorlane]="$core widgets editors online app"
    [programs/vorlane-render]="$core"
    [programs/vorlane-convert]="$core"
)

status=0
while IFS= read -r -d '' file; do
    folder=$(dirname "${file#"$src"/}")
    if [[ ! -v "may[$folder]" ]]; then
        echo "layers: $folder/ is not in the table" >&2
        status=1
        continue
    fi
    ok=" $folder ${may[$folder]} "
    while IFS= read -r included; do
        if [[ $ok != *" $(dirname "$included") "* ]]; then
            echo "layers: ${file#"$src"/} includes $included, outside what $folder/ may use" >&2
            status=1
        fi
    done < <(sed -nE 's/^#include "([^"]+)".*/\1/p' "$file")
done < <(find "$src" \( -name '*.h' -o -name '*.cpp' \) -print0)
exit $status
