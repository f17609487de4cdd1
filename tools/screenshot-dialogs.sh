#!/usr/bin/env bash
# Takes pictures of what the main screenshot does not show: the reports of a failed
# load, save and print, the memory refusal, the context menus of a field and of the
# list, the focus on a button and on the list, and the print progress window. Each
# scene runs the real program in a folder of its own on a private X server with a
# window manager, so that title bars show as a user sees them.
#
# usage: tools/screenshot-dialogs.sh [path/to/carte-de-telefon [output folder]]
#        (default: build/carte-de-telefon, docs/screenshots)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
program=$(realpath "${1:-$root/build/carte-de-telefon}")
output=$(realpath -m "${2:-$root/docs/screenshots}")
[[ -x $program ]] || { echo "no program at $program: build it first" >&2; exit 1; }
for tool in Xvfb openbox xdotool import cupsd lpadmin; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed (tools/install-dependencies.sh test)" >&2; exit 1; }
done
mkdir -p "$output"

source "$root/tools/xserver.sh"
source "$root/tools/private-cups.sh"
begin_session dialogs
XSERVER_SCREEN=1024x768x24 start_xserver
openbox >/dev/null 2>&1 &
other_pids+=" $!"
sleep 1
# No printer of the machine's or the user's takes part: printing goes to no server at
# all, or to the private one started for the progress window.
export CUPS_SERVER=$work/no-cups.sock HOME=$work/home
mkdir -p "$HOME"

# What each scene's folder holds before the program starts in it.
sample() { printf '%s\n' 'Pop  Ana  555' 'Ionescu  Maria  0722 123 456' 'Popescu  Ion  0744 555 010' >"$folder/baza.txt"; }
sample_and_folder_named_baza_doc() {
    sample
    mkdir "$folder/baza.doc"
}
lines() { awk -v n="$1" 'BEGIN { for (i = 0; i < n; i++) print "Popescu  Ion  0744 555 010" }' >"$folder/baza.txt"; }

# Starts the program in a new folder prepared by the caller's command; sets $folder.
start() {
    folder=$work/scene$((++scenes))
    mkdir -p "$folder"
    "$@"
    (
        [[ -z ${memory_limit_kb:-} ]] || ulimit -v "$memory_limit_kb"
        cd "$folder" && exec "$program"
    ) >>"$work/program.log" 2>&1 &
    app_pid=$!
}
scenes=0
stop() {
    stop_process "$app_pid"
    app_pid=
}
shoot() {
    sleep 0.6
    import -window root "$output/$1.png"
    echo "wrote $output/$1.png"
}
die() {
    echo "$*; the program said: $(cat "$work/program.log")" >&2
    exit 1
}
main_window() { wait_window 'carte de telefoane' 20 || die "no main window"; }
# A message box is titled with the application's title alone.
message_box() { wait_window '^carte de telefon$' 20 || die "no message box"; }
file_menu() {
    xdotool windowfocus --sync "$1" key alt+f
    sleep 0.4
    xdotool key "$2"
}

# A missing baza.txt: the report names the folder where the program looked.
start true
message_box >/dev/null
shoot load-missing-file
stop

# baza.doc is a folder: Save cannot replace it.
start sample_and_folder_named_baza_doc
main=$(main_window)
file_menu "$main" s
message_box >/dev/null
shoot save-failed
stop

# No printer: the message first, then the report.
start sample
main=$(main_window)
file_menu "$main" p
box=$(message_box)
xdotool windowfocus --sync "$box" key Return
sleep 0.5
message_box >/dev/null
shoot print-no-printer
stop

# A phone book larger than the memory this process may take.
memory_limit_kb=$((1536 * 1024)) start lines 3000000
message_box >/dev/null
shoot load-memory-refused
stop

# The context menu of the surname field, which has the focus at start, and of the list.
start sample
main=$(main_window)
xdotool windowfocus --sync "$main"
sleep 0.3
xdotool key Menu
shoot context-menu-field
xdotool key Escape
# Four tabs reach the show button; Enter shows the list, a tab more reaches it.
xdotool key Tab Tab Tab Tab
shoot focus-button
xdotool key Return Tab
shoot focus-list
xdotool key Menu
shoot context-menu-list
xdotool key Escape
stop

# The progress window of a long job, on a print server of this script's own whose one
# queue discards what it gets.
start_private_cups "$work/cups" || die "no print server"
lpadmin -p discard -v file:///dev/null -E -o printer-is-shared=false
lpadmin -d discard
start lines 200000
main=$(main_window)
file_menu "$main" p
box=$(message_box)
xdotool windowfocus --sync "$box" key Return
# The progress window bears the same title as the message before it, which may still be
# listed; a job of 40000 lines had ended before the picture was taken.
progress=
for _ in $(seq 200); do
    progress=$(xdotool search --onlyvisible --name '^carte de telefon$' 2>/dev/null | grep -vx "$box" | head -n1 || true)
    [[ -n $progress ]] && break
    sleep 0.1
done
[[ -n $progress ]] || die "no progress window"
shoot print-progress
stop
