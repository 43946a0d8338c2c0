#!/usr/bin/env bash
# Makes the Wine prefix of a Windows build, and starts and stops the one
# wineserver its tests share.
#
# usage: wine_session.sh prefix|setup|cleanup WINE64 WINESERVER
#   prefix   makes the Wine prefix, with Wine's messages in a log in it that
#            is shown only if this fails
#   setup    starts a wineserver that stays for 60 seconds after its last
#            client, detached from the caller's output so that nothing waits
#            for it, then Wine's own services in it; otherwise the first test
#            would start them, and CTest would wait for them to end
#   cleanup  stops that wineserver
# WINEPREFIX (and WINEDEBUG) come from the environment.
set -euo pipefail

step=$1
wine64=$2
wineserver=$3

# Makes or updates the prefix. Wine's helper processes keep what they inherit
# open: give them a log file rather than the caller's output.
boot() {
    local log="$WINEPREFIX/wineboot.log"
    if ! "$wine64" wineboot --init </dev/null >"$log" 2>&1; then
        cat "$log" >&2
        exit 1
    fi
}

case $step in
prefix)
    mkdir -p "${WINEPREFIX:?WINEPREFIX must name the prefix of the build}"
    boot
    "$wineserver" -w
    ;;
setup)
    "$wineserver" -p60 </dev/null >/dev/null 2>&1
    boot
    ;;
cleanup)
    "$wineserver" -k || true
    ;;
*)
    echo "unknown step: $step" >&2
    exit 2
    ;;
esac
