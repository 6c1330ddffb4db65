#!/usr/bin/env bash
# Fails when a folder of src/ includes from a folder above its layer. The
# layers, from the bottom: common, document, render (with them the core
# library), ui, then app, editors and online side by side; app alone may use
# editors and online; convert belongs to the core, and the two command-line
# programs, cli and convertcli, sit on the core only. The files of editors
# and online that the core library compiles stay within the core's folders.
# Usage: check-layers.sh PATH/TO/src
set -euo pipefail
src=$1

allowed() {
    case $1 in
    common) echo "common" ;;
    document) echo "common document" ;;
    render) echo "common document render" ;;
    convert) echo "common document render convert" ;;
    cli) echo "common document render cli" ;;
    convertcli) echo "common document render convert convertcli" ;;
    ui) echo "common document render ui" ;;
    editors) echo "common document render ui editors" ;;
    online) echo "common document render ui online" ;;
    app) echo "common document render ui editors online app" ;;
    esac
}

status=0
for folder in common document render convert cli convertcli ui editors online app; do
    ok=" $(allowed "$folder") "
    while IFS= read -r line; do
        file=${line%%:*}
        included=$(sed -E 's/.*#include "([^/"]+)\/.*/\1/' <<<"$line")
        if [[ $ok != *" $included "* ]]; then
            echo "layers: $file includes from $included/, above $folder/" >&2
            status=1
        fi
    done < <(grep -rHE '^#include "[^/"]+/' "$src/$folder" || true)
done

# The files of editors/ and online/ that the core library compiles (their
# arithmetic) may include only what the core holds, never ui/.
core_sources() {
    awk '/target_sources\(vorlane_core/ { on = 1; next } on && /\)/ { on = 0 } on { for (i = 1; i <= NF; i++) print $i }' \
        "$src/$1/CMakeLists.txt"
}
for folder in editors online; do
    for name in $(core_sources "$folder"); do
        while IFS= read -r included; do
            if [[ " common document render $folder " != *" $included "* ]]; then
                echo "layers: $folder/$name is in the core but includes from $included/" >&2
                status=1
            fi
        done < <(sed -nE 's/^#include "([^/"]+)\/.*/\1/p' "$src/$folder/$name")
    done
done
exit $status
