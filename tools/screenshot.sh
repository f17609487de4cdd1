#!/usr/bin/env bash
# Takes docs/screenshot.png: the program on the sample phone book, with the list shown,
# on an X server of its own so that nothing else on the screen gets into the picture.
#
# usage: [SCALE=2] tools/screenshot.sh [path/to/carte-de-telefon]   (default: build/carte-de-telefon)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
program=$(realpath "${1:-$root/build/carte-de-telefon}")
[[ -x $program ]] || { echo "no program at $program: build it first" >&2; exit 1; }
for tool in Xvfb xdotool import; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed" >&2; exit 1; }
done

# SCALE=2 takes docs/screenshot-2x.png: the same window on a screen scaled by two.
scale=${SCALE:-1}
output="$root/docs/screenshot.png"
[[ $scale == 1 ]] || output="$root/docs/screenshot-${scale}x.png"

source "$root/tools/xserver.sh"
begin_session screenshot

XSERVER_SCREEN="$((1280 * scale))x$((1024 * scale))x24" start_xserver
export QT_SCALE_FACTOR=$scale

cp "$root/resources/baza.txt" "$work/"
(cd "$work" && exec "$program") >/dev/null 2>&1 &
app_pid=$!

main=$(wait_window 'carte de telefoane') || { echo "the main window did not appear" >&2; exit 1; }
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$main")"

# The show button lies at (136, 320, 241 x 57) under the menu bar; its middle is hit
# whatever the menu bar's height within reason. The server counts in device pixels.
xdotool mousemove --sync $((X + 256 * scale)) $((Y + (20 + 348) * scale)) click 1
# Park the pointer on the window's surface, away from any control's hint.
xdotool mousemove --sync $((X + 40 * scale)) $((Y + 460 * scale))
sleep 0.5

mkdir -p "$root/docs"
import -window "$main" "$output"

xdotool windowfocus --sync "$main" key alt+f
sleep 0.3
xdotool key x
wait_window_gone 'carte de telefoane' 10 || true
echo "wrote $output"
