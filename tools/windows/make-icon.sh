#!/usr/bin/env bash
# Makes the Windows icon, assets/carte-de-telefon.ico, from the program's 32 x 32 drawing
# (assets/carte-de-telefon-32.png):
#
#   16 x 16   32-bit, the drawing averaged down (each pixel the mean of a 2 x 2 block)
#   32 x 32   16 colours with a transparency mask: the drawing itself, pixel for pixel
#   48 x 48   32-bit, the drawing's pixels enlarged (some to 1, some to 2 pixels)
#   256 x 256 PNG, each pixel of the drawing an 8 x 8 block, which Explorer shrinks
#             evenly to its 64 and 128 px views
#
# usage: tools/windows/make-icon.sh            write the icon
#        tools/windows/make-icon.sh --check    fail when the icon is not what it makes
# Needs ImageMagick (convert) and icoutils (icotool).
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
drawing=$root/assets/carte-de-telefon-32.png
icon=$root/assets/carte-de-telefon.ico
for tool in convert icotool; do
    command -v "$tool" >/dev/null || { echo "make-icon: $tool is not installed" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/carte-icon.XXXXXX")
trap 'rm -rf "$work"' EXIT
# No time stamps in the PNGs, so that the same drawing always makes the same bytes.
png=(-define png:exclude-chunks=date,time -strip)
convert "$drawing" -filter box -resize 16x16 "${png[@]}" PNG32:"$work/16.png"
convert "$drawing" "${png[@]}" PNG32:"$work/32.png"
convert "$drawing" -filter point -resize 48x48 "${png[@]}" PNG32:"$work/48.png"
convert "$drawing" -filter point -resize 256x256 "${png[@]}" PNG32:"$work/256.png"
icotool --create --output="$work/icon.ico" \
    --bit-depth=32 "$work/16.png" --bit-depth=4 "$work/32.png" --bit-depth=32 "$work/48.png" \
    --raw="$work/256.png"

if [[ ${1:-} == --check ]]; then
    cmp -s "$work/icon.ico" "$icon" || {
        echo "make-icon: $icon is not made from $drawing: run tools/windows/make-icon.sh" >&2
        exit 1
    }
    exit 0
fi
cp "$work/icon.ico" "$icon"
icotool --list "$icon"
