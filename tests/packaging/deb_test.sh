#!/usr/bin/env bash
# Builds the Debian package from the built tree and checks its control file
# and its contents, then unpacks it into a scratch root and runs the terminal
# front-end from there.
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$work" && cpack --config "$build/CPackConfig.cmake" -G DEB >/dev/null)
deb=$(ls "$work"/capbeam_*.deb)
control=$(dpkg-deb -f "$deb")
depends=$(dpkg-deb -f "$deb" Depends)
for need in libqt6widgets6 libqt6core6 qt6-qpa-plugins fonts-wqy-microhei qt6-translations-l10n; do
    grep -q "$need" <<<"$depends" || { echo "Depends lacks $need: $depends"; exit 1; }
done
grep -q '^Package: capbeam$' <<<"$control"
# The package is for this machine's architecture, exactly.
arch=$(dpkg --print-architecture)
grep -qx "Architecture: $arch" <<<"$control" || { echo "Architecture is not $arch: $control"; exit 1; }
files=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in ./usr/bin/capbeam ./usr/bin/capbeam-cli ./usr/share/applications/org.capbeam.Capbeam.desktop \
         ./usr/share/metainfo/org.capbeam.Capbeam.metainfo.xml \
         ./usr/share/icons/hicolor/256x256/apps/org.capbeam.Capbeam.png ./usr/share/doc/capbeam/copyright; do
    grep -qx "$f" <<<"$files" || { echo "package lacks $f"; exit 1; }
done
dpkg-deb -x "$deb" "$work/root"
grep -qx 'License: MIT' "$work/root/usr/share/doc/capbeam/copyright" || { echo "copyright does not name MIT"; exit 1; }
out=$(printf '' | "$work/root/usr/bin/capbeam-cli" --fields | wc -l)
[ "$out" -eq 21 ] || { echo "unpacked capbeam-cli printed $out lines, not 21"; exit 1; }
echo "deb: ok ($depends)"
