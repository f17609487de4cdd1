#!/usr/bin/env bash
# Builds bench/ in Release and runs every benchmark: the list operations and the
# codecs (Google Benchmark), start-up to the main window painted under Xvfb and
# offscreen, memory at a million entries, and pandoc and LibreOffice reading the
# same file. Prints one table, each figure beside its goal and reference, then the
# printing figures: a list printed to a PDF file at 1,000, 100,000 and 1,000,000 lines.
#
# A paste of a million entries is timed against loading them, offscreen and through
# the X server's clipboard from another process.
#
# Each program's output goes as it is into a file of its own in the scratch folder,
# named for what it measured (startup/xvfb-100k.txt); bench/report.py reads each
# figure by the key bench/Keys.h declares for the program that prints it.
#
#   tools/bench.sh [build-directory]      (default: build-bench)
set -eu

source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-"$source_dir/build-bench"}
case $build_dir in /*) ;; *) build_dir="$PWD/$build_dir" ;; esac

"$source_dir/tools/install-dependencies.sh" bench
cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DCARTE_BUILD_BENCHMARKS=ON >/dev/null
cmake --build "$build_dir" -j2 --target carte-de-telefon bench_list bench_codec bench_formats make_phonebook \
    startup_offscreen thread_fill print_timer paste_timer
# The X11 timer needs the xcb headers (libxcb1-dev); without them Xvfb is left out.
cmake --build "$build_dir" -j2 --target startup_timer || echo "bench.sh: no start-up timing under Xvfb" >&2

. "$source_dir/tools/xserver.sh"
begin_session bench
export QT_LOGGING_RULES='qt.qpa.*=false'
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

bench="$build_dir/bench"
for case in empty:0 100k:100000 1m:1000000; do
    name=${case%%:*}
    mkdir -p "$work/$name"
    "$bench/make_phonebook" "${case#*:}" "$work/$name/baza.txt"
done
"$bench/make_phonebook" 100000 "$work/baza-100k.rtf" rtf

echo "== system" >&2
uptime >&2

# Start-up under a private Xvfb with a black root: the timer takes a window painted
# once its middle row is no longer black.
XSERVER_OPTIONS=-br start_xserver

mkdir "$work/startup" "$work/paste" "$work/print"
# Rounds through the three sizes, so that a change of load on the machine weighs on
# each alike; a million entries only in the first three rounds.
round=1
while [ $round -le 7 ]; do
    echo "== start-up, round $round of 7, Xvfb and offscreen" >&2
    for name in empty 100k 1m; do
        [ "$name" = 1m ] && [ $round -gt 3 ] && continue
        if [ -x "$bench/startup_timer" ]; then
            (cd "$work/$name" && "$bench/startup_timer" "$build_dir/carte-de-telefon") \
                >>"$work/startup/xvfb-$name.txt" || true
        fi
        (cd "$work/$name" && QT_QPA_PLATFORM=offscreen "$bench/startup_offscreen") \
            >>"$work/startup/offscreen-$name.txt"
        # A user quick to click: the list shown 100 ms after the window.
        (cd "$work/$name" && QT_QPA_PLATFORM=offscreen "$bench/startup_offscreen" --show-after 100) \
            >>"$work/startup/offscreen-$name-click.txt"
    done
    round=$((round + 1))
done

echo "== a document built on a worker thread and handed to the box" >&2
for round in 1 2 3; do
    QT_QPA_PLATFORM=offscreen "$bench/thread_fill" 1000000 >>"$work/startup/offscreen-1m-thread.txt"
done

echo "== a paste of 1,000,000 entries against loading them" >&2
# HTML takes Qt's parser a quarter of a minute: one run. Under Xvfb another process owns
# the clipboard, as a text editor would.
for source in plain:3 copy:3 both:1; do
    QT_QPA_PLATFORM=offscreen "$bench/paste_timer" --runs "${source#*:}" --source "${source%%:*}" 1000000 \
        >"$work/paste/offscreen-${source%%:*}.txt"
done
for source in plain copy; do
    "$bench/paste_timer" --from-another-program --runs 3 --source "$source" 1000000 >"$work/paste/xvfb-$source.txt"
done

echo "== list operations (Google Benchmark)" >&2
QT_QPA_PLATFORM=offscreen "$bench/bench_list" --benchmark_repetitions=3 \
    --benchmark_out="$work/list.json" --benchmark_out_format=json >&2
echo "== codecs (Google Benchmark)" >&2
"$bench/bench_codec" --benchmark_repetitions=5 \
    --benchmark_out="$work/codec.json" --benchmark_out_format=json >&2
echo "== documents of many formats (Google Benchmark)" >&2
QT_QPA_PLATFORM=offscreen "$bench/bench_formats" --benchmark_repetitions=3 \
    --benchmark_out="$work/formats.json" --benchmark_out_format=json >&2

echo "== printing to a PDF file" >&2
# Whether the last entry is on the last page is read back with pdftotext, but not at
# a million lines, where that takes it minutes: the page count tells there.
for lines in 1000 100000 1000000; do
    check=--last-line
    [ "$lines" = 1000000 ] && check=
    QT_QPA_PLATFORM=offscreen "$bench/print_timer" $check "$lines" "$work/print.pdf" >"$work/print/$lines.txt"
    rm -f "$work/print.pdf"
done

echo "== other readers of the same Rich Text Format file" >&2
: >"$work/others.txt"
seconds() { date +%s.%N; }
if command -v pandoc >/dev/null; then
    for i in 1 2 3; do
        start=$(seconds)
        pandoc -f rtf -t plain -o "$work/pandoc.txt" "$work/baza-100k.rtf"
        echo "pandoc $start $(seconds)" >>"$work/others.txt"
    done
fi
if command -v soffice >/dev/null; then
    profile="file://$work/lo-profile"
    # The first start builds LibreOffice's profile: not timed.
    soffice -env:UserInstallation="$profile" --headless --convert-to txt:Text --outdir "$work/lo" \
        "$work/baza-100k.rtf" >/dev/null 2>&1 || true
    for i in 1 2 3; do
        start=$(seconds)
        soffice -env:UserInstallation="$profile" --headless --convert-to txt:Text --outdir "$work/lo" \
            "$work/baza-100k.rtf" >/dev/null 2>&1
        echo "soffice $start $(seconds)" >>"$work/others.txt"
    done
fi

echo "machine: $(nproc) cores, $(lscpu | sed -n 's/^Model name: *//p'), $(free -g | awk '/^Mem:/ {print $2}') GiB memory, Qt $(qtpaths6 --qt-version 2>/dev/null || echo 6)"
python3 "$source_dir/bench/report.py" "$work"
