#!/usr/bin/env bash
# Builds the Debian package with CPack, checks its control data and contents, unpacks it
# into a scratch root and starts the program from there on a private X server until its
# main window appears, then quits it through File > Exit.
#
# usage: deb_package.sh BUILD_DIR APPLICATION_ID VERSION
set -euo pipefail

build=$(realpath "$1") id=$2 version=$3
for tool in cpack dpkg-deb dpkg-shlibdeps Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed (tools/install-dependencies.sh test)" >&2; exit 1; }
done

source "$(dirname "$0")/../../tools/xserver.sh"
begin_session deb
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# Into the scratch folder, so that the build folder gains no package.
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 \
    || { cat "$work/cpack.log"; echo "FAIL: cpack" >&2; exit 1; }
packages=("$work"/package/*.deb)
[[ ${#packages[@]} -eq 1 && -f ${packages[0]} ]] || { echo "FAIL: cpack made ${#packages[@]} packages" >&2; exit 1; }
deb=${packages[0]}

field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == carte-de-telefon ]] || fail "Package is '$(field Package)'"
[[ $(field Version) == "$version" ]] || fail "Version is '$(field Version)'"
[[ $(field Architecture) == "$(dpkg --print-architecture)" ]] || fail "Architecture is '$(field Architecture)'"
[[ -n $(field Maintainer) ]] || fail "no Maintainer"
depends=$(field Depends)
for dependency in libqt6widgets6 libqt6printsupport6 libcups2 qt6-qpa-plugins libc6; do
    [[ ", $depends," == *", $dependency "* || ", $depends," == *", $dependency,"* ]] \
        || fail "Depends lacks $dependency: $depends"
done

dpkg-deb -c "$deb" | awk '{ print $NF }' | sed 's|^\./|/|' >"$work/contents"
for path in /usr/bin/carte-de-telefon /usr/share/applications/$id.desktop \
    /usr/share/metainfo/$id.metainfo.xml /usr/share/icons/hicolor/32x32/apps/$id.png \
    /usr/share/icons/hicolor/scalable/apps/$id.svg; do
    grep -qx "$path" "$work/contents" || fail "the package lacks $path"
done
# Only the program and its desktop files: no test, benchmark or header.
unexpected=$(grep -v -e '/$' "$work/contents" | grep -v -x -e /usr/bin/carte-de-telefon \
    -e "/usr/share/applications/$id.desktop" -e "/usr/share/metainfo/$id.metainfo.xml" \
    -e "/usr/share/icons/hicolor/32x32/apps/$id.png" -e "/usr/share/icons/hicolor/scalable/apps/$id.svg" || true)
[[ -z $unexpected ]] || fail "the package holds more: $unexpected"
((failures == 0)) || exit 1

dpkg-deb -x "$deb" "$work/root"
program=$work/root/usr/bin/carte-de-telefon
[[ -x $program ]] || { echo "FAIL: no executable program in the unpacked package" >&2; exit 1; }

start_xserver
mkdir "$work/run"
printf '%s\n' 'Pop  Ana  555' >"$work/run/baza.txt"
(cd "$work/run" && exec "$program") >"$work/program.log" 2>&1 &
app_pid=$!
main=$(wait_window 'carte de telefoane' 20) || { cat "$work/program.log"; echo "FAIL: the installed program showed no main window" >&2; exit 1; }

xdotool windowfocus --sync "$main"
xdotool key alt+f
sleep 0.3
xdotool key x
status=0
for _ in $(seq 100); do
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$app_pid" 2>/dev/null; then
    fail "the program did not end after File > Exit"
else
    wait "$app_pid" || status=$?
    app_pid=
    ((status == 0)) || fail "the program ended with status $status"
fi
((failures == 0)) || { cat "$work/program.log"; exit 1; }
echo "PASS: package $(basename "$deb") installs and starts"
