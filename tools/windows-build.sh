#!/usr/bin/env bash
# Builds the program for 64-bit Windows on Debian 12 with MinGW-w64, packs it as a zip and
# as an installer, and runs its unit tests, the program, the installer and printing under
# Wine.
#
#   deps       installs what is missing (apt-get, as root or with sudo)
#   qt         builds a small Qt 6.4 for Windows from Debian's qt6-base source, once, into
#              CARTE_QT_WINDOWS (default ${XDG_CACHE_HOME:-$HOME/.cache}/carte-de-telefon/qt6-windows)
#   app        builds the program and its unit tests in build-windows/
#   zip        packs build-windows/carte-de-telefon-windows.zip
#   installer  makes build-windows/carte-de-telefon-setup.exe with NSIS
#   test       runs the unit tests under Wine
#   run        starts the packed program under Wine on a private X server and ends it from
#              its menu
#   install    installs, starts from the Start menu, installs again and uninstalls under
#              Wine, in a new prefix with a home of its own; screenshots in
#              build-windows/screenshots/
#   print      prints from the packed program under Wine to a CUPS server of its own and
#              reads the job back
#
# usage: tools/windows-build.sh [step...]   (default: all, in this order)
# Other settings: CARTE_BUILD_WINDOWS (build folder), CARTE_JOBS (parallel jobs, default 2).
# Wine runs with a home and prefix of the script's own (in the cache folder, or a scratch
# folder for install and print) and without its menu builder: the user's home and the
# work tree stay as they were.
#
# The steps live in tools/windows/: common.sh (settings, paths, Wine's environment),
# qt.sh (deps, qt), package.sh (app, zip, installer), wine-tests.sh (test, run),
# install-check.sh (install), print-check.sh (print).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
steps=("$@")
[ ${#steps[@]} -gt 0 ] || steps=(deps qt app zip installer test run install print)

# shellcheck source-path=SCRIPTDIR/..
source "$root/tools/windows/common.sh"
source "$root/tools/windows/qt.sh"
source "$root/tools/windows/package.sh"
source "$root/tools/windows/wine-tests.sh"
source "$root/tools/windows/install-check.sh"
source "$root/tools/windows/print-check.sh"

traces_before=$(wine_traces)

# A failing test under Wine does not stop the next steps; the script fails at the end.
status=0
for step in "${steps[@]}"; do
    case $step in
    test | install | print) "step_$step" || status=1 ;;
    deps | qt | app | zip | installer | run) "step_$step" ;;
    *) die "unknown step '$step' (steps: deps qt app zip installer test run install print)" ;;
    esac
done
new_traces=$(comm -13 <(echo "$traces_before") <(wine_traces))
[ -z "$new_traces" ] || die "Wine left in $real_home: $new_traces"
exit $status
