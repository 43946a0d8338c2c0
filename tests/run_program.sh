#!/usr/bin/env bash
# Runs the built car_report as a user would and checks what it printed and
# how it ended.
#
# usage: run_program.sh CASE PROGRAM EXPECTED_REPORT [EMULATOR...]
#   EMULATOR, in a cross build, is the command line that runs PROGRAM; with
#   TARGET_OS=windows in the environment, lines are expected to end in CR LF.
#   report              no arguments: stdout is the expected report, stderr empty, exit 0
#   arguments           arguments are ignored: the same as "report"
#   environment         a locale that groups digits, a far time zone and an otherwise
#                       bare environment change nothing: the same as "report"
#   writes              the report goes out in one write(2), and so does the
#                       write-error line (needs strace)
#   full                stdout is /dev/full: exit 1 and one line naming the cause
#   unbuffered          the same as "full" with stdout unbuffered and line-buffered, as
#                       on a terminal (stdbuf; a dynamic program only); needs READELF
#   closed              stdout is closed: exit 1 and one line naming the cause
#   read-only           stdout is open for reading only: exit 1 and one line naming the cause
#   broken-pipe         stdout is a pipe nobody reads, SIGPIPE ignored: exit 1 and one line
#   broken-pipe-default the same with SIGPIPE at its default: killed by the signal,
#                       nothing on stderr
#   install             `cmake --install --strip` into a new prefix installs a program
#                       without symbols that prints the report, its manual page, the
#                       license and the README; needs CMAKE_COMMAND, BUILD_DIR, NM,
#                       MAN_PAGE and SOURCE_DIR in the environment
#   manual              the manual page (MAN_PAGE) holds to the program: each example
#                       prints what the page shows, the exit statuses it lists are the
#                       program's, and its diagnostic is the program's error line
#   manual-lint         mandoc finds nothing to say about the page, at its style level,
#                       and lexgrog reads its NAME line, as whatis and apropos do
#
# Exits 0 when the case passed, 1 when it failed, 77 when it cannot be done here.
set -euo pipefail

case_name=$1
program=$2
expected_report=$3
emulator=("${@:4}")
run=("${emulator[@]}" "$program")
target_os=${TARGET_OS:-}

skip_status=77
# The locale the environment case runs under: one whose numbers group digits.
grouping_locale=de_DE.UTF-8

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Text mode on Windows writes each newline as CR LF.
line_end='\n'
line_end_name=LF
if [[ $target_os == windows ]]; then
    line_end='\r\n'
    line_end_name="CR LF"
    sed 's/$/\r/' "$expected_report" >"$work/expected_report"
    expected_report="$work/expected_report"
fi

failures=0
fail() {
    echo "FAIL [$case_name]: $*" >&2
    failures=$((failures + 1))
}

skip() {
    echo "SKIP [$case_name]: $*"
    exit "$skip_status"
}

# Compares a captured stream with the bytes it should hold; on a mismatch
# shows a diff of the two with invisible characters made visible (cat -A:
# "$" marks each line end, so a lost trailing space shows).
expect_bytes() {
    local what=$1 actual=$2 expected=$3
    if ! cmp -s "$expected" "$actual"; then
        fail "$what differs from what was expected (lines end in $line_end_name here)"
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

# Checks that the run wrote nothing to standard error.
expect_no_stderr() {
    : >"$work/empty"
    expect_bytes stderr "$work/stderr" "$work/empty"
}

# Runs the given command line and checks for the full report and a clean exit.
run_report_case() {
    local status=0
    "$@" >"$work/stdout" 2>"$work/stderr" || status=$?
    expect_status "$status" 0
    expect_bytes stdout "$work/stdout" "$expected_report"
    expect_no_stderr
}

# Checks the outcome of a run whose report could not be written: status 1
# and one line naming the cause, or any cause when none is given.
expect_write_error() {
    local status=$1 cause=${2:-}
    expect_status "$status" 1
    if [[ -n $cause ]]; then
        printf "car_report: write error: %s$line_end" "$cause" >"$work/expected_stderr"
        expect_bytes stderr "$work/stderr" "$work/expected_stderr"
    elif ! [[ $(wc -l <"$work/stderr") -eq 1 && $(<"$work/stderr") =~ ^car_report:\ write\ error:\ [^[:space:]] ]]; then
        fail "stderr is not one line 'car_report: write error: <reason>'"
        cat -A "$work/stderr" >&2
    fi
}

# Opens a pipe with no reader left as file descriptor $writer: a FIFO opened
# for reading and writing, then for writing alone, then with the reader
# closed. Nothing races: the reader is gone before the program starts.
open_broken_pipe() {
    mkfifo "$work/pipe"
    local both
    exec {both}<>"$work/pipe"
    exec {writer}>"$work/pipe"
    exec {both}<&-
}

# Prints the lines of section $2 of manual page $1, without its heading.
page_section() {
    awk -v heading=".SH $2" '/^\.SH / { inside = ($0 == heading); next } inside' "$1"
}

# Prints the example blocks (.EX to .EE) of manual page $1 as plain text: \-
# is a minus, \& nothing, \e a backslash.
page_examples() {
    awk '/^\.EX$/ { inside = 1; next } /^\.EE$/ { inside = 0; next } inside' "$1" |
        sed -e 's/\\-/-/g' -e 's/\\&//g' -e 's/\\e/\\/g'
}

# Counts the write(2) calls to file descriptor $1 in strace's log $2.
count_writes() {
    grep -c "^write($1," "$2" || true
}

status=0
case $case_name in
report)
    run_report_case "${run[@]}"
    ;;
