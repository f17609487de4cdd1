#!/usr/bin/env bash
# Takes docs/screenshot.png: the program on the sample phone book, with the list shown,
# on an X server of its own so that nothing else on the screen gets into the picture.
#
# usage: tools/screenshot.sh [path/to/carte-de-telefon]   (default: build/carte-de-telefon)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
program=$(realpath "${1:-$root/build/carte-de-telefon}")
[[ -x $program ]] || { echo "no program at $program: build it first" >&2; exit 1; }
for tool in Xvfb xdotool import; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/carte-screenshot.XXXXXX")
xvfb_pid=
app_pid=
cleanup() {
    [[ -n $app_pid ]] && kill "$app_pid" 2>/dev/null
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do [[ -s $work/display ]] && break; sleep 0.1; done
[[ -s $work/display ]] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
export QT_QPA_PLATFORM=xcb

cp "$root/resources/baza.txt" "$work/"
(cd "$work" && exec "$program") >/dev/null 2>&1 &
app_pid=$!

main=
for _ in $(seq 100); do
    main=$(xdotool search --onlyvisible --name 'carte de telefoane' 2>/dev/null | head -n1) && [[ -n $main ]] && break
    sleep 0.1
done
[[ -n $main ]] || { echo "the main window did not appear" >&2; exit 1; }
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$main")"

# The show button lies at (136, 320, 241 x 57) under the menu bar; its middle is hit
# whatever the menu bar's height within reason.
xdotool mousemove --sync $((X + 256)) $((Y + 20 + 348)) click 1
# Park the pointer on the window's surface, away from any control's hint.
xdotool mousemove --sync $((X + 40)) $((Y + 460))
sleep 0.5

mkdir -p "$root/docs"
import -window "$main" "$root/docs/screenshot.png"

xdotool windowfocus --sync "$main" key alt+f
sleep 0.3
xdotool key x
wait "$app_pid" || true
app_pid=
echo "wrote $root/docs/screenshot.png"
