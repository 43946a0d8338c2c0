#!/usr/bin/env bash
# Starts and stops the Wine session the tests of a Windows build run in.
#
# usage: wine_session.sh setup|cleanup WINE64 WINESERVER
#   setup    starts a wineserver that stays for 60 seconds after its last
#            client, detached from the caller's output so that nothing waits
#            for it, then makes the Wine prefix if it is missing
#   cleanup  stops that wineserver
# WINEPREFIX (and WINEDEBUG) come from the environment.
set -euo pipefail

step=$1
wine64=$2
wineserver=$3

case $step in
setup)
    mkdir -p "${WINEPREFIX:?WINEPREFIX must name the prefix of the build}"
    "$wineserver" -p60 </dev/null >/dev/null 2>&1
    # Wine's helper processes keep what they inherit open: give them a log
    # file rather than the caller's output.
    log="$WINEPREFIX/wineboot.log"
    if ! "$wine64" wineboot --init </dev/null >"$log" 2>&1; then
        cat "$log" >&2
        exit 1
    fi
    ;;
cleanup)
    "$wineserver" -k || true
    ;;
*)
    echo "unknown step: $step" >&2
    exit 2
    ;;
esac