arguments)
    run_report_case "${run[@]}" --help -v "two words" ''
    ;;
environment)
    # A locale that is not installed falls back to "C" without a word, and the
    # case would prove nothing: make sure this one really groups digits.
    if [[ $(LC_ALL=$grouping_locale /usr/bin/printf "%'d" 1000000 2>/dev/null) == 1000000 ]]; then
        skip "locale $grouping_locale is not installed here (see locale -a)"
    fi
    run_report_case env -i "LANG=$grouping_locale" "LC_ALL=$grouping_locale" \
        TZ=Pacific/Kiritimati "${run[@]}"
    ;;
writes)
    if ((${#emulator[@]} > 0)); then
        skip "strace would count the writes of the emulator, not of the program"
    fi
    if ! command -v strace >/dev/null || ! strace -o /dev/null true 2>/dev/null; then
        skip "strace is missing or cannot trace here"
    fi
    # LeakSanitizer cannot work under a tracer; the other cases look for leaks.
    export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
    strace -o "$work/trace" -e trace=write "${run[@]}" >"$work/stdout" 2>"$work/stderr" ||
        status=$?
    expect_status "$status" 0
    expect_bytes stdout "$work/stdout" "$expected_report"
    writes=$(count_writes 1 "$work/trace")
    ((writes == 1)) || fail "the report took $writes write calls, expected 1"

    status=0
    strace -o "$work/trace" -e trace=write "${run[@]}" >/dev/full 2>"$work/stderr" || status=$?
    expect_status "$status" 1
    writes=$(count_writes 2 "$work/trace")
    ((writes == 1)) || fail "the write-error line took $writes write calls, expected 1"
    ;;
full)
    "${run[@]}" >/dev/full 2>"$work/stderr" || status=$?
    expect_write_error "$status" "No space left on device"
    ;;
unbuffered)
    # A fully buffered stdout fails only when the report is flushed at the
    # end; unbuffered or line-buffered, it fails on the first line.
    if ((${#emulator[@]} > 0)); then
        skip "stdbuf cannot reach a program that an emulator runs"
    fi
    # stdbuf works through a library it preloads, which a static program never loads.
    headers=$("${READELF:?READELF must name the readelf of the build}" --program-headers "$program") ||
        { fail "$READELF could not read $program"; exit 1; }
    if ! grep -q INTERP <<<"$headers"; then
        skip "the program is static, so stdbuf cannot change its buffering"
    fi
    # The sanitizer runtime wants to be the first library loaded; stdbuf's comes first.
    export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0"
    for mode in 0 L; do
        status=0
        stdbuf -o$mode "${run[@]}" >/dev/full 2>"$work/stderr" || status=$?
        expect_write_error "$status" "No space left on device"
    done
    ;;
closed)
    "${run[@]}" >&- 2>"$work/stderr" || status=$?
    expect_write_error "$status" "Bad file descriptor"
    ;;
read-only)
    "${run[@]}" 1</dev/null 2>"$work/stderr" || status=$?
    expect_write_error "$status" "Bad file descriptor"
    ;;
broken-pipe)
    open_broken_pipe
    (trap '' PIPE && exec "${run[@]}") 1>&"$writer" 2>"$work/stderr" || status=$?
    exec {writer}>&-
    if [[ $target_os == windows ]]; then
        # Wine's C runtime names this error differently from Windows'; the
        # status and the form of the line are what holds on both.
        expect_write_error "$status"
    else
        expect_write_error "$status" "Broken pipe"
    fi
    ;;
broken-pipe-default)
    if [[ $target_os == windows ]]; then
        skip "Windows has no SIGPIPE"
    fi
    # A shell cannot un-ignore a signal it inherited as ignored; env can.
    open_broken_pipe
    env --default-signal=PIPE "${run[@]}" 1>&"$writer" 2>"$work/stderr" || status=$?
    exec {writer}>&-
    expect_status "$status" $((128 + 13))
    expect_no_stderr
    ;;
