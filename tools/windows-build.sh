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
)

step_deps() {
    local missing=() package
    for package in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
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
    rm -rf "$qt_work/build"
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
        -DFEATURE_concurrent=OFF -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF \
        -DFEATURE_icu=OFF -DFEATURE_zstd=OFF -DFEATURE_glib=OFF \
        -DFEATURE_sql_sqlite=OFF -DFEATURE_androiddeployqt=OFF \
        -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_direct2d=OFF \
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

# ---------------------------------------------------------------- main
for step in "${steps[@]}"; do
    case $step in
    deps | qt | app | zip | test | run) "step_$step" ;;
    *) die "unknown step '$step' (steps: deps qt app zip test run)" ;;
    esac
done
