#!/usr/bin/env bash
# Writes a PNG of the window as it opens, under a virtual X display (Xvfb)
# with the real fonts, for the README.
#   scripts/screenshot.sh [BUILD_DIR] [OUT_PNG]          default: build docs/screenshot.png
#   scripts/screenshot.sh --keys DIR [BUILD_DIR]          also drives the window from the
#       keyboard (Tab through the boxes, Space on "进行计算", Esc on its prompt, then a whole
#       set-up typed into the prompts) and writes a picture of each step into DIR.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = "--inside" ]; then
    shift
    build=$1 out=$2 keys=${3:-}
    "$build/app/capbeam" &
    app=$!
    trap 'kill "$app" 2>/dev/null || true' EXIT
    win=$(xdotool search --sync --onlyvisible --name '斜交盖梁' | head -n 1)
    xdotool windowfocus --sync "$win"
    sleep 1
    import -window "$win" "$out"
    if [ -n "$keys" ]; then
        mkdir -p "$keys"
        # Tab order: Text1 (focus at start) ... Text15, then 退出计算, 进行计算.
        xdotool key --delay 50 Tab Tab Tab Tab Tab Tab Tab
        sleep 0.3; import -window "$win" "$keys/1-text8-focused.png"
        for _ in $(seq 9); do xdotool key --delay 50 Tab; done
        sleep 0.3; import -window "$win" "$keys/2-command1-focused.png"
        xdotool key space
        sleep 1
        import -window root "$keys/3-prompt.png"
        xdotool key Escape
        sleep 0.5
        import -window root "$keys/4-after-esc.png"
        kill -0 "$app" || { echo "the window ended unexpectedly" >&2; exit 1; }
        # A whole set-up typed into the prompts (Space again on 进行计算).
        xdotool key space
        for reply in 3000 5000 12345.678 3300 5400 30.153 500 1; do
            sleep 0.4; xdotool type --delay 30 "$reply"; xdotool key Return
        done
        sleep 0.5; import -window "$win" "$keys/5-after-set-up.png"
        # Back to 退出计算 (one Shift+Tab from 进行计算) and press it: the program ends.
        xdotool key shift+Tab space
        for _ in $(seq 20); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
        if kill -0 "$app" 2>/dev/null; then echo "退出计算 did not end the program" >&2; exit 1; fi
        echo "keyboard run: pictures in $keys, 退出计算 ended the program"
    fi
    exit 0
fi

keys=""
if [ "${1:-}" = "--keys" ]; then keys=$(realpath -m "$2"); shift 2; fi
build=${1:-build}
out=$(realpath -m "${2:-docs/screenshot.png}")
mkdir -p "$(dirname "$out")"
xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" "$0" --inside "$build" "$out" "$keys"
echo "wrote $out"
