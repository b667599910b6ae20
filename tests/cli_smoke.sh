#!/bin/sh
# The terminal front-end as a script would use it: the real binary, real pipes.
set -eu
cli="$1"

printf '3\n' | "$cli" --fields >/dev/null

lines=$(printf '' | "$cli" --fields | wc -l)
if [ "$lines" -ne 21 ]; then
    echo "empty input printed $lines lines, expected the 21 fields" >&2
    exit 1
fi
