#!/usr/bin/env bash
# Uses the program as a person would, on an X server of its own: adds an entry, shows
# the list, deletes a line through the delete window, saves and quits; then reads the
# saved file back with LibreOffice. Each control is found as a screen reader finds it,
# by the name it reads out (session.sh, control.py).
#
# usage: e2e_phonebook.sh path/to/carte-de-telefon
set -euo pipefail

program=$(realpath "$1")
source "$(dirname "$0")/session.sh"
require_tools Xvfb xdotool import soffice dbus-daemon dbus-send /usr/libexec/at-spi-bus-launcher
begin_session e2e

fail() {
    echo "FAIL: $*" >&2
    import -window root "$work/failure.png" 2>/dev/null && cp "$work/failure.png" "${TMPDIR:-/tmp}/carte-e2e-failure.png" \
        && echo "screen at the failure: ${TMPDIR:-/tmp}/carte-e2e-failure.png" >&2
    exit 1
}

start_xserver || fail "no X server"
/usr/bin/python3 -c 'import gi; gi.require_version("Atspi", "2.0")' 2>/dev/null ||
    fail "Python's AT-SPI bindings are not installed (tools/install-dependencies.sh test)"
start_accessibility || fail "no accessibility bus"

pixel() {
    # The pixel's own values, "(r,g,b)"; a colour name may stand where srgb() usually does.
    import -window root -crop "1x1+$1+$2" -depth 8 txt:- | sed -n 's/^0,0: (\([0-9]*,[0-9]*,[0-9]*\)).*/\1/p'
}

mkdir "$work/run"
printf '%s\n' 'Pop  Ana  555' 'Ionescu  Maria  0722 123 456' 'Popescu  Ion  0744 555 010' \
    'Stan  Mihai  0733 900 111' 'Rusu  Cristina  0766 101 202' >"$work/run/baza.txt"
start_program "$work/run" || fail "the main window did not appear"
if xdotool search --onlyvisible --name 'stergere' >/dev/null 2>&1; then
    fail "the delete window is shown at start"
fi
window='carte de telefoane'
list=("$window" text 'carte de telefoane')
add=("$window" 'push button' 'adauga in cartea de telefoane')
[[ $(control "${list[@]}") == hidden ]] || fail "the list is shown at start"

# The window's surface: halfway from the window's left edge to the add button, level
# with the button's middle.
read -r left _ < <(control "$window" frame "$window") || fail "no main window to a screen reader"
read -r x y width height < <(control --showing "${add[@]}") || fail "no add button"
background='166,202,240'
surface=$(pixel $(((left + x) / 2)) $((y + height / 2)))
[[ $surface == "$background" ]] || fail "window colour is $surface"

# Each field by the text it starts with, which stays its name.
for field in "nume|Vasilescu" "prenume|Dan" "nr. de telefon|0700 111 222"; do
    click "$window" text "${field%%|*}" || fail "no field '${field%%|*}'"
    xdotool key ctrl+a
    xdotool type --delay 30 "${field#*|}"
done
click "${add[@]}" || fail "no add button"
click "$window" 'push button' 'arata cartea de telefoane' || fail "no show button"
read -r x y width height < <(control --showing "${list[@]}") || fail "the list is not shown after the show button"
[[ $(pixel $((x + width / 2)) $((y + height - 10))) == '255,255,255' ]] || fail "the list is not drawn after the show button"

# Caret into the first line, then down to the third, which the delete window removes.
read -r x y width height < <(control --character 0 "${list[@]}") || fail "no first line in the list"
xdotool mousemove --sync $((x + width / 2)) $((y + height / 2)) click 1
xdotool key Down Down
click "$window" 'push button' 'sterge din cartea de telefoane' || fail "no delete button"
wait_window 'stergere' >/dev/null || fail "the delete window did not open"
click 'stergere date' 'push button' 'ai sters o inregistrare' || fail "no button in the delete window"
wait_window_gone 'stergere' 5 || fail "the delete window stayed open"

save_from_menu "$main"
wait_for_file "$work/run/baza.doc" || fail "File > Save wrote no baza.doc"
import -window root "$work/screen.png"
end_program "$main"
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
