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

# A batch through real pipes: chainages on standard input, CSV out, refusals
# on standard error with the exit status saying so.
curve="--xo 1000 --yo 2000 --kj 1000 --xj 1500 --yj 2000 --b 60 --r 500 --p 1 --dr 10"
# shellcheck disable=SC2086
lines=$(printf '1020\n980\n1000\n' | "$cli" batch $curve | wc -l)
if [ "$lines" -ne 4 ]; then
    echo "a batch of three printed $lines lines, expected a title line and three rows" >&2
    exit 1
fi
status=0
# shellcheck disable=SC2086
printf '1020\n1600\n' | "$cli" batch $curve >/dev/null 2>/dev/null || status=$?
if [ "$status" -ne 1 ]; then
    echo "a batch with a refused chainage exited with $status, expected 1" >&2
    exit 1
fi
status=0
# shellcheck disable=SC2086
"$cli" batch --xo 1000 --yo 2000 --kj 1000 --xj 1500 --yj 2000 --b 60 --r 0 --p 1 --dr 10 1020 \
    >/dev/null 2>/dev/null || status=$?
if [ "$status" -ne 2 ]; then
    echo "a batch with a radius of 0 exited with $status, expected 2" >&2
    exit 1
fi
