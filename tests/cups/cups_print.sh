#!/usr/bin/env bash
# Prints from the real program through a CUPS server of the test's own: its own
# configuration, spool and logs in a scratch folder, reached only through a Unix socket
# there. First with no printer set up: the user is told so and nothing is sent. Then
# with a raw queue whose device is a socket on which this test listens: CUPS gets one
# job, named after the list as CUPS can hold it, whose PDF holds every entry; a job
# cancelled while it is drawn gets to neither.
#
# usage: cups_print.sh PROGRAM CUPS_PROBE
set -euo pipefail

program=$(realpath "$1") probe=$(realpath "$2")
for tool in cupsd lpadmin lpstat cupsreject Xvfb xdotool pdftotext; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed (tools/install-dependencies.sh test)" >&2; exit 1; }
done

source "$(dirname "$0")/../../tools/xserver.sh"
source "$(dirname "$0")/../../tools/private-cups.sh"
begin_session cups

fail() {
    echo "FAIL: $*" >&2
    [[ -f $work/log/error_log ]] && { echo "--- cupsd's log:" >&2; tail -n 40 "$work/log/error_log" >&2; }
    [[ -f $work/program.log ]] && { echo "--- the program's output:" >&2; cat "$work/program.log" >&2; }
    [[ -s $work/xvfb.log ]] && { echo "--- the X server's output:" >&2; cat "$work/xvfb.log" >&2; }
    exit 1
}

mkdir -p "$work"/{delivered,home,run}
export HOME=$work/home
"$probe" listen "$work/port" "$work/delivered" &
other_pids+=" $!"
# Every CUPS client here, the program too, speaks only to this server, with no
# destination or option of the machine's or the user's.
start_private_cups "$work" || fail "no print server"
for _ in $(seq 100); do
    [[ -s $work/port ]] && break
    sleep 0.1
done
[[ -s $work/port ]] || fail "the listening printer gave no port"
port=$(cat "$work/port")

# More than 255 bytes of entries, so that the job name is cut.
entries=('Pop  Ana  555' 'Ionescu  Maria  0722 123 456' 'Popescu  Ion  0744 555 010'
    'Dumitrescu  Elena  021 312 45 67' 'Stan  Mihai  0733 900 111' 'Munteanu  Andrei  0755 230 998'
    'Constantin  Ioana  0268 411 200' 'Gheorghe  Vasile  0722 000 333' 'Rusu  Cristina  0766 101 202'
    'Matei  Radu  0231 515 151')
printf '%s\n' "${entries[@]}" >"$work/run/baza.txt"

start_xserver || fail "no X server"
(cd "$work/run" && exec "$program") >"$work/program.log" 2>&1 &
app_pid=$!
main=$(wait_window 'carte de telefoane' 20) || fail "the main window did not appear"

# The message boxes carry the application's title; the main window's differs.
box_title='^carte de telefon$'
boxes() { xdotool search --onlyvisible --name "$box_title" 2>/dev/null | sort || true; }

# File > Print... with the keyboard, then Enter on the box that says what is printed.
print_from_menu() {
    xdotool windowfocus --sync "$main"
    xdotool key alt+f
    sleep 0.3
    xdotool key p
    notice=$(wait_window "$box_title" 10) || fail "File > Print... showed no message"
    xdotool windowfocus --sync "$notice"
    xdotool key Return
    for _ in $(seq 100); do
        boxes | grep -qx "$notice" || return 0
        sleep 0.1
    done
    fail "Enter did not close the message"
}

cups_jobs() { "$probe" jobs || fail "cannot list the jobs"; }
delivered() { find "$work/delivered" -name 'job-*.data' | sort; }

# No printer: the user is told in a second box, and nothing reaches CUPS or a printer.
lpstat -d 2>&1 | grep -q 'no system default destination' || fail "a default printer exists before one is set up: $(lpstat -d 2>&1)"
print_from_menu
report=
for _ in $(seq 100); do
    report=$(boxes | head -n1)
    [[ -n $report ]] && break
    sleep 0.1
done
[[ -n $report ]] || fail "printing with no printer showed no report"
xdotool windowfocus --sync "$report"
xdotool key Return
for _ in $(seq 100); do [[ -z $(boxes) ]] && break; sleep 0.1; done
[[ -z $(boxes) ]] || fail "Enter did not close the report"
sleep 1
[[ -z $(cups_jobs) ]] || fail "with no printer CUPS got jobs: $(cups_jobs)"
[[ -z $(delivered) ]] || fail "with no printer something was delivered"
# The report's words, from the same toolkit call the program makes.
said=$(QT_QPA_PLATFORM=offscreen "$probe" print "titlu" "${entries[0]}" 2>/dev/null) && fail "printing with no printer succeeded"
[[ $said == "Nu se poate tipari: pe acest calculator nu este instalata nicio imprimanta." ]] || fail "with no printer the report was: $said"

