#!/bin/sh
# capbeam-cli batch as a whole process, timed end to end (start-up, set-up,
# every request, the CSV through a pipe): 10,000, 100,000 and 1,000,000
# chainages on standard input. Prints each run's wall time in seconds and,
# where GNU time is installed, the process's peak resident memory.
# Usage: bench/cli_batch.sh path/to/capbeam-cli
set -eu
cli="$1"
input=$(mktemp)
trap 'rm -f "$input"' EXIT
for count in 10000 100000 1000000; do
    # 300 m of road from 150 m before J, evenly spaced: every chainage makes a row.
    awk -v n="$count" 'BEGIN { for (i = 0; i < n; i++) printf "%.4f\n", 12195.678 + i * 300 / n }' >"$input"
    for run in 1 2 3; do
        if [ -x /usr/bin/time ]; then
            /usr/bin/time -f "%e %M" -o "$input.time" "$cli" batch --xo 3000 --yo 5000 --kj 12345.678 --xj 3300 \
                --yj 5400 --b 30.153 --r 500 --p 1 --dr 10 <"$input" | wc -l >/dev/null
            awk -v n="$count" -v r="$run" '{ printf "%d chainages, run %d: %.3f s, peak %.1f MB\n", n, r, $1, $2 / 1024 }' \
                "$input.time"
            rm -f "$input.time"
        else
            start=$(date +%s.%N)
            "$cli" batch --xo 3000 --yo 5000 --kj 12345.678 --xj 3300 --yj 5400 --b 30.153 --r 500 --p 1 --dr 10 \
                <"$input" | wc -l >/dev/null
            end=$(date +%s.%N)
            awk -v s="$start" -v e="$end" -v n="$count" -v r="$run" \
                'BEGIN { printf "%d chainages, run %d: %.3f s\n", n, r, e - s }'
        fi
    done
done