install)
    prefix="$work/prefix"
    "$CMAKE_COMMAND" --install "$BUILD_DIR" --strip --prefix "$prefix" >"$work/install.log" ||
        { cat "$work/install.log" >&2; fail "cmake --install failed"; exit 1; }
    installed="$prefix/bin/$(basename "$program")"
    [[ -x $installed ]] || { fail "no program installed as bin/$(basename "$program")"; exit 1; }
    run_report_case "${emulator[@]}" "$installed"
    # nm lists no symbol of a stripped program, and says so on stderr; an nm
    # that fails proves nothing.
    if ! "${NM:?NM must name the nm of the build}" "$installed" >"$work/symbols" 2>"$work/nm.log"; then
        cat "$work/nm.log" >&2
        fail "$NM could not read the installed program"
    elif [[ -s $work/symbols ]]; then
        fail "the installed program still has its symbols"
    fi
    # The manual page, the license and the user's page go with the program.
    for document in "share/man/man1/$(basename "$MAN_PAGE")=$MAN_PAGE" \
        "share/doc/car_report/LICENSE=${SOURCE_DIR:?SOURCE_DIR must name the sources}/LICENSE" \
        "share/doc/car_report/README.md=$SOURCE_DIR/README.md"; do
        installed_document=$prefix/${document%%=*}
        if [[ ! -f $installed_document ]]; then
            fail "nothing installed as ${document%%=*}"
        else
            expect_bytes "installed ${document%%=*}" "$installed_document" "${document#*=}"
        fi
    done
    ;;
manual)
    if ((${#emulator[@]} > 0)); then
        skip "the page's examples are commands for a Unix shell"
    fi
    page=${MAN_PAGE:?MAN_PAGE must name the manual page of the build}
    # Each example is a line "$ command", then what it prints, up to the next
    # command or the end of its block. They run with this build's program.
    mkdir "$work/bin"
    ln -s "$(realpath "$program")" "$work/bin/car_report"
    examples=0
    while IFS= read -r line; do
        if [[ $line == '$ '* ]]; then
            examples=$((examples + 1))
            printf '%s\n' "${line#\$ }" >"$work/command.$examples"
            : >"$work/expected.$examples"
        elif ((examples == 0)); then
            fail "the page shows output before any command: $line"
        else
            printf '%s\n' "$line" >>"$work/expected.$examples"
        fi
    done < <(page_examples "$page")
    ((examples > 0)) || fail "the page shows no example"
    for ((i = 1; i <= examples; i++)); do
        command=$(<"$work/command.$i")
        PATH="$work/bin:$PATH" bash -c "$command" >"$work/actual.$i" 2>&1 || true
        expect_bytes "output of the example '$command'" "$work/actual.$i" "$work/expected.$i"
    done

    # The exit statuses listed (".TP" then ".B <status>") are the program's.
    "${run[@]}" >/dev/null 2>&1 || status=$?
    success=$status
    status=0
    "${run[@]}" >/dev/full 2>"$work/stderr" || status=$?
    listed=$(page_section "$page" "EXIT STATUS" | awk 'previous == ".TP" && $1 == ".B" { print $2 } { previous = $0 }' | sort -n | xargs)
    [[ $listed == "$success $status" ]] ||
        fail "the page lists the exit statuses '$listed'; the program ends with $success and $status"

    # The diagnostic, with and without its reason, is the line the program writes.
    cause="No space left on device"
    diagnostics=$(page_section "$page" DIAGNOSTICS)
    with_reason=$(sed -n 's/^\.BI "\(.*\)" reason$/\1/p' <<<"$diagnostics")
    without_reason=$(sed -n 's/^\.B \(.*\)$/\1/p' <<<"$diagnostics")
    line=$(<"$work/stderr")
    [[ -n $with_reason && $with_reason$cause == "$line" ]] ||
        fail "the page's diagnostic '${with_reason}reason' is not the program's line '$line'"
    [[ $without_reason == "${line%": $cause"}" ]] ||
        fail "the page's diagnostic without a reason '$without_reason' is not the program's line '${line%": $cause"}'"
    ;;
manual-lint)
    command -v mandoc >/dev/null || skip "mandoc is missing (Debian package mandoc)"
    command -v lexgrog >/dev/null || skip "lexgrog is missing (Debian package man-db)"
    page=${MAN_PAGE:?MAN_PAGE must name the manual page of the build}
    if ! mandoc -T lint -W all "$page" >"$work/lint" 2>&1 || [[ -s $work/lint ]]; then
        cat "$work/lint" >&2
        fail "mandoc finds fault with the page"
    fi
    whatis=$(lexgrog "$page") || fail "lexgrog cannot read the page's NAME line"
    [[ $whatis == *': "car_report - '* ]] ||
        fail "whatis would not find car_report under its own name: $whatis"
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
