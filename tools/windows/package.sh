# The steps app, zip and installer of tools/windows-build.sh: the program and its unit
# tests built for Windows, packed as a zip, and as an installer made with NSIS.
# shellcheck shell=bash

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

installer_work=$build/installer
nsis_languages="/usr/share/nsis/Contrib/Language files"

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
