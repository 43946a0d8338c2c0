#!/usr/bin/env bash
# Measures the release car_report against a plain C program that prints the
# same report, side by side on this machine, and prints one table of figures
# and ratios. Exits non-zero when a ratio misses its goal (at most 1.0).
#
# usage: bench/run.sh [ROUNDS]   (ROUNDS of alternating timed runs, default 201)
#
# Installs nothing: when a tool is missing it says which Debian package has it.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
rounds=${1:-201}
if ! [[ $rounds =~ ^[0-9]+$ ]] || ((rounds < 30)); then
    echo "bench: ROUNDS must be a whole number of at least 30" >&2
    exit 2
fi

# tool, Debian package that provides it
missing=0
require() {
    if ! command -v "$1" >/dev/null; then
        echo "bench: $1 not found; install the Debian package '$2'" >&2
        missing=1
    fi
}
require cmake cmake
require cc gcc
require valgrind valgrind
require readelf binutils
if ! /usr/bin/time --version 2>&1 | grep -q GNU; then
    echo "bench: GNU time not found at /usr/bin/time; install the Debian package 'time'" >&2
    missing=1
fi
((missing == 0)) || exit 2

out="$root/build/bench"
mkdir -p "$out"

echo "Building the release preset and the C reference..." >&2
cmake --preset release -S "$root" >/dev/null
cmake --build --preset release --target car_report >/dev/null
cc -O2 -o "$out/reference_report" "$root/bench/reference_report.c"
cc -O2 -o "$out/time_runs" "$root/bench/time_runs.c"

program="$root/build/release/app/car_report"
reference="$out/reference_report"
expected="$root/tests/expected_report.txt"

# Timing two programs that print different things would compare nothing.
for candidate in "$program" "$reference"; do
    if ! "$candidate" | cmp -s - "$expected"; then
        echo "bench: $candidate does not print the expected report; nothing timed" >&2
        exit 1
    fi
done

# Instructions retired by the whole process, loader and exit included.
instructions() {
    valgrind --tool=callgrind --callgrind-out-file=/dev/null "$1" 2>&1 >/dev/null |
        awk '/Collected :/ { print $NF }'
}

# Median peak resident set size in KiB over alternating runs.
peak_rss() {
    local runs=21 i
    for ((i = 0; i < runs; i++)); do
        /usr/bin/time -f '%M' "$program" 2>&1 >/dev/null | sed 's/^/p /'
        /usr/bin/time -f '%M' "$reference" 2>&1 >/dev/null | sed 's/^/r /'
    done | sort -k1,1 -k2,2n | awk -v runs=$runs '
        { seen[$1]++; if (seen[$1] == int(runs / 2) + 1) median[$1] = $2 }
        END { print median["p"], median["r"] }'
}

echo "Counting instructions..." >&2
ins_program=$(instructions "$program")
ins_reference=$(instructions "$reference")

for count in "$ins_program" "$ins_reference"; do
    if ! [[ $count =~ ^[0-9]+$ ]]; then
        echo "bench: callgrind reported no instruction count" >&2
        exit 2
    fi
done

echo "Timing $rounds alternating rounds..." >&2
read -r wall_program wall_reference < <("$out/time_runs" "$rounds" 10 "$program" "$reference" |
    awk '{ print $2 }' | paste -sd ' ')

echo "Measuring peak memory..." >&2
read -r rss_program rss_reference < <(peak_rss)

size_program=$(stat -c %s "$program")
size_reference=$(stat -c %s "$reference")
if readelf -d "$program" | grep -q '(NEEDED)'; then
    linkage="dynamic"
else
    linkage="static"
fi

awk -v ip="$ins_program" -v ir="$ins_reference" \
    -v wp="$wall_program" -v wr="$wall_reference" \
    -v rp="$rss_program" -v rr="$rss_reference" \
    -v sp="$size_program" -v sr="$size_reference" \
    -v rounds="$rounds" -v linkage="$linkage" '
    function dashes(n,   text) {
        while (n-- > 0) text = text "-"
        return text
    }
    function row(name, p, r, unit, goal,   ratio, verdict) {
        ratio = p / r
        verdict = goal ? (ratio <= 1.0 ? "ok" : "MISSED") : "-"
        if (goal && ratio > 1.0) missed = 1
        printf "| %-38s | %14s | %14s | %6.2f | %-6s |\n", name, p unit, r unit, ratio, verdict
    }
    BEGIN {
        printf "| %-38s | %14s | %14s | %6s | %-6s |\n", "figure", "car_report", "C reference", "ratio", "goal"
        printf "|%s|%s|%s|%s|%s|\n", dashes(40), dashes(15) ":", dashes(15) ":", dashes(7) ":", dashes(8)
        row("instructions retired (callgrind)", ip, ir, "", 1)
        row("wall time, median of " rounds " rounds", sprintf("%.0f", wp), sprintf("%.0f", wr), " us", 1)
        row("peak resident memory, median", rp, rr, " KiB", 1)
        row("binary size (" linkage ")", sp, sr, " B", 0)
        exit missed
    }'
