#!/usr/bin/env bash
# How many of the phone books in tests/data/encodings/ each reader reads as written:
# the plain text codec of this work tree, that of each commit named, uchardet and ICU's
# charset detector (measured where libuchardet-dev and libicu-dev are installed). Prints
# Markdown tables, then every file a reader got wrong with its answer. With --random
# SEED it measures 400 lists drawn at random (tools/make_encoding_corpus.py) instead.
#
#   tools/measure_encoding_detectors.sh [--random SEED] [COMMIT...]     e.g. ... 2c73e91
#
# Builds in build-encodings/ with Qt Core; the program itself links neither detector.
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_root="$source_dir/build-encodings"
corpus="$source_dir/tests/data/encodings"
results="$build_root/results.tsv"

build() {
    local folder=$1 codec=$2
    shift 2
    cmake -S "$source_dir/tools/encoding_detectors" -B "$folder" -DCMAKE_BUILD_TYPE=Release \
        -DCARTE_CODEC_DIR="$codec" "$@" >"$folder.log" 2>&1 || { cat "$folder.log" >&2; return 1; }
    cmake --build "$folder" -j2 >>"$folder.log" 2>&1 || { cat "$folder.log" >&2; return 1; }
    grep -h 'are not measured\|is not measured' "$folder.log" >&2 || true
}

mkdir -p "$build_root"
if [[ ${1:-} == --random ]]; then
    corpus="$build_root/random-$2"
    python3 "$source_dir/tools/make_encoding_corpus.py" --random "$2" "$corpus"
    shift 2
fi
: >"$results"
for commit in "$@"; do
    revision=$(git -C "$source_dir" rev-parse --short "$commit^{commit}")
    tree="$build_root/codec-$revision"
    rm -rf "$tree"
    mkdir -p "$tree"
    git -C "$source_dir" archive "$revision" toolkit/codec | tar -x -C "$tree"
    build "$build_root/build-$revision" "$tree/toolkit/codec" -DCARTE_WITH_DETECTORS=OFF
    "$build_root/build-$revision/measure_encodings" --codec-only --label "codec at $revision" "$corpus" >>"$results"
done
build "$build_root/build-tree" "$source_dir/toolkit/codec"
"$build_root/build-tree/measure_encodings" --label "codec, work tree" "$corpus" >>"$results"
python3 "$source_dir/tools/encoding_detectors/report.py" "$results"
