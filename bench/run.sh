#!/usr/bin/env bash
# Measures car_report side by side with the plain C program that prints the
# same report, linked two ways, and prints one table of figures and ratios:
#   C dynamic  the C program as a user would build it (cc -O2): the yardstick,
#              which car_report must not cost more than (ratio at most 1.0);
#   C static   the same source linked statically (cc -O2 -static): the floor,
#              a process that does almost nothing beyond its own work.
# car_report is built with the run preset, as a user builds it, which needs
# no GoogleTest. Every program runs in the same empty environment, so the
# figures do not depend on the caller's: the size of the environment alone
# changes the instructions a process retires.
# Exits 1 when a ratio to C dynamic misses its goal, 2 when a step fails.
#
# usage: bench/run.sh [ROUNDS]   (timed runs of each program, 30 to 100000,
#                                 default 201); works from any directory
#
# Installs nothing: when a tool is missing it says which Debian package has it.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
rounds=${1:-201}
if ! [[ $rounds =~ ^[0-9]+$ ]] || ((rounds < 30 || rounds > 100000)); then
    echo "bench: ROUNDS must be a whole number from 30 to 100000" >&2
    exit 2
fi
warmup=10
# cmake reads its presets from the current directory.
cd "$root"

# Stops the script, naming the step that failed.
step_failed() {
    echo "bench: $1 failed; nothing more measured" >&2
    exit 2
}

# tool, Debian package that provides it
missing=0
require() {
    if ! command -v "$1" >/dev/null; then
        echo "bench: $1 not found; install the Debian package '$2'" >&2
        missing=1
    fi
}
require cmake cmake
require make make
require cc gcc
require valgrind valgrind
require hyperfine hyperfine
if ! /usr/bin/time --version 2>&1 | grep -q GNU; then
    echo "bench: GNU time not found at /usr/bin/time; install the Debian package 'time'" >&2
    missing=1
fi
((missing == 0)) || exit 2
valgrind=$(command -v valgrind)
hyperfine=$(command -v hyperfine)

out="$root/build/bench"
mkdir -p "$out"

echo "Building car_report (run preset) and the C references..." >&2
cmake --preset run >/dev/null || step_failed "configuring the run preset"
cmake --build build/run --target car_report >/dev/null || step_failed "building car_report"
cc -O2 -o "$out/c_dynamic" bench/reference_report.c || step_failed "building C dynamic"
cc -O2 -static -o "$out/c_static" bench/reference_report.c || step_failed "building C static"

programs=("$root/build/run/app/car_report" "$out/c_dynamic" "$out/c_static")

# Timing programs that print different things would compare nothing.
for program in "${programs[@]}"; do
    if ! env -i "$program" | cmp -s - tests/expected_report.txt; then
        echo "bench: $program does not print the expected report; nothing timed" >&2
        exit 2
    fi
done

# Instructions retired by the whole process, loader and exit included.
instructions() {
    local log
    log=$(env -i "$valgrind" --tool=callgrind --callgrind-out-file=/dev/null "$1" 2>&1 >/dev/null) ||
        step_failed "callgrind on $1"
    log=$(awk '/Collected :/ { print $NF }' <<<"$log")
    [[ $log =~ ^[0-9]+$ ]] || step_failed "reading callgrind's count for $1"
    echo "$log"
}

# Peak resident set size in KiB of one run.
peak_rss() {
    local kib
    kib=$(env -i /usr/bin/time -f '%M' "$1" 2>&1 >/dev/null) || step_failed "GNU time on $1"
    [[ $kib =~ ^[0-9]+$ ]] || step_failed "reading GNU time's peak memory for $1"
    echo "$kib"
}

# The median of the numbers on standard input.
median() {
    sort -n | awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

echo "Counting instructions..." >&2
ins=()
for program in "${programs[@]}"; do
    ins+=("$(instructions "$program")")
done

echo "Timing $rounds runs of each after $warmup warm-up runs..." >&2
# hyperfine runs each program directly (-N, no shell), in its own environment:
# the empty one it is given here.
env -i "$hyperfine" -N --style none --warmup "$warmup" --runs "$rounds" \
    --export-json "$out/times.json" -- "${programs[@]}" >/dev/null ||
    step_failed "hyperfine"
# The median of each program, in seconds, in the order they were given.
mapfile -t wall < <(grep -o '"median": *[0-9.e+-]*' "$out/times.json" |
    awk '{ printf "%.0f\n", $2 * 1e6 }')
((${#wall[@]} == ${#programs[@]})) || step_failed "reading hyperfine's medians"

echo "Measuring peak memory..." >&2
rss_runs=21
rss_samples=()
for ((run = 0; run < rss_runs; run++)); do
    for i in "${!programs[@]}"; do
        rss_samples[i]+="$(peak_rss "${programs[i]}")"$'\n'
    done
done
rss=()
for i in "${!programs[@]}"; do
    rss+=("$(printf '%s' "${rss_samples[i]}" | median)")
done

size=()
for program in "${programs[@]}"; do
    size+=("$(stat -c %s "$program")")
done

awk \
    -v ins="${ins[*]}" -v wall="${wall[*]}" -v rss="${rss[*]}" -v size="${size[*]}" \
    -v rounds="$rounds" -v rss_runs="$rss_runs" '
    function dashes(n,   text) {
        while (n-- > 0) text = text "-"
        return text
    }
    # One figure of the three programs: car_report, C dynamic, C static.
    function row(name, values, unit, goal,   v, ratio_d, ratio_s, verdict) {
        split(values, v, " ")
        ratio_d = v[1] / v[2]
        ratio_s = v[1] / v[3]
        verdict = goal ? (ratio_d <= 1.0 ? "ok" : "MISSED") : "-"
        if (goal && ratio_d > 1.0) missed = 1
        printf "| %-34s | %12s | %12s | %12s | %9.2f | %-6s | %8.2f |\n", name,
               v[1] unit, v[2] unit, v[3] unit, ratio_d, verdict, ratio_s
    }
    BEGIN {
        printf "| %-34s | %12s | %12s | %12s | %9s | %-6s | %8s |\n", "figure", "car_report",
               "C dynamic", "C static", "/ dynamic", "goal", "/ static"
        printf "|%s|%s|%s|%s|%s|%s|%s|\n", dashes(36), dashes(13) ":", dashes(13) ":",
               dashes(13) ":", dashes(10) ":", dashes(8), dashes(9) ":"
        row("instructions retired (callgrind)", ins, "", 1)
        row("wall time, median of " rounds " runs", wall, " us", 1)
        row("peak resident memory, median of " rss_runs, rss, " KiB", 1)
        row("binary size", size, " B", 0)
        exit missed
    }'
