#!/usr/bin/env bash
# Builds the program for 64-bit Windows on Debian 12 with MinGW-w64, packs it as a zip and
# as an installer, and runs its unit tests, the program, the installer and printing under
# Wine.
#
#   deps       installs what is missing (apt-get, as root or with sudo)
#   qt         builds a small Qt 6.4 for Windows from Debian's qt6-base source, once, into
#              CARTE_QT_WINDOWS (default ${XDG_CACHE_HOME:-$HOME/.cache}/carte-de-telefon/qt6-windows)
#   app        builds the program and its unit tests in build-windows/
#   zip        packs build-windows/carte-de-telefon-windows.zip
#   installer  makes build-windows/carte-de-telefon-setup.exe with NSIS
#   test       runs the unit tests under Wine
#   run        starts the packed program under Wine on a private X server and ends it from
#              its menu
#   install    installs, starts from the Start menu, installs again and uninstalls under
#              Wine, in a new prefix with a home of its own; screenshots in
#              build-windows/screenshots/
#   print      prints from the packed program under Wine to a CUPS server of its own and
#              reads the job back
#
# usage: tools/windows-build.sh [step...]   (default: all, in this order)
# Other settings: CARTE_BUILD_WINDOWS (build folder), CARTE_JOBS (parallel jobs, default 2).
# Wine runs with a home and prefix of the script's own (in the cache folder, or a scratch
# folder for install and print) and without its menu builder: the user's home and the
# work tree stay as they were.
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
[ ${#steps[@]} -gt 0 ] || steps=(deps qt app zip installer test run install print)
nice_=(nice -n 19)

say() { printf '== %s\n' "$*"; }
die() {
    printf 'windows-build: %s\n' "$*" >&2
    exit 1
}

# ---------------------------------------------------------------- 1. dependencies
packages=(
    # the cross compiler (posix threads), Wine to run what it builds, zip and NSIS to pack it
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64 wine zip nsis
    # apt-get source and the build of qtbase: CMake, Ninja, Perl (syncqt), the host Qt
    dpkg-dev cmake ninja-build perl qt6-base-dev qt6-base-dev-tools qt6-base-private-dev
    # the host's Linguist tools, which build the Romanian translation into the program
    qt6-l10n-tools qt6-tools-dev
    # the program started on a private X server, its window checked and photographed
    xvfb xauth openbox xdotool x11-utils imagemagick
    # the icons read out of the programs (wrestool, icotool), the Start-menu entry (lnkinfo)
    icoutils liblnk-utils
    # a print server of the script's own that Wine prints to, its jobs' names and text read
    cups-daemon cups-client ghostscript
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
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver64)
# Wine makes its user's Documents, Desktop and the like links to $HOME, and winemenubuilder
# puts menu entries and icons for what is installed there: Wine gets a home of its own,
# and no menu builder, so that the user's home stays as it was.
real_home=$HOME
wine_home=${CARTE_WINE_HOME:-$cache/wine-home}
export WINEPREFIX=${CARTE_WINEPREFIX:-$wine_home/.wine}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer dialogs when the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
mingw_runtime=(
    /usr/lib/gcc/$mingw/12-posix/libstdc++-6.dll
    /usr/lib/gcc/$mingw/12-posix/libgcc_s_seh-1.dll
    /usr/$mingw/lib/libwinpthread-1.dll
)

# The unit tests that run under Wine: every test CTest knows but those labelled "linux"
# (carte_needs_linux in cmake/CarteHelpers.cmake), which the Windows build defines
# disabled and does not build.
ctest_in_build() { (cd "$build" && ctest "$@"); }

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
    say "building the program and the tests that run under Wine"
    "${nice_[@]}" cmake --build "$build" --parallel "$jobs"
}

# ---------------------------------------------------------------- 4. the zip
package=$build/carte-de-telefon-windows
zip_file=$build/carte-de-telefon-windows.zip

# Prints the sizes of the images in the program's icon that $1 carries, e.g. "16 32 48 256".
icon_sizes() {
    local icon
    icon=$(mktemp "${TMPDIR:-/tmp}/carte-icon.XXXXXX.ico")
    # icotool reads a PNG image only from a file it can seek in.
    wrestool --extract --type=14 "$1" --output="$icon" &&
        icotool --list "$icon" | sed -n 's/.*--width=\([0-9]*\).*/\1/p' | sort -n | tr '\n' ' ' | sed 's/ $//'
    rm -f "$icon"
}

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
    local sizes
    sizes=$(icon_sizes "$package/carte-de-telefon.exe")
    [ "$sizes" = "16 32 48 256" ] || die "the program's icon has images of $sizes px"
    (cd "$build" && zip -qr "$zip_file" "$(basename "$package")")
    say "$(du -h "$zip_file" | cut -f1) $zip_file"
}

