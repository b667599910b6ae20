#!/usr/bin/env bash
# Pictures of the window under a virtual X display (Xvfb) with the real fonts:
# as it opens, driven by keyboard, or with a set-up and beams for the README.
#   scripts/screenshot.sh [--screen WxH] [BUILD_DIR] [OUT_PNG]   default: 1366x768, build,
#       BUILD_DIR/screenshot.png
#   scripts/screenshot.sh --job FILE [BUILD_DIR] [OUT_PNG]   the window with a job opened.
#   scripts/screenshot.sh --keys DIR [BUILD_DIR]          also drives the window from the
#       keyboard (Tab through the boxes, Space on "进行计算", Esc on its prompt, then a whole
#       set-up typed into the prompts) and writes a picture of each step into DIR.
#   scripts/screenshot.sh --demo [BUILD_DIR] [OUT_PNG] [DIR]   a set-up and five requests typed
#       into the prompts as a user would (the worked example's curve, Dr 6 m), then the
#       picture: the boxes, the plan view with the beams and the pier table. With DIR, also
#       a batch typed into its dialog (one chainage refused), then the dialog reopened with
#       what was typed and a range of 100,000 chainages run in it, pictured in DIR.
set -euo pipefail
cd "$(dirname "$0")/.."

# Clicks a button of the form at its centre, in window pixels.
click() { xdotool mousemove --window "$win" "$1" "$2" click 1; }
# answer and type_worked_example.
source scripts/prompt-keys.sh

if [ "${1:-}" = "--demo-inside" ]; then
    shift
    build=$1 out=$2 more=${3:-}
    "$build/app/capbeam" &
    app=$!
    trap 'kill "$app" 2>/dev/null || true' EXIT
    win=$(xdotool search --sync --onlyvisible --name '斜交盖梁' | head -n 1)
    xdotool windowmove "$win" 0 0
    xdotool windowfocus --sync "$win"
    sleep 1
    # Pressed from the keyboard, so on any screen.
    type_worked_example
    sleep 1
    kill -0 "$app" || { echo "the window ended unexpectedly" >&2; exit 1; }
    import -window "$win" "$out"
    [ -n "$more" ] || exit 0
    mkdir -p "$more"
    # 批量计算… at the panel's bottom left: a list with one chainage the
    # geometry refuses, run with Ctrl+Enter.
    click 830 642
    dialog=$(xdotool search --sync --onlyvisible --name '^批量计算$' | head -n 1)
    sleep 0.5
    xdotool key Tab
    xdotool type --delay 20 "12310 12335, 12355 12380 12645.678"
    xdotool key ctrl+Return
    sleep 1
    import -window "$dialog" "$more/batch-dialog.png"
    xdotool key Escape
    sleep 0.5
    import -window "$win" "$more/after-batch.png"
    # The dialog again, holding what was typed: then a range of 100,000
    # chainages (Down turns to the range, Tab walks start, step and end),
    # pictured while it runs, its progress bar and 取消 showing.
    click 830 642
    dialog=$(xdotool search --sync --onlyvisible --name '^批量计算$' | head -n 1)
    sleep 0.5
    import -window "$dialog" "$more/batch-dialog-kept.png"
    xdotool key Down Tab
    xdotool type --delay 20 "12200"
    xdotool key Tab
    xdotool type --delay 20 "0.003"
    xdotool key Tab
    xdotool type --delay 20 "12499.997"
    xdotool key ctrl+Return
    sleep 0.4
    import -window root "$more/batch-running.png"
    sleep 8
    import -window "$dialog" "$more/batch-done.png"
    xdotool key Escape
    sleep 0.5
    import -window "$win" "$more/after-long-batch.png"
    exit 0
fi

if [ "${1:-}" = "--inside" ]; then
    shift
    build=$1 out=$2 keys=${3:-}
    "$build/app/capbeam" ${CAPBEAM_JOB:+"$CAPBEAM_JOB"} &
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
        # Back to 退出计算 (one Shift+Tab from 进行计算) and press it: the set-up
        # is unsaved work, so it asks first; 不保存 (Alt+N) ends the program.
        xdotool key shift+Tab space
        xdotool search --sync --onlyvisible --name '^作业没有保存$' >/dev/null
        sleep 0.3; import -window root "$keys/6-save-question.png"
        xdotool key alt+n
        for _ in $(seq 20); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
        if kill -0 "$app" 2>/dev/null; then echo "退出计算 did not end the program" >&2; exit 1; fi
        echo "keyboard run: pictures in $keys, 退出计算 ended the program"
    fi
    exit 0
fi

# --screen WxH first: another screen than 1366x768 (1024x600, 700x450: the
# window opens within it; the demo's batch click assumes 1366x768).
screen=1366x768
if [ "${1:-}" = "--screen" ]; then screen=$2; shift 2; fi

if [ "${1:-}" = "--demo" ]; then
    shift
    build=${1:-build}
    out=$(realpath -m "${2:-docs/screenshot.png}")
    more=${3:+$(realpath -m "$3")}
    mkdir -p "$(dirname "$out")"
    xvfb-run -a -s "-screen 0 ${screen}x24 -dpi 96" "$0" --demo-inside "$build" "$out" "$more"
    echo "wrote $out"
    exit 0
fi

# --job FILE: the window opens with that job (as `capbeam FILE` does).
if [ "${1:-}" = "--job" ]; then export CAPBEAM_JOB=$(realpath "$2"); shift 2; fi

keys=""
if [ "${1:-}" = "--keys" ]; then keys=$(realpath -m "$2"); shift 2; fi
build=${1:-build}
out=$(realpath -m "${2:-$build/screenshot.png}")
mkdir -p "$(dirname "$out")"
xvfb-run -a -s "-screen 0 ${screen}x24 -dpi 96" "$0" --inside "$build" "$out" "$keys"
echo "wrote $out"
