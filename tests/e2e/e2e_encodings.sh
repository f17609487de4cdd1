#!/usr/bin/env bash
# Starts the real program on baza.txt files in encodings a Romanian user has: Windows-1250
# capitals that are valid UTF-8 by accident ("TĂŞNAD"), UTF-16 without a byte order mark,
# and DOS code page 852. Each time File > Save must write baza.doc with the lines as the
# file holds them, read back by LibreOffice.
#
# usage: e2e_encodings.sh path/to/carte-de-telefon path/to/tests/data/encodings
set -euo pipefail

program=$(realpath "$1")
corpus=$(realpath "$2")
source "$(dirname "$0")/session.sh"
require_tools Xvfb xdotool soffice
begin_session encodings
start_xserver || fail "no X server"

files=(capitals-pairs.windows-1250 mixed.utf-16le mixed.cp852)
mkdir "$work/saved"
for name in "${files[@]}"; do
    rm -rf "$work/run"
    mkdir "$work/run"
    cp "$corpus/$name.txt" "$work/run/baza.txt"
    start_program "$work/run" || fail "$name: the main window did not appear"
    save_from_menu "$main"
    wait_for_file "$work/run/baza.doc" || fail "$name: File > Save wrote no baza.doc"
    end_program "$main"
    cp "$work/run/baza.doc" "$work/saved/$name.doc"
done

# One LibreOffice start for all three files.
timeout 180 soffice "-env:UserInstallation=file://$work/office" --headless --convert-to 'txt:Text (encoded):UTF8' \
    --outdir "$work/text" "$work/saved/"*.doc >"$work/office.log" 2>&1 || fail "LibreOffice failed: $(cat "$work/office.log")"
for name in "${files[@]}"; do
    [[ -f $work/text/$name.txt ]] || fail "$name: LibreOffice wrote no text: $(cat "$work/office.log")"
    actual=$(sed '1s/^\xEF\xBB\xBF//' "$work/text/$name.txt" | tr -d '\r')
    expected=$(cat "$corpus/$name.expected")
    if [[ $actual != "$expected" ]]; then
        diff <(echo "$expected") <(echo "$actual") >&2 || true
        fail "$name: baza.doc does not hold the lines of baza.txt"
    fi
    echo "$name: the lines came in and were saved as written"
done
echo "PASS"
