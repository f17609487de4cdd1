#!/usr/bin/env bash
# Builds the program for 64-bit Windows on Debian 12 with MinGW-w64, packs it as a zip,
# and runs its unit tests and the program itself under Wine.
#
#   1. installs what is missing (apt-get, as root or with sudo)
#   2. builds a small Qt 6.4 for Windows from Debian's qt6-base source, once, into
#      CARTE_QT_WINDOWS (default ${XDG_CACHE_HOME:-$HOME/.cache}/carte-de-telefon/qt6-windows)
#   3. builds the program and its unit tests in build-windows/
#   4. packs build-windows/carte-de-telefon-windows.zip
#   5. runs the unit tests under Wine
#   6. starts the packed program under Wine on a private X server and ends it from its menu
#
# usage: tools/windows-build.sh [step...]     steps: deps qt app zip test run (default: all)
# Other settings: CARTE_BUILD_WINDOWS (build folder), CARTE_JOBS (parallel jobs, default 2).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/carte-de-telefon
qt_prefix=${CARTE_QT_WINDOWS:-$cache/qt6-windows}
qt_work=${CARTE_QT_WINDOWS_WORK:-$cache/qt6-windows-work}
build=${CARTE_BUILD_WINDOWS:-$root/build-windows}
jobs=${CARTE_JOBS:-2}
toolchain=$root/cmake/mingw-w64-x86_64.cmake
mingw=x86_64-w64-mingw32
# Debian's own Qt is the host Qt: the cross build takes moc, rcc and uic from it.
host_qt=/usr
host_qt_cmake=/usr/lib/x86_64-linux-gnu/cmake
qt_version=6.4.2

