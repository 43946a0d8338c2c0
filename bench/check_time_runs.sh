#!/usr/bin/env bash
# Checks that time_runs refuses a ROUNDS or WARMUP out of its range with a
# message and status 2, and never crashes: built with the sanitizers, so an
# overflow or an out-of-bounds write would end the run with another status.
#
# usage: bench/check_time_runs.sh
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cc -std=c11 -O1 -fsanitize=address,undefined -fno-sanitize-recover=all \
    -o "$work/time_runs" "$root/bench/time_runs.c"

failures=0
# expect STATUS ROUNDS WARMUP
expect() {
    local expected=$1 status=0
    shift
    "$work/time_runs" "$@" /bin/true >/dev/null 2>"$work/stderr" || status=$?
    if ((status != expected)); then
        echo "FAIL: time_runs $* /bin/true exited $status, expected $expected" >&2
        cat "$work/stderr" >&2
        failures=$((failures + 1))
    elif ((status == 2)) && ! grep -q '^time_runs: ' "$work/stderr"; then
        echo "FAIL: time_runs $* /bin/true refused without saying why" >&2
        failures=$((failures + 1))
    fi
}

expect 0 1 0
expect 0 3 2
# A count so large that rounds * programs * sizeof(double) wraps.
expect 2 4611686018427387904 0
expect 2 0 0
expect 2 100001 0
expect 2 30 x
expect 2 30 -1
expect 2 30 1001
expect 2 3x 0
expect 2 '' 0

if ((failures > 0)); then
    exit 1
fi
echo "PASS: time_runs checks its arguments"
