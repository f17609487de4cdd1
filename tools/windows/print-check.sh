# The step print of tools/windows-build.sh: the packed program prints under Wine to a
# CUPS server of its own, and the job is read back.
# shellcheck shell=bash

# Wine lists CUPS's printers as its own and sends their jobs to CUPS as PostScript: here
# to a print server of this script's own, reached through a socket in its scratch folder,
# whose spool keeps what it was sent and whose page log names each job.
print_entries=('Pop  Ana  555' 'Ionescu  Maria  0722 123 456' 'Stan  Mihai  0733 900 111')

step_print() {
    [ -f "$zip_file" ] || die "no $zip_file: run the zip step first"
    local tool
    for tool in cupsd lpadmin lpstat gs Xvfb openbox xdotool unzip; do
        command -v "$tool" >/dev/null || die "$tool is not installed"
    done
    (
        source "$root/tools/xserver.sh"
        source "$root/tools/private-cups.sh"
        begin_session wine-print
        fail() {
            echo "FAIL: $*" >&2
            [ -f "$work/log/error_log" ] && { echo "--- cupsd's log:" >&2; tail -n 20 "$work/log/error_log" >&2; }
            exit 1
        }
        mkdir -p "$work/home"
        # Every CUPS client here, Wine too, speaks only to this server; its spool keeps
        # what it was sent, and its page log names each job.
        start_private_cups "$work" 'PreserveJobFiles Yes' 'PageLogFormat %j|%{job-name}' ||
            fail "no print server"
        # A raw queue: the job's document is what Wine sent.
        lpadmin -p wine-test -E -v file:///dev/null -m raw 2>/dev/null || fail "lpadmin cannot make the queue"
        lpadmin -d wine-test || fail "lpadmin cannot make the queue the default"

        # A new prefix, which lists this server's printers as they are now.
        export HOME=$work/home WINEPREFIX=$work/home/.wine
        trap '"$wineserver" -k 2>/dev/null; end_session' EXIT
        unset WINEPATH QT_PLUGIN_PATH
        start_xserver || fail "no X server"
        unset QT_QPA_PLATFORM
        openbox --sm-disable >"$work/openbox.log" 2>&1 &
        other_pids+=" $!"
        "$wine" wineboot -i >"$work/wineboot.log" 2>&1 || fail "wineboot failed"
        local device
        device=$("$wine" reg query 'HKCU\Software\Microsoft\Windows NT\CurrentVersion\Windows' /v Device 2>/dev/null |
            tr -d '\r' | sed -n 's/^ *Device *REG_SZ *//p')
        [[ $device == wine-test,* ]] || fail "Wine's default printer is '$device', not the queue wine-test"
        echo "PASS: Wine's default printer is CUPS's: $device"
        # At a printer's resolution Qt draws the program's font, MS Sans Serif, with Arial,
        # which every Windows has. Wine has none and takes C059 (URW, CFF outlines), whose
        # glyphs its PostScript driver writes with no outline: a blank page. Wine gets a
        # TrueType font for Arial, DejaVu Sans.
        "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /d 'DejaVu Sans' /f \
            >/dev/null 2>&1 || fail "cannot give Wine a TrueType font for Arial"

        unzip -q "$zip_file" -d "$work" || fail "cannot unpack $zip_file"
        local folder=$work/$(basename "$package")
        printf '%s\r\n' "${print_entries[@]}" >"$folder/baza.txt"
        (cd "$folder" && exec "$wine" carte-de-telefon.exe) >"$work/program.log" 2>&1 &
        app_pid=$!
        local main box
        main=$(wait_window 'carte de telefoane' 90) || fail "the main window did not appear"
        sleep 1
        # File > Print...: a message says what is printed; Enter, and the job goes.
        xdotool windowfocus --sync "$main"
        xdotool key alt+f
        sleep 0.3
        xdotool key p
        box=$(wait_window '^carte de telefon$' 20) || fail "File > Print... showed no message"
        xdotool windowfocus --sync "$box" key Return
        local state=
        for _ in $(seq 300); do
            state=$(lpstat -W completed -o wine-test 2>/dev/null)
            [ -n "$state" ] && break
            sleep 0.2
        done
        [ -n "$state" ] || fail "CUPS completed no job: $(lpstat -o 2>&1)"
        sleep 1
        exit_from_menu "$main" || fail "File > Exit did not end the program"
        app_pid=

        local jobs name expected data text entry
        jobs=$(lpstat -W completed -o wine-test | wc -l)
        ((jobs == 1)) || fail "CUPS got $jobs jobs"
        name=$(sed -n 's/^[0-9]*|//p' "$work/log/page_log" | head -n 1)
        expected=$(printf '%s  ' "${print_entries[@]}")
        [[ $name == "$expected" ]] || fail "the job is named '$name', not '$expected'"
        data=$(find "$work/spool" -maxdepth 1 -name 'd*-001' | head -n 1)
        [ -n "$data" ] || fail "the spool kept no document"
        [[ $(head -c 4 "$data") == '%!PS' ]] || fail "the job is no PostScript: $(head -c 40 "$data" | od -c | head -n 2)"
        text=$(gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=txtwrite -sOutputFile=- "$data" 2>"$work/gs.log") ||
            fail "Ghostscript cannot read the job: $(tail -n 5 "$work/gs.log")"
        for entry in "${print_entries[@]}"; do
            grep -qF -- "$entry" <<<"$text" || fail "the printed page lacks '$entry': $text"
        done
        echo "PASS: File > Print... sends one job to CUPS, named '$name', $(wc -c <"$data") bytes of PostScript with every entry:"
        sed -n '/[^[:space:]]/ s/^ */   /p' <<<"$text"
    )
}
