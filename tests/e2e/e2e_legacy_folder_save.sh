#!/usr/bin/env bash
# Loads and saves from the real program started in a folder whose name is not UTF-8
# (ISO-8859-2 bytes from an old disk) under a UTF-8 locale: the list comes in, File >
# Save writes baza.doc there without a report, and nothing is left beside it.
#
# usage: e2e_legacy_folder_save.sh path/to/carte-de-telefon
set -euo pipefail

program=$(realpath "$1")
source "$(dirname "$0")/session.sh"
require_tools Xvfb xdotool
begin_session legacy-folder

# "Agendă telefon" with ă as ISO-8859-2 writes it, E3: no valid UTF-8 sequence.
folder=$work/$(printf 'Agend\xe3 telefon')
mkdir "$folder"
printf '%s\n' 'Pop  Ana  555' 'Ionescu  Maria  0722 123 456' >"$folder/baza.txt"

start_xserver || fail "no X server"
start_program "$folder" || fail "the main window did not appear"
save_from_menu "$main"
wait_for_file "$folder/baza.doc" || true
# The report box carries the application's title; the main window's differs.
if report=$(wait_window '^carte de telefon$' 1); then
    fail "File > Save showed a report: $(xdotool getwindowname "$report")"
fi
[[ -s $folder/baza.doc ]] || fail "File > Save wrote no baza.doc"
for line in 'Pop  Ana  555' 'Ionescu  Maria  0722 123 456'; do
    grep -qF "$line" "$folder/baza.doc" || fail "baza.doc lacks the line \"$line\""
done
[[ $(ls -A "$folder" | tr '\n' ' ') == 'baza.doc baza.txt ' ]] || fail "left beside it: $(ls -A "$folder")"

end_program "$main"
echo "PASS: baza.txt loaded and baza.doc saved in a folder named in ISO-8859-2"
