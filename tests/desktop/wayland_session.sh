#!/usr/bin/env bash
# Starts the program on Qt's Wayland platform in a headless weston and reads, from the
# requests it sends, how each of its windows names itself: the app id, by which a
# Wayland shell ties a window to its desktop entry and icon, and the title. The main
# window is shown maximised, as on X11; a report shown before it (baza.txt missing)
# carries the same app id. Each run is then ended.
#
# usage: wayland_session.sh PROGRAM APPLICATION_ID MAIN_WINDOW_LAYOUT
set -euo pipefail

program=$(realpath "$1") id=$2 layout=$3
command -v weston >/dev/null || { echo "FAIL: weston is not installed (tools/install-dependencies.sh test)" >&2; exit 1; }
dpkg -S '*/qt6/plugins/platforms/libqwayland-generic.so' >/dev/null 2>&1 \
    || { echo "FAIL: Qt's Wayland platform is not installed: qt6-wayland (tools/install-dependencies.sh test)" >&2; exit 1; }

source "$(dirname "$0")/../../tools/xserver.sh"
begin_session wayland
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# The main window's caption as its layout gives it, blanks and all.
title=$(sed -n '/<property name="windowTitle">/{n;s/^ *<string>\(.*\)<\/string>.*/\1/p;q}' "$layout")
[[ -n $title ]] || { echo "FAIL: no window title in $layout" >&2; exit 1; }

# weston wants a runtime folder that only its user may enter.
runtime=$work/runtime socket=carte-$$ width=1280 height=1024
mkdir -m 700 "$runtime"
XDG_RUNTIME_DIR=$runtime weston --backend=headless-backend.so --socket="$socket" --no-config \
    --idle-time=0 --width="$width" --height="$height" --log="$work/weston.log" >/dev/null 2>&1 &
other_pids=$!
for _ in $(seq 100); do
    [[ -S $runtime/$socket ]] && break
    kill -0 "$other_pids" 2>/dev/null || { cat "$work/weston.log"; echo "FAIL: weston did not start" >&2; exit 1; }
    sleep 0.1
done
[[ -S $runtime/$socket ]] || { cat "$work/weston.log"; echo "FAIL: weston opened no socket" >&2; exit 1; }

# One line for each window the client made, from its protocol log:
#   app_id <TAB> title <TAB> asked maximised before the first commit (1/0) <TAB>
#   size the compositor gave <TAB> size of the first picture drawn after it
windows() {
    perl -ne '
        if (/-> xdg_wm_base@\d+\.get_xdg_surface\(new id xdg_surface@(\d+), wl_surface@(\d+)\)/) { $xdg_of{$2} = $1 }
        if (/-> xdg_surface@(\d+)\.get_toplevel\(new id xdg_toplevel@(\d+)\)/) { $top_of{$1} = $2; push @tops, $2 }
        if (/-> xdg_toplevel@(\d+)\.set_app_id\("(.*)"\)/) { $app{$1} = $2 }
        if (/-> xdg_toplevel@(\d+)\.set_title\("(.*)"\)/) { $title{$1} = $2 }
        if (/-> xdg_toplevel@(\d+)\.set_maximized\(\)/) { $max{$1} = 1 unless $committed{$1} }
        if (/ xdg_toplevel@(\d+)\.configure\((\d+), (\d+),/) { $given{$1} //= "$2x$3" }
        if (/-> wl_shm_pool@\d+\.create_buffer\(new id wl_buffer@(\d+), \d+, (\d+), (\d+),/) { $size{$1} = "$2x$3" }
        if (/-> wl_surface@(\d+)\.(attach\(wl_buffer@(\d+)|commit)/) {
            my $top = $top_of{$xdg_of{$1} // ""} // next;
            if ($2 eq "commit") { $committed{$top} = 1 }
            elsif (defined $given{$top}) { $drawn{$top} //= $size{$3} }
        }
        END {
            print join("\t", $app{$_} // "", $title{$_} // "", $max{$_} ? 1 : 0, $given{$_} // "-",
                $drawn{$_} // "-"), "\n" for @tops;
        }' "$1"
}

# run NAME WITH_PHONE_BOOK: starts the program in a folder of its own, waits until its
# first window has drawn itself, or until the program ends, then ends it.
run() {
    local name=$1 with_book=$2 log=$work/$1.log
    mkdir "$work/$name"
    ((with_book)) && printf '%s\n' 'Pop  Ana  555' >"$work/$name/baza.txt"
    : >"$log"
    (cd "$work/$name" && exec env -u DISPLAY QT_QPA_PLATFORM=wayland XDG_RUNTIME_DIR="$runtime" \
        WAYLAND_DISPLAY="$socket" WAYLAND_DEBUG=client "$program") >"$log" 2>&1 &
    app_pid=$!
    local waiting=1
    for _ in $(seq 200); do
        kill -0 "$app_pid" 2>/dev/null || { waiting=0; break; }
        windows "$log" | awk -F'\t' 'NF && $5 != "-" { found = 1 } END { exit !found }' && break
        sleep 0.1
    done
    if ((waiting == 0)); then
        grep -v '^\[' "$log" >&2 || true
        fail "$name: the program ended by itself before it was ended"
    else
        sleep 0.5   # anything else it draws at start
        windows "$log" >"$work/$name.windows"
        stop_process "$app_pid"
        local status=0
        wait "$app_pid" || status=$?
        ((status == 143)) || fail "$name: the program ended with status $status, not by the signal that ended it"
    fi
    app_pid=
    grep -v '^\[' "$log" >&2 || true
    [[ -s $work/$name.windows ]] || { fail "$name: no window reached the compositor"; return; }
    while IFS=$'\t' read -r app_id window_title maximised given drawn; do
        echo "$name: app id '$app_id', title '$window_title', maximised $maximised, given $given, drawn $drawn"
        [[ $app_id == "$id" ]] || fail "$name: a window names itself '$app_id', not '$id'"
    done <"$work/$name.windows"
}

run phone_book 1
main=$(awk -F'\t' -v t="$title" '$2 == t' "$work/phone_book.windows" 2>/dev/null)
if [[ -z $main ]]; then
    fail "no window is titled '$title'"
else
    IFS=$'\t' read -r _ _ maximised given drawn <<<"$main"
    ((maximised == 1)) || fail "the main window did not ask to be maximised before it was first shown"
    [[ $given == "$width"x* ]] || fail "the compositor gave the main window $given, not the screen's width"
    [[ $drawn == "$given" ]] || fail "the main window drew $drawn where the compositor gave it $given"
fi

# baza.txt missing: the report opens before the main window.
run no_phone_book 0

((failures == 0)) || exit 1
echo "PASS: every window names itself $id on Wayland; the main window is maximised"
