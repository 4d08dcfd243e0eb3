#!/bin/sh
# Fails when a folder includes from a folder drawn above it. Layers, lowest first:
#   platform -> toolkit -> panel3d -> services -> game -> app
set -eu
cd "$(git -C "$(dirname "$0")" rev-parse --show-toplevel)"
layers="platform toolkit panel3d services game app"
bad=0
above() { echo "$layers" | tr ' ' '\n' | sed -n "/^$1\$/,\$p" | tail -n +2; }
for layer in $layers; do
    for up in $(above "$layer"); do
        if git grep -n "#include \"$up/" -- "$layer/*.cpp" "$layer/*.h"; then
            bad=1
        fi
    done
done
[ "$bad" -eq 0 ] && echo "no include points up a layer"
exit "$bad"
