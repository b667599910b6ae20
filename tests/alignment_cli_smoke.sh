#!/bin/sh
# The alignment commands as a script would use them: the real binary, real
# pipes, the example JD table of the README.
set -eu
cli="$1"
example="$2"

fail() {
    echo "$1" >&2
    exit 1
}

# The main points: a title line, the start, JD1's five, JD2's three, the end.
lines=$("$cli" alignment "$example" | wc -l)
[ "$lines" -eq 11 ] || fail "alignment printed $lines lines, expected 11"

# Chainages on standard input, the points on standard output in CR LF lines.
out=$(printf 'K0+100\n200 K0+695[1]\n' | "$cli" coord --alignment "$example" --offset 5)
[ "$(printf '%s\n' "$out" | wc -l)" -eq 4 ] || fail "coord printed: $out"
printf '%s\n' "$out" | sed -n 2p | grep -q "^K 0+ 100,5,3100,5005,0.00000.$" || fail "coord K0+100: $out"

# Coordinates on standard input give back the chainage and the offset.
printf '3100,5005\n' | "$cli" inverse --alignment "$example" | grep -q "^3100,5005,K 0+ 100,5.$" ||
    fail "inverse did not find K0+100"

# A refused item: status 1, the item named on standard error.
status=0
err=$(printf '100\nK0+695\n' | "$cli" batch --alignment "$example" --kj 100 --b 60 --dr 10 2>&1 >/dev/null) ||
    status=$?
[ "$status" -eq 1 ] || fail "a batch with an ambiguous chainage exited with $status, expected 1"
case "$err" in K0+695*) ;; *) fail "the refused chainage was not named: $err" ;; esac

# A file that is not there: status 2.
status=0
"$cli" alignment /nonexistent/road.csv >/dev/null 2>&1 || status=$?
[ "$status" -eq 2 ] || fail "a missing file exited with $status, expected 2"

# Output that cannot be written: status 3.
if [ -w /dev/full ]; then
    status=0
    "$cli" alignment "$example" >/dev/full 2>/dev/null || status=$?
    [ "$status" -eq 3 ] || fail "writing to a full device exited with $status, expected 3"
fi
echo "alignment commands behave through real pipes"
