#!/usr/bin/env bash
# Installs with apt-get what this Debian 12 machine lacks for one tier of the work:
#
#   run   building the program and running it on a desktop
#   test  the run tier, and everything any test needs (tools/test.sh)
#   fuzz  the test tier, and clang with libFuzzer (tests/fuzz, CARTE_FUZZ=ON)
#   bench the test tier, Python for the benchmarks' report (tools/bench.sh), and the
#         detectors that tools/measure_encoding_detectors.sh measures
#
# usage: tools/install-dependencies.sh [run|test|fuzz|bench]    (as root, or with sudo)
set -euo pipefail

tier=${1:-test}

run_packages=(
    # the compiler, CMake, Qt's development files, and CUPS, which printing goes through
    cmake g++ make pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev libcups2-dev
    # Qt's Linguist tools and their CMake functions, which build the Romanian translation
    qt6-l10n-tools qt6-tools-dev
    # Qt's Wayland platform, which today's desktops run (the X11 one is in libqt6gui6); a font
    qt6-wayland fonts-dejavu-core
)
test_packages=(
    # the benchmarks, which build with the tests
    libbenchmark-dev
    # a private X server, a window manager, a person's keyboard and mouse, screenshots;
    # a private Wayland compositor
    xvfb xauth openbox xdotool x11-utils imagemagick weston
    # the program's controls found by their accessible names (AT-SPI) on a private D-Bus
    dbus-daemon dbus-bin at-spi2-core python3-gi gir1.2-atspi-2.0
    # PDF text; the other readers of our RTF files
    poppler-utils pandoc libreoffice-writer-nogui
    # a private print server with the socket backend, which `cups` holds
    cups-daemon cups-client cups
    # the desktop files' validators, the Debian package (cpack needs `file`) and its
    # checker, the SVG icon drawn, the Windows resource compiled
    desktop-file-utils appstream dpkg-dev file lintian librsvg2-bin binutils-mingw-w64-x86-64
    # the formatting check
    clang-format
)
fuzz_packages=(clang-14 libclang-rt-14-dev)
bench_packages=(
    python3
    # the packaged encoding detectors that tools/measure_encoding_detectors.sh compares
    libuchardet-dev libicu-dev
)

case $tier in
run) packages=("${run_packages[@]}") ;;
test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
fuzz) packages=("${run_packages[@]}" "${test_packages[@]}" "${fuzz_packages[@]}") ;;
bench) packages=("${run_packages[@]}" "${test_packages[@]}" "${bench_packages[@]}") ;;
*)
    echo "usage: $0 [run|test|fuzz|bench]" >&2
    exit 2
    ;;
esac

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing ($tier): ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
