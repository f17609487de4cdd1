#!/usr/bin/env bash
# Builds the Debian package with CPack, checks its control data and contents, has lintian
# judge it, unpacks it into a scratch root and starts the program from there on a
# private X server until its main window appears, then quits it through File > Exit.
#
# usage: deb_package.sh BUILD_DIR APPLICATION_ID VERSION FORTIFIED
#
# FORTIFIED is 1 when the build uses the C library's checked functions (an optimised
# build without sanitizers): lintian's notes on hardening are then faults too.
set -euo pipefail

build=$(realpath "$1") id=$2 version=$3 fortified=$4
for tool in cpack dpkg-deb dpkg-shlibdeps lintian Xvfb xdotool; do
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
[[ $(field Version) == "$version"-* ]] || fail "Version '$(field Version)' is not a revision of $version"
[[ $(field Architecture) == "$(dpkg --print-architecture)" ]] || fail "Architecture is '$(field Architecture)'"
[[ -n $(field Maintainer) ]] || fail "no Maintainer"
# Names a package in a list of relations such as "a (>= 1), b | c".
lists() { [[ ", ${1//|/,}," =~ ,\ *"$2"[\ ,] ]]; }
depends=$(field Depends) recommends=$(field Recommends)
for dependency in libqt6widgets6 libqt6printsupport6 libcups2 libc6; do
    lists "$depends" "$dependency" || fail "Depends lacks $dependency: $depends"
done
# Qt's window-system plugins, loaded at run time: X11 always there, Wayland wanted.
owner() { dpkg -S "*/qt6/plugins/platforms/$1" | cut -d: -f1 | head -n1; }
xcb=$(owner libqxcb.so) wayland=$(owner libqwayland-generic.so)
lists "$depends" "$xcb" || fail "Depends lacks $xcb, which holds the X11 platform: $depends"
lists "$recommends" "$wayland" || fail "Recommends lacks $wayland, which holds the Wayland platform: '$recommends'"

doc=/usr/share/doc/carte-de-telefon
dpkg-deb -c "$deb" | awk '{ print $NF }' | sed 's|^\./|/|' >"$work/contents"
expected=(/usr/bin/carte-de-telefon /usr/share/applications/$id.desktop /usr/share/metainfo/$id.metainfo.xml
    /usr/share/icons/hicolor/32x32/apps/$id.png /usr/share/icons/hicolor/scalable/apps/$id.svg
    /usr/share/man/man1/carte-de-telefon.1.gz $doc/copyright $doc/changelog.Debian.gz
    /usr/share/lintian/overrides/carte-de-telefon)
for path in "${expected[@]}"; do
    grep -qx "$path" "$work/contents" || fail "the package lacks $path"
done
# Only the program, its desktop files and its documentation: no test, benchmark or header.
unexpected=$(grep -v -e '/$' "$work/contents" | grep -v -x -F "${expected[@]/#/-e}" || true)
[[ -z $unexpected ]] || fail "the package holds more: $unexpected"
((failures == 0)) || exit 1

dpkg-deb -x "$deb" "$work/root"
changed=$(zcat "$work/root$doc/changelog.Debian.gz" | sed -n '1s/^carte-de-telefon (\([^)]*\)).*/\1/p')
[[ $changed == "$(field Version)" ]] || fail "the changelog's last entry is '$changed', the package $(field Version)"

# lintian at its default level, with the notes on hardening and the package's own
# overrides shown too.
status=0
lintian --display-info --show-overrides --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 || status=$?
cat "$work/lintian.log"
((status == 0)) || fail "lintian ended with status $status"
grep -q -e '^E: ' -e '^W: ' "$work/lintian.log" && fail "lintian reports errors or warnings"
notes=hardening-no-bindnow
if ((fortified)); then
    notes+='|hardening-no-fortify-functions'
else
    echo "not counted, as the build does without fortify: hardening-no-fortify-functions"
fi
grep -q -E "^I: [^ ]+: ($notes)( |$)" "$work/lintian.log" && fail "lintian finds the program not hardened"
((failures == 0)) || exit 1

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
