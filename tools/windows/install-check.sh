# The step install of tools/windows-build.sh: the installer under Wine, in a new prefix
# with a home of its own, for this user and for every user, and uninstalled again.
# shellcheck shell=bash

# The uninstall entry's key, as tools/windows/installer.nsi writes it.
uninstall_key='Software\Microsoft\Windows\CurrentVersion\Uninstall\ro.carte_de_telefon.CarteDeTelefon'
# A user's own list, which the sample lacks: what the program saves shows where it read.
own_entries=('Vasilescu  Dan  0711 222 333' 'Barbu  Elena  0265 100 200' 'Toma  Sorin  0799 876 543')

step_install() {
    [ -f "$installer" ] || die "no $installer: run the installer step first"
    local tool
    for tool in Xvfb openbox xdotool xprop import lnkinfo; do
        command -v "$tool" >/dev/null || die "$tool is not installed"
    done
    (
        source "$root/tools/xserver.sh"
        begin_session wine-install
        fail() {
            echo "FAIL: $*" >&2
            exit 1
        }
        # A new prefix in a home of its own, as a new user's. Wine's processes in it end
        # before it goes, whatever ends this run.
        export HOME=$work/home WINEPREFIX=$work/home/.wine
        trap '"$wineserver" -k 2>/dev/null; end_session' EXIT
        unset WINEPATH QT_PLUGIN_PATH
        mkdir -p "$HOME"
        local shots=$build/screenshots
        rm -rf "$shots"
        mkdir -p "$shots"
        start_xserver || fail "no X server"
        unset QT_QPA_PLATFORM
        openbox --sm-disable >"$work/openbox.log" 2>&1 &
        other_pids=$!
        "$wine" wineboot -i >"$work/wineboot.log" 2>&1 || fail "wineboot: $(tail -n 5 "$work/wineboot.log")"

        # Windows' own answers: its environment as cmd sees it, paths as Wine maps them,
        # the uninstall entry's values as reg reads them, a shortcut's fields as lnkinfo
        # reads the .lnk file.
        win_env() { "$wine" cmd /c "echo %$1%" 2>/dev/null | tr -d '\r'; }
        unix_path() { "$wine" winepath -u "$1" 2>/dev/null | tr -d '\r'; }
        has_entry() { "$wine" reg query "$1\\$uninstall_key" >/dev/null 2>&1; }
        entry_value() {
            "$wine" reg query "$1\\$uninstall_key" /v "$2" 2>/dev/null | tr -d '\r' |
                sed -n "s/^ *$2 \{2,\}REG_[A-Z_]* \{2,\}//p"
        }
        lnk_field() { lnkinfo "$1" | sed -n "s/^[[:space:]]*$2[[:space:]]*: //p"; }
        settle() { timeout 120 "$wineserver" -w || fail "Wine's processes did not end"; }
        photograph() {
            sleep 1.5
            import -frame -window "$1" "$shots/$2.png"
        }

        local version sample=$root/resources/baza.txt
        version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
        local installed=()
        mapfile -t installed < <(installed_files)

        # What an install leaves: the uninstall entry under $1 naming the folder $2, every
        # file, a Start-menu entry in $3 that starts the program in $4, and that folder.
        check_install() {
            local hive=$1 dir=$2 programs=$3 workdir=$4 name want got file bytes kb
            has_entry "$hive" || fail "no uninstall entry under $hive"
            for name in InstallLocation DisplayName DisplayVersion Publisher DisplayIcon UninstallString QuietUninstallString; do
                case $name in
                InstallLocation) want=$dir ;;
                DisplayName | Publisher) want="carte de telefon" ;;
                DisplayVersion) want=$version ;;
                DisplayIcon) want="\"$dir\\carte-de-telefon.exe\",0" ;;
                UninstallString) want="\"$dir\\dezinstalare.exe\"" ;;
                QuietUninstallString) want="\"$dir\\dezinstalare.exe\" /S" ;;
                esac
                got=$(entry_value "$hive" "$name")
                [[ $got == "$want" ]] || fail "$name is '$got', not '$want'"
            done
            local unix_dir
            unix_dir=$(unix_path "$dir")
            for file in "${installed[@]}"; do
                cmp -s "$package/$file" "$unix_dir/$file" || fail "$file is not installed as packed"
            done
            [ -f "$unix_dir/dezinstalare.exe" ] || fail "no uninstaller in $dir"
            bytes=$(find "$unix_dir" -type f -printf '%s\n' | awk '{ s += $1 } END { print s }')
            kb=$(($(entry_value "$hive" EstimatedSize)))
            ((kb > 0 && (kb - bytes / 1024) * 100 / kb == 0)) || fail "EstimatedSize is $kb KB; the files hold $bytes bytes"
            lnk="$(unix_path "$programs")/carte de telefon.lnk"
            [ -f "$lnk" ] || fail "no Start-menu entry in $programs"
            got=$(lnk_field "$lnk" "Local path")
            [[ $got == "$dir\\carte-de-telefon.exe" ]] || fail "the shortcut starts '$got'"
            got=$(lnk_field "$lnk" "Working directory")
            [[ $got == "$workdir" ]] || fail "the shortcut's working folder is '$got', not '$workdir'"
            got=$(lnk_field "$lnk" "Icon location")
            [[ $got == "$dir\\carte-de-telefon.exe" ]] || fail "the shortcut's icon is '$got'"
            [ -d "$(unix_path "$workdir")" ] || fail "no working folder $workdir"
            echo "   entry under $hive: $(entry_value "$hive" DisplayName) $(entry_value "$hive" DisplayVersion), $(entry_value "$hive" Publisher), $kb KB"
            echo "   Start-menu entry: $(lnk_field "$lnk" "Local path"), started in $(lnk_field "$lnk" "Working directory")"
        }

        # What an uninstall leaves: no program, no shortcut, no entry; the working folder.
        check_uninstall() {
            local hive=$1 dir=$2 programs=$3
            has_entry "$hive" && fail "the uninstall entry under $hive is still there"
            [ ! -e "$(unix_path "$dir")" ] || fail "$dir is still there: $(ls -R "$(unix_path "$dir")")"
            [ ! -e "$(unix_path "$programs")/carte de telefon.lnk" ] || fail "the Start-menu entry is still there"
        }

        local user_dir user_programs user_workdir lnk workdir status main win
        user_dir="$(win_env LOCALAPPDATA)\\Programs\\carte de telefon"
        user_programs="$(win_env APPDATA)\\Microsoft\\Windows\\Start Menu\\Programs"
        user_workdir="$(win_env USERPROFILE)\\Documents\\carte de telefon"

        say "the installer under Wine, in a new prefix in $HOME"
        status=0
        "$wine" "$installer" /S >"$work/setup.log" 2>&1 || status=$?
        settle
        ((status == 0)) || fail "the silent install ended with status $status"
        check_install HKCU "$user_dir" "$user_programs" "$user_workdir"
        workdir=$(unix_path "$user_workdir")
        cmp -s "$sample" "$workdir/baza.txt" || fail "the working folder has no sample baza.txt"
        echo "PASS: silent install for this user; the sample baza.txt in the working folder"

        # The program as the Start menu starts it: the user's own list is read there, and
        # File > Save writes it there.
        printf '%s\r\n' "${own_entries[@]}" >"$workdir/baza.txt"
        (cd / && exec "$wine" start /wait /unix "$lnk") >"$work/program.log" 2>&1 &
        app_pid=$!
        main=$(wait_window 'carte de telefoane' 90) || fail "the program did not start from the Start-menu entry"
        sleep 2
        eval "$(xdotool getwindowgeometry --shell "$main")"
        # The show button, as tools/screenshot.sh finds it.
        xdotool mousemove --sync $((X + 256)) $((Y + 368)) click 1
        xdotool mousemove --sync $((X + 40)) $((Y + 460))
        sleep 1
        import -window root "$shots/program-start-menu.png"
        xdotool windowfocus --sync "$main"
        xdotool key alt+f
        sleep 0.3
        xdotool key s
        for _ in $(seq 100); do
            [ -s "$workdir/baza.doc" ] && break
            sleep 0.2
        done
        [ -s "$workdir/baza.doc" ] || fail "File > Save wrote no baza.doc in $user_workdir"
        sleep 1
        local entry
        for entry in "${own_entries[@]}"; do
            grep -qF "$entry" "$workdir/baza.doc" || fail "baza.doc lacks '$entry': the program read another baza.txt"
        done
        # Started through the shell, the program is no child of this script: its window tells.
        xdotool windowfocus --sync "$main"
        xdotool key alt+f
        sleep 0.3
        xdotool key x
        wait_window_gone 'carte de telefoane' 20 || fail "File > Exit did not end the program"
        wait "$app_pid" || true
        app_pid=
        settle
        echo "PASS: the Start-menu entry starts the program in $user_workdir; it read the baza.txt there, and File > Save wrote baza.doc there ($(wc -c <"$workdir/baza.doc") bytes, every entry)"

        # A second install over the first, through the installer's pages.
        "$wine" "$installer" >"$work/setup2.log" 2>&1 &
        local setup_pid=$!
        win=$(wait_window '^Instalare carte de telefon' 60) || fail "the installer's window did not appear"
        photograph "$win" installer-1-welcome
        xdotool windowfocus --sync "$win" key Return
        photograph "$win" installer-2-folder
        xdotool windowfocus --sync "$win" key Return
        sleep 5
        photograph "$win" installer-3-finish
        # Terminare, with "Porneste carte de telefon" ticked: the program starts. On a busy
        # machine the files may still be going in; Return does nothing until they are.
        for _ in $(seq 60); do
            kill -0 "$setup_pid" 2>/dev/null || break
            xdotool windowfocus --sync "$win" key Return 2>/dev/null || true
            sleep 2
        done
        kill -0 "$setup_pid" 2>/dev/null && fail "the installer's finish page did not end it"
        wait "$setup_pid" || fail "the installer ended with status $?"
        main=$(wait_window 'carte de telefoane' 90) || fail "the finish page did not start the program"
        xdotool windowfocus --sync "$main"
        xdotool key alt+f
        sleep 0.3
        xdotool key x
        wait_window_gone 'carte de telefoane' 20 || fail "File > Exit did not end the program"
        settle
        check_install HKCU "$user_dir" "$user_programs" "$user_workdir"
        cmp -s "$workdir/baza.txt" <(printf '%s\r\n' "${own_entries[@]}") || fail "the second install replaced the user's baza.txt"
        [ -s "$workdir/baza.doc" ] || fail "the second install removed baza.doc"
        echo "PASS: a second install over the first, through its pages: the same folder and entry; the user's baza.txt and baza.doc as they were"

        local quiet
        quiet=$(entry_value HKCU QuietUninstallString)
        quiet=${quiet%\" /S}
        status=0
        "$wine" "${quiet#\"}" /S >"$work/uninstall.log" 2>&1 || status=$?
        settle
        ((status == 0)) || fail "the silent uninstall ended with status $status"
        check_uninstall HKCU "$user_dir" "$user_programs"
        cmp -s "$workdir/baza.txt" <(printf '%s\r\n' "${own_entries[@]}") || fail "the uninstall changed the user's baza.txt"
        [ -s "$workdir/baza.doc" ] || fail "the uninstall removed baza.doc"
        echo "PASS: silent uninstall removed the program, its Start-menu entry and its uninstall entry; left in $user_workdir:"
        (cd "$workdir" && ls -l --time-style=+ baza.txt baza.doc | sed 's/^/   /')

        local all_dir all_programs all_workdir
        all_dir="$(win_env ProgramFiles)\\carte de telefon"
        all_programs="$(win_env ProgramData)\\Microsoft\\Windows\\Start Menu\\Programs"
        all_workdir="$(win_env PUBLIC)\\Documents\\carte de telefon"
        status=0
        "$wine" "$installer" /AllUsers /S >"$work/setup3.log" 2>&1 || status=$?
        settle
        ((status == 0)) || fail "the silent install for all users ended with status $status"
        check_install HKLM "$all_dir" "$all_programs" "$all_workdir"
        has_entry HKCU && fail "an install for all users made an entry for this user"
        cmp -s "$sample" "$(unix_path "$all_workdir")/baza.txt" || fail "no sample baza.txt in $all_workdir"
        echo "PASS: /AllUsers /S installs for every user"

        "$wine" "$(unix_path "$all_dir")/dezinstalare.exe" >"$work/uninstall2.log" 2>&1 &
        win=$(wait_window '^Dezinstalare carte de telefon' 60) || fail "the uninstaller's window did not appear"
        photograph "$win" uninstaller-1-confirm
        xdotool windowfocus --sync "$win" key Return
        sleep 4
        photograph "$win" uninstaller-2-done
        xdotool windowfocus --sync "$win" key Return
        wait_window_gone '^Dezinstalare carte de telefon' 20 || fail "the uninstaller's window stays"
        settle
        check_uninstall HKLM "$all_dir" "$all_programs"
        [ -f "$(unix_path "$all_workdir")/baza.txt" ] || fail "the uninstall removed baza.txt from $all_workdir"
        echo "PASS: the uninstaller, through its pages, removes an install for every user and keeps $all_workdir"
        echo "screenshots in $shots: $(cd "$shots" && echo *.png)"
    )
}
