#!/usr/bin/env bash
# Runs a Windows program under Wine with the QT_ variables of this environment, which
# Wine keeps from every Windows program it starts (QT_QPA_PLATFORM among them): a batch
# file sets them, then starts the program. The Windows build's CMake emulator, so that
# each test runs with the environment CTest gives it.
#
#   tools/windows/wine-run.sh PROGRAM [ARGUMENT...]
set -euo pipefail
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
# Wine's Z: drive is the Unix root.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

batch=$(mktemp "${TMPDIR:-/tmp}/wine-run.XXXXXX.cmd")
trap 'rm -f "$batch"' EXIT
{
    printf '@echo off\r\n'
    while IFS= read -r name; do
        [[ ${!name} != *[%\"]* ]] || { echo "wine-run: cannot pass $name to a batch file" >&2; exit 2; }
        printf 'set "%s=%s"\r\n' "$name" "${!name}"
    done < <(compgen -e | grep '^QT_' || true)
    printf '"%s" %%*\r\n' "$(windows_path "$(realpath "$1")")"
    printf 'exit /b %%ERRORLEVEL%%\r\n'
} >"$batch"
status=0
"$wine" cmd /c "$(windows_path "$batch")" "${@:2}" || status=$?
exit "$status"
