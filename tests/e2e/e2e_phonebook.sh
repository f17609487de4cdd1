#!/usr/bin/env bash
# Uses the program as a person would, on an X server of its own: adds an entry, shows
# the list, deletes a line through the delete window, saves and quits; then reads the
# saved file back with LibreOffice.
#
# usage: e2e_phonebook.sh path/to/carte-de-telefon
set -euo pipefail

program=$(realpath "$1")
for tool in Xvfb xdotool import soffice; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed (tools/install-dependencies.sh test)" >&2; exit 1; }
done

source "$(dirname "$0")/../../tools/xserver.sh"
begin_session e2e

fail() {
    echo "FAIL: $*" >&2
    import -window root "$work/failure.png" 2>/dev/null && cp "$work/failure.png" "${TMPDIR:-/tmp}/carte-e2e-failure.png" \
        && echo "screen at the failure: ${TMPDIR:-/tmp}/carte-e2e-failure.png" >&2
    exit 1
}

start_xserver || fail "no X server"

pixel() {
    # The pixel's own values, "(r,g,b)"; a colour name may stand where srgb() usually does.
    import -window root -crop "1x1+$1+$2" -depth 8 txt:- | sed -n 's/^0,0: (\([0-9]*,[0-9]*,[0-9]*\)).*/\1/p'
}
click() {
    xdotool mousemove --sync "$1" "$2" click 1
    sleep 0.3
}

mkdir "$work/run"
printf '%s\n' 'Pop  Ana  555' 'Ionescu  Maria  0722 123 456' 'Popescu  Ion  0744 555 010' \
    'Stan  Mihai  0733 900 111' 'Rusu  Cristina  0766 101 202' >"$work/run/baza.txt"
(cd "$work/run" && exec "$program") >"$work/program.log" 2>&1 &
app_pid=$!

main=$(wait_window 'carte de telefoane') || fail "the main window did not appear"
if xdotool search --onlyvisible --name 'stergere' >/dev/null 2>&1; then
    fail "the delete window is shown at start"
fi
eval "$(xdotool getwindowgeometry --shell "$main")"
left=$X
top=$Y
sleep 0.5

# The controls sit at their design places under the menu bar, whose height depends on
# the font: find it from the lowest thing drawn, the show button's bottom edge (y 376).
background='166,202,240'
lowest=$(import -window root -crop "1x480+$((left + 250))+$top" -depth 8 txt:- \
    | awk -F'[ :,]+' -v bg="($background)" 'NR > 1 && index($0, bg) == 0 { y = $2 } END { print y }')
[[ -n $lowest ]] || fail "nothing drawn in the main window"
client_top=$((top + lowest - 376))
at() { click $((left + $1)) $((client_top + $2)); }

[[ $(pixel $((left + 40)) $((client_top + 280))) == "$background" ]] || fail "window colour is $(pixel $((left + 40)) $((client_top + 280)))"
[[ $(pixel $((left + 540)) $((client_top + 250))) == "$background" ]] || fail "the list is shown at start"

for field in "98 Vasilescu" "138 Dan" "178 0700 111 222"; do
    at 248 "${field%% *}"
    xdotool key ctrl+a
    xdotool type --delay 30 "${field#* }"
done
at 252 232   # add
at 256 348   # show
[[ $(pixel $((left + 540)) $((client_top + 400))) == '255,255,255' ]] || fail "the list is not shown after the show button"

# Caret into the first line, then down to the third, which the delete window removes.
at 540 80
xdotool key Down Down
at 560 24
delete=$(wait_window 'stergere') || fail "the delete window did not open"
eval "$(xdotool getwindowgeometry --shell "$delete")"
click $((X + 216 + 188)) $((Y + 136 + 28))
wait_window_gone 'stergere' 5 || fail "the delete window stayed open"

xdotool windowfocus --sync "$main"
xdotool key alt+f
sleep 0.3
xdotool key s
for _ in $(seq 50); do [[ -s $work/run/baza.doc ]] && break; sleep 0.1; done
[[ -s $work/run/baza.doc ]] || fail "File > Save wrote no baza.doc"
import -window root "$work/screen.png"
exit_from_menu "$main" || fail "the program still runs after File > Exit"
status=0
wait "$app_pid" || status=$?
app_pid=
[[ $status -eq 0 ]] || fail "exit status $status; output: $(cat "$work/program.log")"
[[ $(ls -A "$work/run" | tr '\n' ' ') == 'baza.doc baza.txt ' ]] || fail "files left behind: $(ls -A "$work/run")"

timeout 120 soffice "-env:UserInstallation=file://$work/office" --headless --convert-to txt:Text \
    --outdir "$work/text" "$work/run/baza.doc" >"$work/office.log" 2>&1 || fail "LibreOffice failed: $(cat "$work/office.log")"
actual=$(sed '1s/^\xEF\xBB\xBF//' "$work/text/baza.txt" | tr -d '\r')
expected=$(printf '%s\n' 'Pop  Ana  555' 'Ionescu  Maria  0722 123 456' 'Stan  Mihai  0733 900 111' \
    'Rusu  Cristina  0766 101 202' 'Vasilescu  Dan  0700 111 222')
if [[ $actual != "$expected" ]]; then
    diff <(echo "$expected") <(echo "$actual") >&2 || true
    fail "baza.doc does not hold the expected lines"
fi
echo "PASS"
