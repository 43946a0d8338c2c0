#!/usr/bin/env bash
# Runs the built car_report as a user would and checks what it printed and
# how it ended.
#
# usage: run_program.sh CASE PROGRAM EXPECTED_REPORT
#   report      no arguments: stdout is the expected report, stderr empty, exit 0
#   arguments   arguments are ignored: the same as "report"
#   environment locale, time zone and a bare environment change nothing: the same
#   full        stdout is /dev/full: exit 1 and one line naming the cause
#   closed      stdout is closed: exit 1 and one line naming the cause
#   read-only   stdout is open for reading only: exit 1 and one line naming the cause
#   broken-pipe stdout is a pipe nobody reads, SIGPIPE ignored: exit 1 and one line
set -euo pipefail

case_name=$1
program=$2
expected_report=$3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
fail() {
    echo "FAIL [$case_name]: $*" >&2
    failures=$((failures + 1))
}

# Compares a captured stream with the bytes it should hold; on a mismatch
# shows a diff of the two with invisible characters made visible (cat -A:
# "$" marks each line end, so a lost trailing space shows).
expect_bytes() {
    local what=$1 actual=$2 expected=$3
    if ! cmp -s "$expected" "$actual"; then
        fail "$what differs from what was expected"
        diff -u --label "expected $what" --label "actual $what" \
            <(cat -A "$expected") <(cat -A "$actual") >&2 || true
    fi
}

expect_status() {
    local actual=$1 expected=$2
    if [[ $actual -ne $expected ]]; then
        fail "exit status $actual, expected $expected"
    fi
}

# Runs the given command line and checks for the full report and a clean exit.
run_report_case() {
    local status=0
    "$@" >"$work/stdout" 2>"$work/stderr" || status=$?
    expect_status "$status" 0
    expect_bytes stdout "$work/stdout" "$expected_report"
    : >"$work/empty"
    expect_bytes stderr "$work/stderr" "$work/empty"
}

# Checks the outcome of a run whose report could not be written.
expect_write_error() {
    local status=$1 cause=$2
    expect_status "$status" 1
    printf 'car_report: write error: %s\n' "$cause" >"$work/expected_stderr"
    expect_bytes stderr "$work/stderr" "$work/expected_stderr"
}

status=0
case $case_name in
report)
    run_report_case "$program"
    ;;
arguments)
    run_report_case "$program" --help -v "two words" ''
    ;;
environment)
    # Nothing in the report may follow the user's locale (digit grouping) or clock.
    run_report_case env -i LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 TZ=Pacific/Kiritimati "$program"
    ;;
full)
    "$program" >/dev/full 2>"$work/stderr" || status=$?
    expect_write_error "$status" "No space left on device"
    ;;
closed)
    "$program" >&- 2>"$work/stderr" || status=$?
    expect_write_error "$status" "Bad file descriptor"
    ;;
read-only)
    "$program" 1</dev/null 2>"$work/stderr" || status=$?
    expect_write_error "$status" "Bad file descriptor"
    ;;
broken-pipe)
    # A FIFO opened for reading and writing, then for writing alone, then with
    # the reader closed: a pipe with no reader left, with no race to lose.
    mkfifo "$work/pipe"
    exec {both}<>"$work/pipe"
    exec {writer}>"$work/pipe"
    exec {both}<&-
    (trap '' PIPE && exec "$program") 1>&"$writer" 2>"$work/stderr" || status=$?
    exec {writer}>&-
    expect_write_error "$status" "Broken pipe"
    ;;
*)
    echo "unknown case: $case_name" >&2
    exit 2
    ;;
esac

if ((failures > 0)); then
    exit 1
fi
echo "PASS [$case_name]"
