#!/bin/sh
# The calculation sheet's text as poppler's pdftotext reads it: the worked
# example's figures (README) in the sheet capbeam-cli writes of the example
# job (and its drawing, read by ezdxf), every generated point and stake-out row in a generated sheet, the JD
# table in the road's; page numbers that count the pages pdfinfo counts;
# every font embedded (pdffonts).
#   sheet_check.sh WRITE_SAMPLES CAPBEAM_CLI EXAMPLE_JOB SCRATCH
set -eu
samples="$1" cli="$2" job="$3" out="$4"
rm -rf "$out" && mkdir -p "$out"
"$samples" "$out" 5
"$cli" report --job "$job" -o "$out/example.pdf"
"$cli" drawing --job "$job" -o "$out/example.dxf"
# A job that does not open, a file that cannot be written: told, with their statuses.
set +e
"$cli" report --job "$out/none.capbeam" -o "$out/none.pdf" 2>"$out/none.err"; [ $? -eq 2 ] || { echo "report of a missing job: status"; exit 1; }
"$cli" drawing --job "$job" -o "$out/no/such/folder.dxf" 2>"$out/folder.err"; [ $? -eq 3 ] || { echo "drawing to a missing folder: status"; exit 1; }
"$cli" report --job "$job" -o "$out/no/such/folder.pdf" 2>>"$out/folder.err"; [ $? -eq 3 ] || { echo "report to a missing folder: status"; exit 1; }
set -e
grep -q "没有打开" "$out/none.err" || { cat "$out/none.err"; exit 1; }
[ "$(grep -c "文件夹不存在" "$out/folder.err")" -eq 2 ] || { cat "$out/folder.err"; exit 1; }
! grep -q "QStandardPaths\|No such file" "$out/folder.err" || { echo "English on standard error:"; cat "$out/folder.err"; exit 1; }
[ ! -e "$out/none.pdf" ] || { echo "a PDF of a job that did not open"; exit 1; }
exec /usr/bin/python3 "$(dirname "$0")/sheet_check.py" "$out"
