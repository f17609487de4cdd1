# The settings, paths and helpers every step of tools/windows-build.sh shares: where Qt,
# the build and the packages lie, and the environment Wine runs in. Sourced by that
# script, after it has set $root.
# shellcheck shell=bash

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

nice_=(nice -n 19)

say() { printf '== %s\n' "$*"; }
die() {
    printf 'windows-build: %s\n' "$*" >&2
    exit 1
}

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

# What the zip and installer steps make, which the steps after them take.
package=$build/carte-de-telefon-windows
zip_file=$build/carte-de-telefon-windows.zip
installer=$build/carte-de-telefon-setup.exe

# The package's files that the installer puts in the program's folder, by relative path:
# all but the zip's readme and the sample list, which goes to the working folder.
installed_files() {
    (cd "$package" && find . -type f ! -path ./README.txt ! -path ./baza.txt | sed 's|^\./||' | sort)
}

# The unit tests find Qt's and MinGW's DLLs where they were built; Wine runs in its own home.
wine_environment() {
    local dirs=("$qt_prefix/bin" "/usr/lib/gcc/$mingw/12-posix" "/usr/$mingw/lib") winepath= dir
    for dir in "${dirs[@]}"; do winepath+="Z:${dir//\//\\};"; done
    export WINEPATH=$winepath
    export QT_PLUGIN_PATH="Z:${qt_prefix//\//\\}\\plugins"
    mkdir -p "$wine_home"
    export HOME=$wine_home
    [ -d "$WINEPREFIX" ] || "$wine" wineboot -i >/dev/null 2>&1
}

# What Wine leaves in a home it runs in: its default prefix, and the menu entries, icons
# and file types of its menu builder. Whatever of it appears in the user's home is a fault.
wine_traces() {
    find "$real_home/.wine" "$real_home/.local/share/applications" "$real_home/.local/share/desktop-directories" \
        "$real_home/.local/share/icons" "$real_home/.local/share/mime/packages" "$real_home/.config/menus" \
        -maxdepth 3 \( -path "$real_home/.wine" -o -iname '*wine*' \) 2>/dev/null | sort || true
}
