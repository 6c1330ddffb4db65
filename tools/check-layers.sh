#!/usr/bin/env bash
# Fails when a folder of src/ includes from a folder above its layer. The
# layers, from the bottom: common, document, render (with them the core
# library), ui, then app, editors and online side by side; app alone may use
# editors and online; convert belongs to the core, and the two command-line
# programs, cli and convertcli, sit on the core only.
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
exit $status
