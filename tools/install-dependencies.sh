#!/usr/bin/env bash
# Installs with apt-get whatever the build, the program and its tests need and this
# Debian 12 machine does not have yet. Run as root (or with sudo available).
set -euo pipefail

packages=(
    # build
    cmake g++ make pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev libcups2-dev libbenchmark-dev libxcb1-dev
    # running under X11, and the platform plugins
    qt6-qpa-plugins libxkbcommon-x11-0 fonts-dejavu-core
    # tests: a private X server and a person's keyboard and mouse, PDF text, other RTF readers
    xvfb xauth xdotool x11-utils imagemagick poppler-utils pandoc libreoffice-writer-nogui
    # fuzzing the file codecs (tests/fuzz, CARTE_FUZZ=ON): clang with libFuzzer
    clang-14 libclang-rt-14-dev
    # desktop tests: a private print server, the desktop-file and AppStream validators, the
    # Debian package's dependencies, the SVG icon drawn, the Windows resource compiled
    cups-daemon cups-client desktop-file-utils appstream dpkg-dev librsvg2-bin binutils-mingw-w64-x86-64
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
