#!/usr/bin/env bash
# Compiles the Windows resource file with the MinGW resource compiler, as a Windows
# build would, and reads back its version record and icon.
#
# usage: windows_resource.sh CONFIGURED_RC VERSION
set -euo pipefail

rc=$1 version=$2
windres=$(command -v x86_64-w64-mingw32-windres || command -v windres || true)
[[ -n $windres ]] || { echo "FAIL: no windres: install binutils-mingw-w64-x86-64 (tools/install-dependencies.sh test)" >&2; exit 1; }
command -v cpp >/dev/null || { echo "FAIL: no C preprocessor: install cpp (tools/install-dependencies.sh test)" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/carte-rc.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# The host's preprocessor: the file needs no Windows header.
"$windres" --preprocessor=cpp -i "$rc" -O coff -o "$work/resource.o" || { echo "FAIL: windres rejects $rc" >&2; exit 1; }
"$windres" --preprocessor=cpp -i "$rc" -O rc -o "$work/decompiled.rc"
decompiled=$work/decompiled.rc

IFS=. read -r major minor patch tweak <<<"$version"
numbers="$major, $minor, $patch, $tweak"
grep -qx " FILEVERSION $numbers" "$decompiled" || fail "FILEVERSION is not $numbers: $(grep FILEVERSION "$decompiled")"
grep -qx " PRODUCTVERSION $numbers" "$decompiled" || fail "PRODUCTVERSION is not $numbers: $(grep PRODUCTVERSION "$decompiled")"
grep -qx ' FILETYPE 0x1' "$decompiled" || fail "FILETYPE is not an application"
# US English, code page 1252, both as the string block's name and as the translation.
grep -qx '    BLOCK "040904E4"' "$decompiled" || fail "no string block 040904E4"
grep -qx '    VALUE "Translation", 0x409, 1252' "$decompiled" || fail "the translation is not 0x409, 1252"
for value in "FileVersion|$version" "ProductVersion|$version" "ProductName|carte de telefon" \
    "OriginalFilename|carte-de-telefon.exe"; do
    name=${value%%|*} text=${value#*|}
    grep -qx "      VALUE \"$name\", \"$text\"" "$decompiled" || fail "$name is not \"$text\": $(grep "\"$name\"" "$decompiled")"
done
# The icon group that Explorer shows holds images for its small, large and extra-large
# views; each entry starts with its width and height in octal escapes (256 as 0).
grep -q 'RT_GROUP_ICON' "$decompiled" || fail "no icon"
group=$(sed -n '/RT_GROUP_ICON/,/^END/p' "$decompiled")
for image in '16|\020\020' '32|\040\040' '48|\060\060' '256|\000\000'; do
    grep -qF "\"${image#*|}\\" <<<"$group" || fail "the icon has no ${image%%|*} x ${image%%|*} image"
done

((failures == 0)) || exit 1
echo "PASS: the resource compiles, version $version, with the icon"
