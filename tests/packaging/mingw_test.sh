#!/usr/bin/env bash
# Cross-compiles the calculation core and the terminal front-end for Windows
# with Debian's mingw-w64, so that their portability is checked, not assumed.
set -euo pipefail
src=$(cd "$1" && pwd)
out=$2
cmake -S "$src" -B "$out" -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-w64.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DCAPBEAM_GUI=OFF -DCAPBEAM_TESTS=OFF >/dev/null
cmake --build "$out" -j 2 --target capbeam-cli >/dev/null
exe="$out/capbeam-cli.exe"
[ -f "$exe" ] || { echo "no $exe"; exit 1; }
# A PE image starts with "MZ", and the program carries the icon resource.
[ "$(head -c2 "$exe")" = "MZ" ] || { echo "$exe is not a Windows program"; exit 1; }
x86_64-w64-mingw32-objdump -h "$exe" | grep -q '\.rsrc' || { echo "$exe has no resources"; exit 1; }
echo "mingw: ok"
