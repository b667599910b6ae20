#!/usr/bin/env bash
# Installs the built tree into a scratch prefix and checks what a desktop
# finds there: both programs, a valid menu entry, the icon in every size and
# valid software-centre metadata.
set -euo pipefail
build=$1 example_job=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null
id=org.capbeam.Capbeam
for f in bin/capbeam-cli share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
         share/icons/hicolor/scalable/apps/$id.svg; do
    [ -e "$prefix/$f" ] || { echo "missing after install: $f"; exit 1; }
done
if [ -e "$build/app/capbeam" ]; then
    [ -x "$prefix/bin/capbeam" ] || { echo "missing after install: bin/capbeam"; exit 1; }
fi
for size in 16 32 48 256; do
    png=$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png
    [ -e "$png" ] || { echo "missing icon $png"; exit 1; }
    # The PNG header holds width and height as big-endian words at bytes 16..23.
    dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4 "x" $7*256+$8}')
    [ "$dims" = "${size}x${size}" ] || { echo "icon $png is $dims, not ${size}x${size}"; exit 1; }
done
desktop-file-validate "$prefix/share/applications/$id.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml"
# The job type: a valid shared-mime-info package, named by the menu entry,
# that gives the example job its type by name and by content.
mime=$prefix/share/mime/packages/$id.xml
[ -e "$mime" ] || { echo "missing after install: share/mime/packages/$id.xml"; exit 1; }
xmllint --noout "$mime"
grep -q '^MimeType=application/x-capbeam-job;$' "$prefix/share/applications/$id.desktop" \
    || { echo "the menu entry does not name the job type"; exit 1; }
XDG_DATA_DIRS="$prefix/share" update-mime-database "$prefix/share/mime"
grep -q '^50:application/x-capbeam-job:\*\.capbeam$' "$prefix/share/mime/globs2" \
    || { echo "the mime database does not know *.capbeam"; exit 1; }
printf '3\n' | "$prefix/bin/capbeam-cli" --fields >/dev/null
# The sheet is written by capbeam-report, which the installed capbeam-cli finds
# beside itself; alone, capbeam-cli says what is missing.
if [ -e "$build/capbeam-report" ]; then
    "$prefix/bin/capbeam-cli" report --job "$example_job" -o "$prefix/sheet.pdf"
    [ -s "$prefix/sheet.pdf" ] || { echo "the installed capbeam-cli wrote no sheet"; exit 1; }
    mkdir "$prefix/alone" && cp "$prefix/bin/capbeam-cli" "$prefix/alone/"
    status=0
    "$prefix/alone/capbeam-cli" report --job "$example_job" -o "$prefix/alone.pdf" 2>"$prefix/alone.err" || status=$?
    [ "$status" -eq 2 ] && grep -q "找不到写计算书的程序 capbeam-report" "$prefix/alone.err" \
        || { echo "capbeam-cli without capbeam-report: status $status"; cat "$prefix/alone.err"; exit 1; }
    # A report program that dies: told, status 3, not taken for a missing one.
    printf '#!/bin/sh\nkill -KILL $$\n' >"$prefix/alone/capbeam-report"
    chmod +x "$prefix/alone/capbeam-report"
    status=0
    "$prefix/alone/capbeam-cli" report --job "$example_job" -o "$prefix/alone.pdf" 2>"$prefix/alone.err" || status=$?
    [ "$status" -eq 3 ] && grep -q "意外中止" "$prefix/alone.err" \
        || { echo "capbeam-cli with a dying capbeam-report: status $status"; cat "$prefix/alone.err"; exit 1; }
fi
echo "install: ok"
