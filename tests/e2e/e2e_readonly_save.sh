#!/usr/bin/env bash
# Saves from the real program, as a user without root's rights, over a baza.doc of mode
# 0444 in a folder that user may write: the save is refused with a report, and baza.doc
# keeps its bytes and mode with nothing left beside it. Root ignores permission bits,
# so as root the program runs as "nobody".
#
# usage: e2e_readonly_save.sh path/to/carte-de-telefon
set -euo pipefail

source "$(dirname "$0")/session.sh"
require_tools Xvfb xdotool setpriv sha256sum
begin_session readonly-save

# Everything the user touches lies in $work, which any user may enter: the build tree
# may lie where another user cannot.
chmod 755 "$work"
mkdir -m 755 "$work/bin" "$work/run" "$work/home"
cp "$1" "$work/bin/carte-de-telefon"
program=$work/bin/carte-de-telefon
# So are LeakSanitizer's suppressions, when a sanitized build names them.
if [[ ${LSAN_OPTIONS:-} =~ suppressions=([^:]+) ]]; then
    install -m 644 "${BASH_REMATCH[1]}" "$work/bin/lsan.supp"
    export LSAN_OPTIONS=${LSAN_OPTIONS/"${BASH_REMATCH[1]}"/$work/bin/lsan.supp}
fi
printf '%s\n' 'Pop  Ana  555' >"$work/run/baza.txt"
printf '{\\rtf1 earlier\\par}' >"$work/run/baza.doc"
chmod 444 "$work/run/baza.doc"
as_user=(env "HOME=$work/home")
if (($(id -u) == 0)); then
    chown -R nobody: "$work/run" "$work/home"
    as_user+=(setpriv --reuid="$(id -u nobody)" --regid="$(id -g nobody)" --clear-groups)
fi
before=$(sha256sum <"$work/run/baza.doc")

start_xserver || fail "no X server"
start_program "$work/run" "${as_user[@]}" || fail "the main window did not appear"
save_from_menu "$main"
# The report box carries the application's title; the main window's differs.
report=$(wait_window '^carte de telefon$' 10) || fail "File > Save over a read-only baza.doc showed no report"
xdotool windowfocus --sync "$report"
xdotool key Return
wait_window_gone '^carte de telefon$' 5 || fail "Enter did not close the report"

[[ $(sha256sum <"$work/run/baza.doc") == "$before" ]] || fail "baza.doc changed"
[[ $(stat -c %a "$work/run/baza.doc") == 444 ]] || fail "baza.doc's mode is now $(stat -c %a "$work/run/baza.doc")"
[[ $(ls -A "$work/run" | sort | tr '\n' ' ') == "baza.doc baza.txt " ]] || fail "left beside it: $(ls -A "$work/run")"

end_program "$main"
echo "PASS: the save was refused with a report; baza.doc kept its bytes and mode 0444"
