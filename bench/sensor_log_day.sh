#!/bin/sh
# A day's sensor log, a row a second (86,401 rows, both channels moving),
# played headless by the scenario runner: CPU seconds and peak memory as
# /usr/bin/time measures them, against the goals of under 60 s of CPU and
# 32 MB. Not a test: the figures depend on the machine.
#
#   bench/sensor_log_day.sh PATH/TO/dg2_scenario [--no-invariants]
set -eu
runner=$1
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Oil pressure and coolant wandering through a working day, in the factory
# units (bar, degrees C).
awk 'BEGIN {
    print "time,channel1,channel2"
    for (t = 0; t <= 86400; ++t)
        printf "%d,%.1f,%.1f\n", t, 3.5 + 2.5 * sin(t / 97.0), 85 + 20 * sin(t / 613.0)
}' > "$work/day.csv"
printf 'on\nplay-log day.csv\nexpect depth 1\n' > "$work/day.scn"
echo "log: $(wc -l < "$work/day.csv") lines, $(wc -c < "$work/day.csv") bytes"
/usr/bin/time -v "$runner" "$@" "$work/day.scn" 2> "$work/time.txt"
awk -F': ' '
    /User time/ { user = $2 } /System time/ { sys = $2 }
    /Maximum resident set size/ { rss = $2 }
    END {
        cpu = user + sys
        printf "CPU %.1f s (goal < 60), peak memory %.1f MB (goal < 32)\n", cpu, rss / 1024
        exit !(cpu < 60 && rss / 1024 < 32)
    }' "$work/time.txt"
