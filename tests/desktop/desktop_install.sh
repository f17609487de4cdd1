#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a desktop reads from it: the
# desktop entry and the AppStream metainfo pass their validators and name each other,
# the program and both icons sit where the entry and the icon theme look for them, and
# every icon shows the program's own 32 x 32 drawing pixel for pixel.
#
# usage: desktop_install.sh BUILD_DIR APPLICATION_ID ICON_XPM WINDOWS_ICO
set -euo pipefail

build=$1 id=$2 xpm=$3 ico=$4
for tool in desktop-file-validate appstreamcli compare convert rsvg-convert; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed (tools/install-dependencies.sh test)" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/carte-desktop.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

prefix=$work/usr
cmake --install "$build" --prefix "$prefix" >"$work/install.log" || { cat "$work/install.log"; exit 1; }

desktop=$prefix/share/applications/$id.desktop
metainfo=$prefix/share/metainfo/$id.metainfo.xml
png=$prefix/share/icons/hicolor/32x32/apps/$id.png
svg=$prefix/share/icons/hicolor/scalable/apps/$id.svg
for file in "$prefix/bin/carte-de-telefon" "$desktop" "$metainfo" "$png" "$svg"; do
    [[ -f $file ]] || fail "not installed: ${file#"$prefix"/}"
done
[[ -x $prefix/bin/carte-de-telefon ]] || fail "the program is not executable"
((failures == 0)) || exit 1

desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $id.desktop"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects $id.metainfo.xml"

key() { sed -n "s/^$1=//p" "$desktop"; }
[[ $(key Name) == "carte de telefon" ]] || fail "Name is '$(key Name)'"
[[ $(key Icon) == "$id" ]] || fail "Icon is '$(key Icon)', the installed icons are named $id"
[[ -x $prefix/bin/$(key Exec | cut -d' ' -f1) ]] || fail "Exec '$(key Exec)' is not the installed program"
[[ ";$(key Categories)" == *";Office;"* ]] || fail "Categories '$(key Categories)' lack Office"

tag() { tr -d '\n' <"$metainfo" | grep -o "<$1[^>]*>[^<]*</$1>" | head -n1 | sed 's/<[^>]*>//g'; }
[[ $(tag id) == "$id" ]] || fail "metainfo id is '$(tag id)'"
[[ $(tag launchable) == "$id.desktop" ]] || fail "metainfo launchable is '$(tag launchable)'"
[[ $(tag name) == "carte de telefon" ]] || fail "metainfo name is '$(tag name)'"
grep -q '<release version="1.0.0.0"' "$metainfo" || fail "metainfo has no release 1.0.0.0"

# Every text a desktop shows has its Romanian form, in plain letters as the program's own.
for name in Name GenericName Comment Keywords; do
    [[ -n $(key "$name") ]] || continue
    [[ -n $(key "$name\[ro\]") ]] || fail "the desktop entry has $name but no $name[ro]"
done
for element in name summary; do
    grep -q "<$element xml:lang=\"ro\">[^<]" "$metainfo" || fail "metainfo has no Romanian $element"
done
paragraphs=$(grep -c '<p>' "$metainfo") romanian=$(grep -c '<p xml:lang="ro">' "$metainfo")
((paragraphs == romanian)) || fail "metainfo has $paragraphs paragraphs and $romanian in Romanian"
! LC_ALL=C grep -n '[^ -~]' "$desktop" "$metainfo" || fail "a desktop text has letters beyond plain ASCII"

# The same drawing: no pixel differs from the program's own icon.
same_as_xpm() {
    local what=$1 image=$2 differing
    differing=$(compare -metric AE "$xpm" "$image" null: 2>&1) || true
    [[ $differing == 0 ]] || fail "$what differs from the program's icon in $differing pixels"
}
[[ $(identify -format '%wx%h' "$png") == 32x32 ]] || fail "the PNG icon is not 32 x 32"
same_as_xpm "the 32 x 32 PNG" "$png"
rsvg-convert -w 32 -h 32 "$svg" -o "$work/svg-32.png"
same_as_xpm "the SVG drawn at 32 x 32" "$work/svg-32.png"
# Drawn larger, it stays sharp: each pixel of the drawing becomes a 4 x 4 block.
rsvg-convert -w 128 -h 128 "$svg" -o "$work/svg-128.png"
convert "$xpm" -filter point -resize 128x128 PNG32:"$work/xpm-128.png"
differing=$(compare -metric AE "$work/xpm-128.png" "$work/svg-128.png" null: 2>&1) || true
[[ $differing == 0 ]] || fail "the SVG drawn at 128 x 128 differs in $differing pixels"

sizes=$(identify -format '%wx%h ' "$ico")
[[ $sizes == *"32x32"* ]] || fail "the Windows icon has no 32 x 32 image (has: $sizes)"
index=0
for size in $sizes; do
    [[ $size == 32x32 ]] && break
    index=$((index + 1))
done
convert "$ico[$index]" PNG32:"$work/ico-32.png"
same_as_xpm "the Windows icon's 32 x 32 image" "$work/ico-32.png"

((failures == 0)) || exit 1
echo "PASS: installed desktop entry, metainfo and icons"
