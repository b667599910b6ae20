# Typing into the window's prompts with xdotool, for scripts/screenshot.sh
# (Linux) and scripts/check-windows.sh (Wine); sourced, not run.
#
# Each prompt is looked for again and again rather than waited for with
# --sync (the dialog just answered may vanish while xdotool looks at it,
# which ends xdotool with an X error), and given the keyboard before the
# reply is typed: without a window manager Wine does not always do so.
# When a prompt does not come, the screen is pictured into $prompt_shot
# (if set) and the script ends.

prompt_window() { xdotool search --onlyvisible --name '^盖梁端点坐标计算$' 2>/dev/null | tail -n 1 || true; }

# Answers the prompts that open one after another with the given replies.
answer() {
    local reply id
    for reply in "$@"; do
        id=
        for _ in $(seq 120); do
            id=$(prompt_window)
            [ -n "$id" ] && break
            sleep 0.5
        done
        if [ -z "$id" ]; then
            [ -z "${prompt_shot:-}" ] || import -window root "$prompt_shot"
            echo "no prompt came for $reply${prompt_shot:+; the screen then: $prompt_shot}" >&2
            exit 1
        fi
        xdotool windowfocus --sync "$id" 2>/dev/null || true
        sleep 0.3
        xdotool type --delay 40 -- "$reply"  # -- : a reply may start with a minus
        xdotool key Return
        # The answered prompt goes before the next one is looked for.
        for _ in $(seq 40); do
            [ "$(prompt_window)" = "$id" ] || break
            sleep 0.25
        done
    done
}

# The worked example typed as a user would, the window having the keyboard
# with the focus in its first box: Tab to 进行计算 (Command1), Return, the
# set-up; six Tabs on to 座标计算 (Command2), which keeps the focus between
# requests; five chainages with Dr 6 m.
type_worked_example() {
    for _ in $(seq 16); do xdotool key --delay 40 Tab; done
    xdotool key Return
    answer 3000 5000 12345.678 3300 5400 30.153 500 1
    for _ in $(seq 6); do xdotool key --delay 40 Tab; done
    for Kp in 12300 12322.5 12345.678 12370 12395; do
        xdotool key Return
        answer "$Kp" 6 0.001
    done
}
