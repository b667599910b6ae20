#!/usr/bin/env bash
# Every project include points down the layers, never up or sideways:
#   core < geometry < records < flows < sheets < cli, app
# (each folder may include its own headers and those of the folders before
# it; the two front-ends never include each other).
set -euo pipefail
root="${1:-$(dirname "$0")/..}"
cd "$root"

allowed() {
    case "$1" in
        core) echo "core" ;;
        geometry) echo "core geometry" ;;
        records) echo "core geometry records" ;;
        flows) echo "core geometry records flows" ;;
        sheets) echo "core geometry records flows sheets" ;;
        cli) echo "core geometry records flows sheets cli" ;;
        app) echo "core geometry records flows sheets app" ;;
    esac
}

status=0
checked=0
for layer in core geometry records flows sheets cli app; do
    [ -d "$layer" ] || continue
    ok=" $(allowed "$layer") "
    while IFS= read -r line; do
        file="${line%%:*}"
        included="$(sed -E 's/.*#include "([^"]+)".*/\1/' <<<"$line")"
        folder="${included%%/*}"
        checked=$((checked + 1))
        # A Qt-generated or same-folder file without a folder part stays in the layer.
        [ "$folder" = "$included" ] && continue
        if [[ "$ok" != *" $folder "* ]]; then
            echo "$file includes $included: $layer may include only $(allowed "$layer")" >&2
            status=1
        fi
    done < <(grep -rEH '^[[:space:]]*#[[:space:]]*include[[:space:]]+"' "$layer" --include='*.h' --include='*.cpp' || true)
done
if [ "$checked" -lt 50 ]; then
    echo "only $checked includes found: is this the source tree?" >&2
    exit 1
fi
echo "$checked includes point down the layers"
exit $status
