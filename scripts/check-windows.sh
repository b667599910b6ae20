#!/usr/bin/env bash
# make windows-check: the Windows build (make windows) checked under Debian's
# Wine, in a Wine prefix of its own (build-windows/wine) with a CJK font put
# into its Fonts folder:
#   1. the terminal tests against capbeam-cli.exe (smoke, CSV, alignment,
#      every recorded golden run byte for byte), and its calculation sheet;
#   2. capbeam.exe under Xvfb: a set-up and five requests typed into its
#      prompts, and a picture, build-windows/windows-screenshot.png, to look at;
#   3. the installer installs silently (files, Start menu entry, the .capbeam
#      association, the uninstaller's entry) and uninstalls silently.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
version=$(sed -n 's/^project(capbeam VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
stage=$root/build-windows/capbeam-$version-windows-x64
setup=$root/build/capbeam-$version-setup.exe
shot=$root/build-windows/windows-screenshot.png

export WINEPREFIX=${WINEPREFIX:-$root/build-windows/wine}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=C.UTF-8

if [ "${1:-}" = "--window-inside" ]; then
    # Runs inside xvfb-run: drives the window as scripts/screenshot.sh --demo
    # does on Linux (Tab to 进行计算, the worked example's set-up, five
    # chainages with Dr 6 m), then takes the picture.
    # answer and type_worked_example.
    source scripts/prompt-keys.sh
    prompt_shot=$shot
    wine "$stage/capbeam.exe" &
    app=$!
    trap 'kill "$app" 2>/dev/null || true' EXIT
    win=$(timeout 120 xdotool search --sync --onlyvisible --name '斜交盖梁' | head -n 1) || true
    [ -n "$win" ] || { echo "capbeam.exe showed no window" >&2; exit 1; }
    xdotool windowmove "$win" 0 0
    xdotool windowactivate "$win" 2>/dev/null || xdotool windowfocus "$win"
    sleep 2
    type_worked_example
    sleep 2
    kill -0 "$app" || { echo "capbeam.exe ended unexpectedly" >&2; exit 1; }
    import -window root "$shot"
    exit 0
fi

[ -f "$stage/capbeam.exe" ] && [ -f "$setup" ] || { echo "no Windows build: make windows first" >&2; exit 1; }

# The prefix, once; the font the window falls back to when neither Microsoft
# YaHei nor SimSun is there (a bare prefix has no Chinese font at all).
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot --init >/dev/null 2>&1
    wineserver -w
fi
cp /usr/share/fonts/truetype/wqy/wqy-microhei.ttc "$WINEPREFIX/drive_c/windows/Fonts/"
# One Wine server for all the runs below, instead of one started for each.
wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT

echo "== capbeam-cli.exe: the terminal tests"
cli=$root/build-windows/capbeam-cli-wine
printf '#!/bin/sh\nexec wine "%s" "$@"\n' "$stage/capbeam-cli.exe" >"$cli"
chmod +x "$cli"
sh tests/cli_smoke.sh "$cli"
python3 tests/cli_csv_check.py "$cli"
sh tests/alignment_cli_smoke.sh "$cli" "$root/docs/example-jd.csv"
python3 tests/golden/check.py "$cli" tests/golden/cases.jsonl

# A file name with a blank and Chinese: capbeam-cli.exe hands it on whole.
echo "== capbeam-cli.exe report: the sheet, written by capbeam-report.exe beside it"
sheet="$root/build-windows/示例 计算书.pdf"
rm -f "$sheet"
wine "$stage/capbeam-cli.exe" report --job "$(winepath -w "$root/docs/example.capbeam")" -o "$(winepath -w "$sheet")"
pdftotext "$sheet" - | grep -q "盖梁端点坐标计算书" || { echo "the sheet written under Wine lacks its title" >&2; exit 1; }
pdffonts "$sheet" | awk 'NR > 2 && $(NF-4) != "yes" { bad = 1 } END { exit bad }' \
    || { echo "a font of the sheet written under Wine is not embedded" >&2; exit 1; }

echo "== capbeam.exe: the window, driven from the keyboard"
rm -f "$shot"
# The Wine server started above, with no display, would keep the window's
# desktop away from the X server: the window gets a server of its own.
wineserver -k 2>/dev/null || true
wineserver -w
xvfb-run -a -s "-screen 0 1366x768x24 -dpi 96" "$0" --window-inside
[ -s "$shot" ] || { echo "no picture of the window" >&2; exit 1; }
echo "picture of the window: $shot (look at it: Chinese captions, the results in their boxes)"

echo "== the installer, silently"
wineserver -w
wineserver -p
installed=$WINEPREFIX/drive_c/Program\ Files/capbeam
menu=$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/盖梁端点坐标计算
fail() { echo "installer: $1" >&2; exit 1; }
wine "$setup" /S
for f in capbeam.exe capbeam-cli.exe capbeam-report.exe uninstall.exe platforms/qwindows.dll qt.conf; do
    [ -f "$installed/$f" ] || fail "no $f in Program Files"
done
[ -f "$menu/盖梁端点坐标计算.lnk" ] || fail "no Start menu entry"
# Whole answers first, then looked at: grep -q ending early would leave the
# writer a broken pipe, which pipefail reports as a failure.
regval() { wine reg query "$1" /ve 2>/dev/null || true; }
case $(regval 'HKLM\Software\Classes\.capbeam') in *capbeam.job*) ;; *) fail ".capbeam is not associated" ;; esac
case $(regval 'HKLM\Software\Classes\capbeam.job\shell\open\command') in
    *'capbeam.exe" "%1"'*) ;;
    *) fail ".capbeam does not open in capbeam.exe" ;;
esac
entry=$(wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\capbeam' /v DisplayVersion 2>/dev/null || true)
case $entry in *"$version"*) ;; *) fail "no uninstaller entry" ;; esac
fields=$(printf '' | wine "$installed/capbeam-cli.exe" --fields)
case $fields in *Text21=*) ;; *) fail "the installed capbeam-cli.exe does not run" ;; esac
# The uninstaller copies itself away and returns at once: wait for it.
wine "$installed/uninstall.exe" /S
for _ in $(seq 120); do [ -e "$installed" ] || break; sleep 0.5; done
[ ! -e "$installed" ] || fail "uninstall left $(ls "$installed")"
[ ! -e "$menu" ] || fail "uninstall left the Start menu entry"
if wine reg query 'HKLM\Software\Classes\.capbeam' >/dev/null 2>&1; then fail "uninstall left the .capbeam association"; fi
echo "installer: installed and uninstalled silently"
echo "windows-check: ok"
