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
for tool in Xvfb xdotool soffice; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed (tools/install-dependencies.sh test)" >&2; exit 1; }
done

source "$(dirname "$0")/../../tools/xserver.sh"
begin_session encodings
fail() { echo "FAIL: $*" >&2; cat "$work/program.log" >&2 2>/dev/null; exit 1; }

start_xserver || fail "no X server"

files=(capitals-pairs.windows-1250 mixed.utf-16le mixed.cp852)
mkdir "$work/saved"
for name in "${files[@]}"; do
    rm -rf "$work/run"
    mkdir "$work/run"
    cp "$corpus/$name.txt" "$work/run/baza.txt"
    (cd "$work/run" && exec "$program") >"$work/program.log" 2>&1 &
    app_pid=$!
    main=$(wait_window 'carte de telefoane' 20) || fail "$name: the main window did not appear"
    xdotool windowfocus --sync "$main"
    xdotool key alt+f
    sleep 0.3
    xdotool key s
    for _ in $(seq 50); do [[ -s $work/run/baza.doc ]] && break; sleep 0.1; done
    [[ -s $work/run/baza.doc ]] || fail "$name: File > Save wrote no baza.doc"
    exit_from_menu "$main" || fail "$name: the program still runs after File > Exit"
    status=0
    wait "$app_pid" || status=$?
    app_pid=
    [[ $status -eq 0 ]] || fail "$name: exit status $status"
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
