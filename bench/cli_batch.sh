#!/bin/sh
# capbeam-cli batch with 10,000 chainages on standard input, timed end to end
# (start-up, set-up, every request, the CSV through a pipe). Prints the wall
# time of each of five runs in seconds.
# Usage: bench/cli_batch.sh path/to/capbeam-cli
set -eu
cli="$1"
input=$(mktemp)
trap 'rm -f "$input"' EXIT
# 0.03 m apart from 150 m before J to 150 m beyond: every chainage makes a row.
awk 'BEGIN { for (i = 0; i < 10000; i++) printf "%.3f\n", 12195.678 + i * 0.03 }' >"$input"
for run in 1 2 3 4 5; do
    start=$(date +%s.%N)
    "$cli" batch --xo 3000 --yo 5000 --kj 12345.678 --xj 3300 --yj 5400 --b 30.153 --r 500 --p 1 --dr 10 \
        <"$input" | wc -l >/dev/null
    end=$(date +%s.%N)
    awk -v s="$start" -v e="$end" -v r="$run" 'BEGIN { printf "run %d: %.3f s\n", r, e - s }'
done
