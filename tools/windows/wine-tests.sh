# The steps test and run of tools/windows-build.sh: the unit tests under Wine, and the
# packed program started under Wine and ended from its menu.
# shellcheck shell=bash

# The unit tests that run under Wine: every test CTest knows but those labelled "linux"
# (carte_needs_linux in cmake/CarteHelpers.cmake), which the Windows build defines
# disabled and does not build.
ctest_in_build() { (cd "$build" && ctest "$@"); }

step_test() {
    [ -f "$build/CTestTestfile.cmake" ] || die "no build in $build: run the app step first"
    wine_environment
    local expected passed=0 failed=0 skipped
    expected=$(ctest_in_build -N -LE linux | sed -n 's/^Total Tests: //p')
    say "unit tests under Wine ($expected, all but those labelled linux)"
    # Each test's own environment (offscreen platform, C locale) comes from CTest, its
    # QT_ variables through tools/windows/wine-run.sh. Wine itself needs an X server even
    # so: without one no window of any kind, not even Qt's hidden ones, can be made.
    # Qt Test writes to the debugger, not to stdout, when stderr has no console, as
    # under CTest.
    (
        export QT_FORCE_STDERR_LOGGING=1
        source "$root/tools/xserver.sh"
        begin_session wine-tests
        start_xserver || exit 1
        unset QT_QPA_PLATFORM   # xcb, which Qt for Windows has not
        ctest_in_build -LE linux --output-on-failure --timeout 900
    ) | tee "$build/wine-tests.log" || true
    passed=$(grep -cE '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .* Passed' "$build/wine-tests.log" || true)
    failed=$(grep -cE '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .*(Failed|Exception|Timeout|Not Run)' "$build/wine-tests.log" || true)
    # Each with its other labels, which say what it tests.
    skipped=$(ctest_in_build -N -V -L linux | awk '
        /^Labels:/ { labels = ""; for (i = 2; i <= NF; i++) if ($i != "linux") labels = labels " " $i }
        /^ +Test +#[0-9]+: / { sub(/^ +Test +#[0-9]+: /, ""); printf "   %-26s%s\n", $0, labels }')
    say "not run under Wine (label linux):"
    printf '%s\n' "$skipped"
    say "Wine unit tests: $passed passed, $failed failed of $expected; $(grep -c . <<<"$skipped") labelled linux not run"
    [ "$failed" -eq 0 ] && [ "$passed" -eq "$expected" ]
}

step_run() {
    [ -f "$zip_file" ] || die "no $zip_file: run the zip step first"
    for tool in Xvfb openbox xdotool xprop import unzip; do
        command -v "$tool" >/dev/null || die "$tool is not installed"
    done
    (
        source "$root/tools/xserver.sh"
        begin_session wine
        wine_environment
        unset WINEPATH QT_PLUGIN_PATH   # the package must stand on its own
        start_xserver || exit 1
        unset QT_QPA_PLATFORM
        openbox --sm-disable >"$work/openbox.log" 2>&1 &
        other_pids=$!
        sleep 1
        unzip -q "$zip_file" -d "$work"
        local folder=$work/$(basename "$package")
        cp "$root/resources/baza.txt" "$folder/baza.txt"
        (cd "$folder" && exec "$wine" carte-de-telefon.exe) >"$work/program.log" 2>&1 &
        app_pid=$!

        fail() {
            echo "FAIL: $*" >&2
            tail -n 20 "$work/program.log" >&2
            exit 1
        }
        local main caption state status
        main=$(wait_window 'carte de telefoane' 90) || fail "the main window did not appear"
        caption=$(xprop -id "$main" WM_NAME)
        [[ $caption == "WM_NAME(STRING) = \"$(printf '%29s' '')carte de telefoane \"" ]] ||
            fail "the main window's caption: $caption"
        for _ in $(seq 50); do
            state=$(xprop -id "$main" _NET_WM_STATE)
            [[ $state == *_NET_WM_STATE_MAXIMIZED_VERT* && $state == *_NET_WM_STATE_MAXIMIZED_HORZ* ]] && break
            sleep 0.1
        done
        [[ $state == *_NET_WM_STATE_MAXIMIZED_VERT* && $state == *_NET_WM_STATE_MAXIMIZED_HORZ* ]] ||
            fail "the main window is not maximised: $state"
        echo "PASS: the main window appears maximised, caption \"${caption#*= \"}"
        sleep 2
        import -window root "$build/screenshot-wine.png"
        echo "wrote $build/screenshot-wine.png"
        exit_from_menu "$main" || fail "File > Exit did not end the program"
        status=0
        wait "$app_pid" || status=$?
        app_pid=
        [ "$status" -eq 0 ] || fail "the program ended with status $status"
        echo "PASS: File > Exit ends the program with status 0"
    )
}
