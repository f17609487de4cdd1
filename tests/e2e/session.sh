# What the end-to-end scripts share, sourced by each after `program` is set: the
# private X server of tools/xserver.sh, the program started and ended as a person does,
# File > Save from its menu, and its controls found as a screen reader finds them.
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/xserver.sh"

# Fails the test with the program's output, when it has any.
fail() {
    echo "FAIL: $*" >&2
    [[ -s ${work:-}/program.log ]] && cat "$work/program.log" >&2
    exit 1
}

# Fails unless every tool named is installed.
require_tools() {
    local tool
    for tool; do
        command -v "$tool" >/dev/null || fail "$tool is not installed (tools/install-dependencies.sh test)"
    done
}

# start_program FOLDER [COMMAND...]: starts $program in FOLDER, through COMMAND when given
# (env, setpriv), and sets `main` to its main window once that shows.
start_program() {
    local folder=$1
    shift
    (cd "$folder" && exec "$@" "$program") >"$work/program.log" 2>&1 &
    app_pid=$!
    main=$(wait_window 'carte de telefoane' 20)
}

# File > Save in the main window $1.
save_from_menu() {
    xdotool windowfocus --sync "$1"
    xdotool key alt+f
    sleep 0.3
    xdotool key s
}

# Waits up to five seconds for the file $1 to hold something.
wait_for_file() {
    for _ in $(seq 50); do
        [[ -s $1 ]] && return 0
        sleep 0.1
    done
    return 1
}

# Ends the program through File > Exit in its main window $1; fails the test unless it
# ended by itself with status 0.
end_program() {
    exit_from_menu "$1" || fail "the program still runs after File > Exit"
    local status=0
    wait "$app_pid" || status=$?
    app_pid=
    [[ $status -eq 0 ]] || fail "exit status $status"
}

# Starts a D-Bus session of the script's own and the accessibility bus on it, after the X
# server and before the program, which joins the accessibility bus only when that runs
# at its start.
start_accessibility() {
    # The accessibility bus puts its socket here rather than in the home's cache.
    export XDG_RUNTIME_DIR=$work/runtime
    mkdir -m 700 -p "$XDG_RUNTIME_DIR"
    dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$work/bus" 2>"$work/dbus.log" &
    other_pids+=" $!"
    for _ in $(seq 100); do
        [[ -s $work/bus ]] && break
        sleep 0.1
    done
    [[ -s $work/bus ]] || { echo "dbus-daemon did not start: $(cat "$work/dbus.log")" >&2; return 1; }
    export DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus")
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
        >/dev/null 2>>"$work/dbus.log" || { echo "no accessibility bus: $(cat "$work/dbus.log")" >&2; return 1; }
    # Qt speaks to the accessibility bus only for a screen reader, unless told to.
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
}

# control [--showing] [--character N] WINDOW ROLE NAME: where the control is on the
# screen, "X Y WIDTH HEIGHT", or "hidden" (tests/e2e/control.py).
control() {
    /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/control.py" "$@"
}

# click WINDOW ROLE NAME: clicks the middle of the control, once it shows.
click() {
    local x y width height
    read -r x y width height < <(control --showing "$@") && [[ -n $height ]] || return 1
    xdotool mousemove --sync $((x + width / 2)) $((y + height / 2)) click 1
    sleep 0.3
}