steps=("$@")
[ ${#steps[@]} -gt 0 ] || steps=(deps qt app zip test run)
nice_=(nice -n 19)

say() { printf '== %s\n' "$*"; }
die() {
    printf 'windows-build: %s\n' "$*" >&2
    exit 1
}

# ---------------------------------------------------------------- 1. dependencies
packages=(
    # the cross compiler (posix threads), Wine to run what it builds, zip for the package
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64 wine zip
    # apt-get source and the build of qtbase: CMake, Ninja, Perl (syncqt), the host Qt
    dpkg-dev cmake ninja-build perl qt6-base-dev qt6-base-dev-tools qt6-base-private-dev
    # the program started on a private X server, its window checked and photographed
    xvfb xauth openbox xdotool x11-utils imagemagick
    # the fonts of the unit tests
    fonts-dejavu-core
)

deb_src_list=/etc/apt/sources.list.d/carte-deb-src.sources

# apt-get source needs deb-src entries, which a fresh Debian 12 has none of: they are
# made from the deb entries of debian.sources, the same mirrors and suites.
has_deb_src() {
    grep -qsE '^\s*(deb-src\s|Types:.*\bdeb-src\b)' /etc/apt/sources.list /etc/apt/sources.list.d/*.list \
        /etc/apt/sources.list.d/*.sources
}

step_deps() {
    local missing=() package sudo=() update=
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    if ! qt_ready && ! has_deb_src; then
        [ -f /etc/apt/sources.list.d/debian.sources ] ||
            die "no deb-src entries and no /etc/apt/sources.list.d/debian.sources to make them from"
        say "adding deb-src entries in $deb_src_list"
        sed 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
            "${sudo[@]}" tee "$deb_src_list" >/dev/null
        update=1
    fi
    for package in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$package")
    done
    if [ ${#missing[@]} -eq 0 ]; then
        [ -z "$update" ] || "${sudo[@]}" apt-get update -qq
        return 0
    fi
    say "installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# ---------------------------------------------------------------- 2. Qt for Windows
qt_ready() { [ -f "$qt_prefix/lib/cmake/Qt6/Qt6Config.cmake" ] && [ -f "$qt_prefix/.carte-complete" ]; }

step_qt() {
    if qt_ready; then
        say "Qt for Windows: reusing $qt_prefix"
        return 0
    fi
    local host_version
    host_version=$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null || true)
    case $host_version in
    "$qt_version"*) ;;
    *) die "the host Qt must be $qt_version (qt6-base-dev is '$host_version')" ;;
    esac

    mkdir -p "$qt_work"
    local src
    src=$(find "$qt_work" -maxdepth 1 -type d -name "qt6-base-$qt_version*" | head -n 1)
    if [ -z "$src" ]; then
        say "fetching Debian's qt6-base source into $qt_work"
        (cd "$qt_work" && apt-get source qt6-base="$(dpkg-query -W -f='${Version}' qt6-base-dev)") ||
            die "apt-get source qt6-base failed (are deb-src entries enabled in /etc/apt/sources.list.d?)"
        src=$(find "$qt_work" -maxdepth 1 -type d -name "qt6-base-$qt_version*" | head -n 1)
    fi
    # Debian's patches (applied by apt-get source) are all kept: the security fixes and the
    # CPU detections are portable, and the packaging ones touch only the host build
    # (pkg-config, androiddeployqt, zstd, which this build turns off).

    say "configuring Qt $qt_version for Windows (log: $qt_work/configure.log)"
    # Direct 2D stays on: without it Qt 6.4 leaves out the DirectWrite font engine that
    # its print support still calls, and Qt6PrintSupport.dll does not link.
    # Tablet events stay off: Debian's source leaves out the Wintab header they need
    # (its licence forbids changes), so the Windows platform plugin would not compile.
    # OpenGL off throughout: with FEATURE_opengl alone, dynamic OpenGL stays on and the
    # Windows platform plugin does not compile.
    # A build folder left by an interrupted run is configured again and carries on.
    "${nice_[@]}" cmake -S "$src" -B "$qt_work/build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$qt_prefix" \
        -DQT_HOST_PATH="$host_qt" \
        -DQT_HOST_PATH_CMAKE_DIR="$host_qt_cmake" \
        -DBUILD_SHARED_LIBS=ON \
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
        -DQT_BUILD_TOOLS_WHEN_CROSSCOMPILING=OFF \
        -DFEATURE_pkg_config=OFF \
        -DFEATURE_dbus=OFF -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_xml=OFF \
        -DFEATURE_concurrent=OFF -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_opengl_dynamic=OFF \
        -DFEATURE_dynamicgl=OFF -DFEATURE_vulkan=OFF \
        -DFEATURE_icu=OFF -DFEATURE_zstd=OFF -DFEATURE_glib=OFF \
        -DFEATURE_sql_sqlite=OFF -DFEATURE_androiddeployqt=OFF \
        -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_direct2d=ON -DFEATURE_tabletevent=OFF \
        -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF \
        -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF \
        -DFEATURE_system_doubleconversion=OFF -DFEATURE_system_libb2=OFF \
        -DFEATURE_printsupport=ON -DFEATURE_testlib=ON -DFEATURE_widgets=ON \
        >"$qt_work/configure.log" 2>&1 || {
        tail -n 40 "$qt_work/configure.log" >&2
        die "configuring Qt failed; see $qt_work/configure.log"
    }
    say "building Qt (log: $qt_work/build.log)"
    "${nice_[@]}" cmake --build "$qt_work/build" --parallel "$jobs" >"$qt_work/build.log" 2>&1 || {
        tail -n 40 "$qt_work/build.log" >&2
        die "building Qt failed; see $qt_work/build.log"
    }
    "${nice_[@]}" cmake --install "$qt_work/build" >"$qt_work/install.log" 2>&1 ||
        die "installing Qt failed; see $qt_work/install.log"
    touch "$qt_prefix/.carte-complete"
    say "Qt for Windows in $qt_prefix"
}

# ---------------------------------------------------------------- 3. the program
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
export WINEPREFIX=${CARTE_WINEPREFIX:-$cache/wine-prefix}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer dialogs when the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml="
mingw_runtime=(
    /usr/lib/gcc/$mingw/12-posix/libstdc++-6.dll
    /usr/lib/gcc/$mingw/12-posix/libgcc_s_seh-1.dll
    /usr/$mingw/lib/libwinpthread-1.dll
)

# The unit tests that run under Wine; those left out, and why.
wine_tests=(
    tst_rtfreader tst_plaintext tst_corpus tst_rtfwriter tst_roundtrip
    tst_tstrings tst_application tst_printing tst_richedit tst_phonebook
    tst_hostile
    tst_mainwindow tst_commands tst_deletewindow
    tst_accessiblenames tst_formaccessibility tst_highdpi
    fuzz_replay_rtfreader fuzz_replay_plaintext fuzz_replay_roundtrip fuzz_replay_boxroundtrip
    tst_windowssave tst_systembeep tst_versionrecord
)
not_under_wine=(
    "tst_interop|starts LibreOffice and pandoc, Linux programs a Windows process cannot start"
    "tst_startup|starts Xvfb, openbox and xprop itself to watch the program's windows"
    "e2e_phonebook|a bash script that drives a Linux build with xdotool and reads back with LibreOffice"
    "e2e_readonly_save|a bash script that drives a Linux build with xdotool and chmod"
    "tst_hostileload|measures memory through /proc and rlimits in Linux-only code; does not compile for Windows"
    "tst_loadfaults|makes its faults with POSIX calls (FIFOs, mounts, rlimits); not built for Windows"
    "tst_savefaults|makes its faults with POSIX calls (mounts, users, signals); not built for Windows"
    "desktop_install, deb_package, windows_resource, cups_print|Linux packaging and CUPS; not defined for Windows"
)

# Wine's own Fonts folder is empty; the tests on Qt's offscreen platform read these.
test_fonts=/usr/share/fonts/truetype/dejavu

step_app() {
    qt_ready || die "no Qt for Windows in $qt_prefix: run the qt step first"
    say "configuring the program in $build"
    mkdir -p "$build"
    "${nice_[@]}" cmake -S "$root" -B "$build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_PREFIX_PATH="$qt_prefix" \
        -DQT_HOST_PATH="$host_qt" \
        -DQT_HOST_PATH_CMAKE_DIR="$host_qt_cmake" \
        -DCMAKE_BUILD_TYPE=Release \
        -DCARTE_BUILD_BENCHMARKS=OFF \
        -DCARTE_WARNINGS_AS_ERRORS=ON \
        -DCMAKE_CROSSCOMPILING_EMULATOR="$root/tools/windows/wine-run.sh" \
        -DCARTE_TEST_FONT_DIR="Z:$test_fonts" \
        >"$build/configure.log" 2>&1 || {
        tail -n 30 "$build/configure.log" >&2
        die "configuring the program failed; see $build/configure.log"
    }
    local targets=(carte-de-telefon) test
    for test in "${wine_tests[@]}"; do targets+=("${test/#fuzz_replay_/replay_}"); done
    say "building the program and ${#wine_tests[@]} tests"
    "${nice_[@]}" cmake --build "$build" --parallel "$jobs" --target "${targets[@]}"
}

# ---------------------------------------------------------------- 4. the zip
package=$build/carte-de-telefon-windows
zip_file=$build/carte-de-telefon-windows.zip

# The DLLs a Windows program names in its import table.
imported_dlls() { "$mingw-objdump" -p "$1" | sed -n 's/^\s*DLL Name: //p'; }

step_zip() {
    [ -f "$build/carte-de-telefon.exe" ] || die "no $build/carte-de-telefon.exe: run the app step first"
    say "packing $zip_file"
    rm -rf "$package" "$zip_file"
    mkdir -p "$package/platforms" "$package/styles" "$package/imageformats"
    cp "$build/carte-de-telefon.exe" "$root/resources/baza.txt" "${mingw_runtime[@]}" "$package/"
    cp "$qt_prefix"/bin/Qt6{Core,Gui,Widgets,PrintSupport}.dll "$package/"
    cp "$qt_prefix/plugins/platforms/qwindows.dll" "$package/platforms/"
    cp "$qt_prefix"/plugins/styles/*.dll "$package/styles/" 2>/dev/null || rmdir "$package/styles"
    cp "$qt_prefix"/plugins/imageformats/qico.dll "$package/imageformats/" 2>/dev/null || rmdir "$package/imageformats"
    find "$package" \( -name "*.exe" -o -name "*.dll" \) -exec "$mingw-strip" --strip-unneeded {} +
    cp "$root/tools/windows/README.txt" "$package/"

    # Every DLL any of them imports is in the package or is the system's own.
    local file dll missing=()
    local -A system_dll=()
    for file in /usr/lib/x86_64-linux-gnu/wine/x86_64-windows/*.{dll,drv}; do
        file=${file##*/}
        system_dll[${file,,}]=1
    done
    while IFS= read -r file; do
        while IFS= read -r dll; do
            [ -f "$package/$dll" ] && continue
            [ -n "${system_dll[${dll,,}]:-}" ] && continue
            [[ ${dll,,} == api-ms-win-* ]] && continue
            missing+=("$(basename "$file") needs $dll")
        done < <(imported_dlls "$file")
    done < <(find "$package" -name '*.exe' -o -name '*.dll')
    [ ${#missing[@]} -eq 0 ] || die "the package lacks DLLs: ${missing[*]}"
    (cd "$build" && zip -qr "$zip_file" "$(basename "$package")")
    say "$(du -h "$zip_file" | cut -f1) $zip_file"
}

# ---------------------------------------------------------------- 5. unit tests under Wine
wine_environment() {
    local dirs=("$qt_prefix/bin" "/usr/lib/gcc/$mingw/12-posix" "/usr/$mingw/lib") winepath= dir
    for dir in "${dirs[@]}"; do winepath+="Z:${dir//\//\\};"; done
    export WINEPATH=$winepath
    export QT_PLUGIN_PATH="Z:${qt_prefix//\//\\}\\plugins"
    [ -d "$WINEPREFIX" ] || "$wine" wineboot -i >/dev/null 2>&1
}

step_test() {
    [ -f "$build/CTestTestfile.cmake" ] || die "no build in $build: run the app step first"
    wine_environment
    local pattern passed=0 failed=0 entry failures=()
    pattern="^($(IFS='|'; echo "${wine_tests[*]}"))\$"
    say "unit tests under Wine (${#wine_tests[@]})"
    # Each test's own environment (offscreen platform, C locale) comes from CTest, its
    # QT_ variables through tools/windows/wine-run.sh. Wine itself needs an X server even
    # so: without one no window of any kind, not even Qt's hidden ones, can be made.
    # Qt Test writes to the debugger, not to stdout, when stderr has no console, as
    # under CTest.
    (
        export QT_FORCE_STDERR_LOGGING=1
        source "$root/tools/xserver.sh"
        begin_session wine-tests
        start_xserver
        unset QT_QPA_PLATFORM   # xcb, which Qt for Windows has not
        cd "$build" && ctest -R "$pattern" --output-on-failure --timeout 900
    ) | tee "$build/wine-tests.log" || true
    passed=$(grep -cE '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .* Passed' "$build/wine-tests.log" || true)
    failed=$(grep -cE '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .*(Failed|Exception|Timeout|Not Run)' "$build/wine-tests.log" || true)
    say "not run under Wine:"
    for entry in "${not_under_wine[@]}"; do printf '   %-30s %s\n' "${entry%%|*}" "${entry#*|}"; done
    say "Wine unit tests: $passed passed, $failed failed, ${#not_under_wine[@]} groups not run"
    [ "$failed" -eq 0 ] && [ "$passed" -eq ${#wine_tests[@]} ]
}

# ---------------------------------------------------------------- 6. the program under Wine
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
        start_xserver
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
        mkdir -p "$root/docs"
        import -window root "$root/docs/screenshot-wine.png"
        echo "wrote docs/screenshot-wine.png"
        exit_from_menu "$main" || fail "File > Exit did not end the program"
        status=0
        wait "$app_pid" || status=$?
        app_pid=
        [ "$status" -eq 0 ] || fail "the program ended with status $status"
        echo "PASS: File > Exit ends the program with status 0"
    )
}

# ---------------------------------------------------------------- main
# A failing unit test does not stop the run of the program; the script fails at the end.
status=0
for step in "${steps[@]}"; do
    case $step in
    test) step_test || status=1 ;;
    deps | qt | app | zip | run) "step_$step" ;;
    *) die "unknown step '$step' (steps: deps qt app zip test run)" ;;
    esac
done
exit $status