# ---------------------------------------------------------------- 5. the installer
installer=$build/carte-de-telefon-setup.exe
installer_work=$build/installer
nsis_languages="/usr/share/nsis/Contrib/Language files"
# The uninstall entry's key, as tools/windows/installer.nsi writes it.
uninstall_key='Software\Microsoft\Windows\CurrentVersion\Uninstall\ro.carte_de_telefon.CarteDeTelefon'

# The package's files that the installer puts in the program's folder, by relative path:
# all but the zip's readme and the sample list, which goes to the working folder.
installed_files() {
    (cd "$package" && find . -type f ! -path ./README.txt ! -path ./baza.txt | sed 's|^\./||' | sort)
}

step_installer() {
    [ -f "$package/carte-de-telefon.exe" ] || die "no $package: run the zip step first"
    command -v makensis >/dev/null || die "makensis is not installed (package nsis)"
    "$root/tools/windows/make-icon.sh" --check || die "the icon is out of date"
    local version file dir i
    version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
    [ -n "$version" ] || die "no project version in $build/CMakeCache.txt"
    say "making $installer"
    rm -rf "$installer_work" "$installer"
    mkdir -p "$installer_work/lang"

    # NSIS's Romanian texts in plain letters, the byte-order mark dropped with them.
    for file in Romanian.nlf Romanian.nsh; do
        sed -e '1s/^\xEF\xBB\xBF//' -f "$root/tools/windows/plain-letters.sed" \
            "$nsis_languages/$file" >"$installer_work/lang/$file"
    done
    if LC_ALL=C grep -n '[^[:print:][:space:]]' "$installer_work"/lang/* "$root/tools/windows/installer.nsi" >&2; then
        die "letters with diacritics in the installer's texts (tools/windows/plain-letters.sed)"
    fi

    # The uninstaller deletes these files, then their folders, deepest first, and nothing else.
    local files=() dirs=() path
    mapfile -t files < <(installed_files)
    mapfile -t dirs < <(cd "$package" && find . -mindepth 1 -type d | sed 's|^\./||' | sort)
    {
        for dir in "" "${dirs[@]}"; do
            printf 'SetOutPath "$INSTDIR%s"\n' "${dir:+\\${dir//\//\\}}"
            for path in "${files[@]}"; do
                [ "$(dirname "$path")" = "${dir:-.}" ] && printf 'File "%s"\n' "$package/$path"
            done
        done
        printf 'SetOutPath "$INSTDIR"\n'
    } >"$installer_work/files.nsh"
    {
        for path in "${files[@]}"; do printf 'Delete "$INSTDIR\\%s"\n' "${path//\//\\}"; done
        for ((i = ${#dirs[@]} - 1; i >= 0; i--)); do printf 'RMDir "$INSTDIR\\%s"\n' "${dirs[i]//\//\\}"; done
    } >"$installer_work/unfiles.nsh"

    # The picture beside the first and last pages: the program's drawing, each pixel 4 x 4.
    convert -size 164x314 xc:'#c0c0c0' \
        \( "$root/assets/carte-de-telefon-32.png" -filter point -resize 128x128 \) \
        -gravity north -geometry +0+48 -composite -type truecolor BMP3:"$installer_work/wizard.bmp"

    makensis -WX -V2 -INPUTCHARSET UTF8 \
        "-DVERSION=$version" "-DPACKAGE=$package" "-DICON=$root/assets/carte-de-telefon.ico" \
        "-DWIZARD=$installer_work/wizard.bmp" \
        "-DFILES=$installer_work/files.nsh" "-DUNFILES=$installer_work/unfiles.nsh" \
        "-DLANGDIR=$installer_work/lang" "-DOUTFILE=$installer" \
        "$root/tools/windows/installer.nsi" >"$installer_work/makensis.log" 2>&1 || {
        cat "$installer_work/makensis.log" >&2
        die "makensis failed; see $installer_work/makensis.log"
    }
    local sizes record
    sizes=$(icon_sizes "$installer")
    [ "$sizes" = "16 32 48 256" ] || die "the installer's icon has images of $sizes px"
    record=$("$mingw-windres" -J coff -i "$installer" -O rc 2>/dev/null | sed -n '/VERSIONINFO/,/^END/p')
    grep -qx "      VALUE \"ProductVersion\", \"$version\"" <<<"$record" &&
        grep -qx "    VALUE \"Translation\", 0x409, [0-9]*" <<<"$record" ||
        die "the installer's version record is not $version in US English: $record"
    # Started by anyone, it asks Windows for no rights: an install for all users asks itself.
    wrestool --extract --raw --type=24 "$installer" | grep -q 'requestedExecutionLevel level="asInvoker"' ||
        die "the installer's manifest asks for more than the user's own rights"
    say "$(du -h "$installer" | cut -f1) $installer, version $version, icon $sizes px, run as the user"
}

# ---------------------------------------------------------------- 6. unit tests under Wine
wine_environment() {
    local dirs=("$qt_prefix/bin" "/usr/lib/gcc/$mingw/12-posix" "/usr/$mingw/lib") winepath= dir
    for dir in "${dirs[@]}"; do winepath+="Z:${dir//\//\\};"; done
    export WINEPATH=$winepath
    export QT_PLUGIN_PATH="Z:${qt_prefix//\//\\}\\plugins"
    mkdir -p "$wine_home"
    export HOME=$wine_home
    [ -d "$WINEPREFIX" ] || "$wine" wineboot -i >/dev/null 2>&1
}

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

# ---------------------------------------------------------------- 7. the program under Wine
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

# ---------------------------------------------------------------- 8. the installer under Wine
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
        # Terminare, with "Porneste carte de telefon" ticked: the program starts.
        xdotool windowfocus --sync "$win" key Return
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

# ---------------------------------------------------------------- 9. printing under Wine
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
        begin_session wine-print
        fail() {
            echo "FAIL: $*" >&2
            [ -f "$work/log/error_log" ] && { echo "--- cupsd's log:" >&2; tail -n 20 "$work/log/error_log" >&2; }
            exit 1
        }
        # CUPS runs its filters and backends as the user lp, who must reach the spool.
        chmod 755 "$work"
        mkdir -p "$work"/{conf,spool/tmp,cache,log,state,home}
        local socket=$work/cups.sock
        cat >"$work/conf/cupsd.conf" <<CONF
Listen $socket
Browsing No
LogLevel info
PreserveJobFiles Yes
PageLogFormat %j|%{job-name}
<Location />
  Order allow,deny
  Allow all
</Location>
<Location /admin>
  Order allow,deny
  Allow all
</Location>
CONF
        cat >"$work/conf/cups-files.conf" <<CONF
ServerRoot $work/conf
RequestRoot $work/spool
TempDir $work/spool/tmp
CacheDir $work/cache
StateDir $work/state
ErrorLog $work/log/error_log
AccessLog $work/log/access_log
PageLog $work/log/page_log
CONF
        # Every CUPS client here, Wine too, speaks only to this server.
        export CUPS_SERVER=$socket CUPS_SERVERROOT=$work/conf
        unset LPDEST PRINTER
        cupsd -f -c "$work/conf/cupsd.conf" -s "$work/conf/cups-files.conf" >"$work/cupsd.out" 2>&1 &
        other_pids=$!
        for _ in $(seq 100); do
            lpstat -r 2>/dev/null | grep -qx 'scheduler is running' && break
            sleep 0.1
        done
        lpstat -r 2>/dev/null | grep -qx 'scheduler is running' || fail "cupsd does not answer: $(cat "$work/cupsd.out")"
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

# ---------------------------------------------------------------- main
# What Wine leaves in a home it runs in: its default prefix, and the menu entries, icons
# and file types of its menu builder. Whatever of it appears in the user's home is a fault.
wine_traces() {
    find "$real_home/.wine" "$real_home/.local/share/applications" "$real_home/.local/share/desktop-directories" \
        "$real_home/.local/share/icons" "$real_home/.local/share/mime/packages" "$real_home/.config/menus" \
        -maxdepth 3 \( -path "$real_home/.wine" -o -iname '*wine*' \) 2>/dev/null | sort || true
}
traces_before=$(wine_traces)

# A failing test under Wine does not stop the next steps; the script fails at the end.
status=0
for step in "${steps[@]}"; do
    case $step in
    test | install | print) "step_$step" || status=1 ;;
    deps | qt | app | zip | installer | run) "step_$step" ;;
    *) die "unknown step '$step' (steps: deps qt app zip installer test run install print)" ;;
    esac
done
new_traces=$(comm -13 <(echo "$traces_before") <(wine_traces))
[ -z "$new_traces" ] || die "Wine left in $real_home: $new_traces"
exit $status
