# Sourced by the end-to-end scripts after tools/xserver.sh has started the X server:
# finds the program's controls as a screen reader does, by the names it gives them, on
# a D-Bus session of the script's own that carries the accessibility bus.

# Starts the session bus and the accessibility bus on it, before the program, which
# joins the accessibility bus only when that runs at its start.
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