# A raw queue: CUPS hands the program's PDF as it is to the socket this test reads.
lpadmin -p q -E -v "socket://127.0.0.1:$port" -m raw 2>"$work/lpadmin.log" || fail "lpadmin: $(cat "$work/lpadmin.log")"
lpadmin -d q || fail "cannot make q the default printer"
print_from_menu
state=
for _ in $(seq 300); do
    state=$(cups_jobs | cut -f2 | tr '\n' ' ')
    [[ $state == "9 " && -n $(delivered) ]] && break
    sleep 0.1
done
[[ -z $(boxes) ]] || fail "printing on a printer showed a message: a failure report?"
job_count=$(cups_jobs | wc -l)
((job_count == 1)) || fail "CUPS got $job_count jobs: $(cups_jobs)"
[[ $state == "9 " ]] || fail "the job did not complete (state $state)"
files=$(delivered | wc -l)
((files == 1)) || fail "the printer got $files deliveries"
data=$(delivered)
[[ $(head -c 5 "$data") == "%PDF-" ]] || fail "the printer got no PDF: $(head -c 40 "$data" | od -c | head -n 3)"

# The list's text with each line end (CR LF) as two blanks, cut to 255 bytes.
expected=$(printf '%s  ' "${entries[@]}")
expected=$(LC_ALL=C; printf '%s' "${expected:0:255}")
name=$(cups_jobs | cut -f3-)
[[ $name == "$expected" ]] || fail "the job is named
  '$name', not
  '$expected'"

text=$(pdftotext "$data" - | tr -s ' \n' ' ')
for entry in "${entries[@]}"; do
    squeezed=$(tr -s ' ' <<<"$entry")
    [[ $text == *"$squeezed"* ]] || fail "the printed document lacks '$entry': $text"
done

# A job cancelled while it is drawn: no failure, and nothing reaches CUPS or the printer.
said=$(QT_QPA_PLATFORM=offscreen "$probe" cancel "titlu" "${entries[@]}" 2>/dev/null) || fail "a cancelled job failed: $said"
[[ $said == cancelled ]] || fail "a cancelled job reported: $said"
sleep 1
((job_count == $(cups_jobs | wc -l))) || fail "a cancelled job was queued: $(cups_jobs)"
(($(delivered | wc -l) == 1)) || fail "a cancelled job was delivered"

# A queue that refuses jobs: the toolkit reports it rather than saying nothing.
cupsreject q || fail "cannot make q refuse jobs"
said=$(QT_QPA_PLATFORM=offscreen "$probe" print "titlu" "${entries[0]}" 2>/dev/null) && fail "printing on a queue that refuses jobs succeeded: $said"
[[ $said == 'Nu se poate tipari la imprimanta "q": imprimanta nu primeste lucrari acum.' ]] || fail "on a queue that refuses jobs the report was: $said"
((job_count == $(cups_jobs | wc -l))) || fail "a refused job was queued: $(cups_jobs)"

# No default printer: with two the user is told so, with one it is the printer.
lpadmin -x q || fail "cannot remove q"
for queue in r s; do
    lpadmin -p "$queue" -E -v "socket://127.0.0.1:$port" -m raw 2>"$work/lpadmin.log" || fail "lpadmin: $(cat "$work/lpadmin.log")"
done
lpstat -d 2>&1 | grep -q 'no system default destination' || fail "a default printer is left: $(lpstat -d 2>&1)"
said=$(QT_QPA_PLATFORM=offscreen "$probe" print "titlu" "${entries[0]}" 2>/dev/null) && fail "printing with two printers and no default succeeded: $said"
[[ $said == 'Nu se poate tipari: niciuna dintre imprimantele acestui calculator nu este aleasa ca imprimanta implicita.' ]] \
    || fail "with two printers and no default the report was: $said"
lpadmin -x s || fail "cannot remove s"
said=$(QT_QPA_PLATFORM=offscreen "$probe" print "titlu" "${entries[0]}" 2>/dev/null) || fail "printing on the one printer failed: $said"
for _ in $(seq 300); do (($(delivered | wc -l) == 2)) && break; sleep 0.1; done
(($(delivered | wc -l) == 2)) || fail "the one printer, not the default, got nothing"

exit_from_menu "$main" || fail "the program did not end after File > Exit"
app_pid=
echo "PASS: one job of $(wc -c <"$data") bytes named after the list, with every entry"
