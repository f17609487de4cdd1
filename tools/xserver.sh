# The one way the project starts a private X server. Sourced by the scripts that drive
# the real program (tests, screenshots, benchmarks): a server that is stopped on any
# exit, and waiting for a window by its title. Run as a program,
#
#   xserver.sh serve FILE
#
# it starts a server, writes its display name to FILE once the server answers a client,
# and keeps it until it is killed (the C++ tests that need a real display use this).
#
# begin_session NAME makes the scratch folder $work and arranges that on any exit, a
# signal included, the processes named in $app_pid and $other_pids, the X server and
# $work go. $XSERVER_SCREEN sets the screen's size and depth (default 1280x1024x24);
# $XSERVER_OPTIONS adds options of Xvfb's own (the benchmarks' -br, a black root).

# Ends a process this script started, by its id: asks, waits up to five seconds, then
# forces. Polls rather than `wait`, which can block in an exit trap.
stop_process() {
    local pid=$1
    [[ -n $pid ]] || return 0
    kill "$pid" 2>/dev/null || return 0
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null
    return 0
}

app_pid=
other_pids=
begin_session() {
    work=$(mktemp -d "${TMPDIR:-/tmp}/carte-$1.XXXXXX")
    trap end_session EXIT
    trap 'exit 130' INT TERM HUP
}
end_session() {
    local pid
    for pid in $app_pid $other_pids; do stop_process "$pid"; done
    stop_xserver
    rm -rf "$work"
}

xvfb_pid=
stop_xserver() {
    stop_process "$xvfb_pid"
    xvfb_pid=
}

# Starts Xvfb on a display it picks itself and exports DISPLAY for the program.
# -noreset: by default the server resets when its last client leaves, and a client
# that connects during that reset is turned away; the readiness probe below is such
# a last client, and the program comes right after it.
start_xserver() {
    # shellcheck disable=SC2086
    Xvfb -displayfd 3 -screen 0 "${XSERVER_SCREEN:-1280x1024x24}" ${XSERVER_OPTIONS:-} -nolisten tcp -noreset \
        3>"$work/display" 2>"$work/xvfb.log" &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [[ -s $work/display ]] && break
        kill -0 "$xvfb_pid" 2>/dev/null || { echo "Xvfb did not start: $(cat "$work/xvfb.log")" >&2; return 1; }
        sleep 0.1
    done
    [[ -s $work/display ]] || { echo "Xvfb gave no display number" >&2; return 1; }
    export DISPLAY=":$(head -n1 "$work/display")"
    export QT_QPA_PLATFORM=xcb
    # A server that has given its number may still turn clients away for a moment.
    for _ in $(seq 100); do
        xprop -root WM_NAME >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "Xvfb on $DISPLAY does not answer: $(cat "$work/xvfb.log")" >&2
    return 1
}

# Prints the id of the first visible window whose title matches the pattern, waiting up
# to $2 seconds (default 15); fails when none appears.
wait_window() {
    local pattern=$1 seconds=${2:-15} id
    for _ in $(seq $((seconds * 10))); do
        id=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -n1)
        [[ -n $id ]] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

# Waits up to $2 seconds (default 10) until no visible window's title matches.
wait_window_gone() {
    local pattern=$1 seconds=${2:-10}
    for _ in $(seq $((seconds * 10))); do
        xdotool search --onlyvisible --name "$pattern" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    return 1
}

# Ends the program in $app_pid as a person would, File > Exit from its main window $1,
# and waits up to ten seconds for it; fails when it still runs.
exit_from_menu() {
    xdotool windowfocus --sync "$1"
    xdotool key alt+f
    sleep 0.3
    xdotool key x
    for _ in $(seq 100); do
        kill -0 "$app_pid" 2>/dev/null || return 0
        sleep 0.1
    done
    return 1
}

if [[ ${BASH_SOURCE[0]} == "$0" && ${1:-} == serve && -n ${2:-} ]]; then
    begin_session xserver
    start_xserver || exit 1
    echo "$DISPLAY" >"$2.part" && mv "$2.part" "$2"
    wait "$xvfb_pid"
fi
