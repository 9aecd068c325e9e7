#!/usr/bin/env bash
# Whole-process figures of the history commands (release build):
#  - corvix-cli add on a fresh copy of the real history (or the file given),
#    best and mean of 100 runs, the copy made outside the timing;
#  - corvix-cli import of 100,000 new draws into a new history: wall time and
#    peak memory against the sizes of the history and the source.
# Usage: scripts/bench-history.sh [HISTORY]
set -euo pipefail
cd "$(dirname "$0")/.."
history=${1:-../shared/data/real-history.csv}
cmake --preset release >/dev/null
cmake --build --preset release --target corvix-cli >/dev/null
cli=$PWD/build-release/bin/corvix-cli
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [ -f "$history" ]; then
    runs=100 best='' total=0
    for ((i = 0; i < runs; ++i)); do
        cp "$history" "$work/copy.csv"
        t0=$(date +%s%N)
        "$cli" add "$work/copy.csv" 1234 --date 9999/12/31 --allow-gap >/dev/null
        t=$(($(date +%s%N) - t0))
        total=$((total + t))
        if [ -z "$best" ] || [ "$t" -lt "$best" ]; then best=$t; fi
    done
    awk -v total="$total" -v runs="$runs" -v best="$best" -v name="$(basename "$history")" 'BEGIN {
        printf "corvix-cli add %s: mean %.2f ms, min %.2f ms over %d runs (with fsync, target < 10 ms)\n",
            name, total / runs / 1e6, best / 1e6, runs }'
else
    echo "bench-history: no history at $history; the add figure is skipped" >&2
fi

python3 scripts/generate_history.py --draws 100000 --output "$work/source.csv"
"$cli" init "$work/new.csv" >/dev/null
start=$(date +%s%N)
/usr/bin/time -f "%M" -o "$work/peak" "$cli" import "$work/new.csv" "$work/source.csv" >/dev/null
elapsed=$(($(date +%s%N) - start))
cmp -s "$work/new.csv" "$work/source.csv" || { echo "bench-history: import gave other bytes" >&2; exit 1; }
awk -v ns="$elapsed" -v peak="$(cat "$work/peak")" -v bytes="$(stat -c %s "$work/source.csv")" 'BEGIN {
    printf "corvix-cli import of 100,000 new draws: %.3f s (target < 1 s), peak %.1f MiB = %.2f x the %.1f MiB of history and source (target < 3)\n",
        ns / 1e9, peak / 1024, peak * 1024 / (bytes + 70), bytes / 1048576 }'
