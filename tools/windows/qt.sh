# The steps deps and qt of tools/windows-build.sh: the Debian packages the build needs,
# and a small Qt for Windows built once into the cache folder.
# shellcheck shell=bash

# ---------------------------------------------------------------- dependencies
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

# ---------------------------------------------------------------- Qt for Windows
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
