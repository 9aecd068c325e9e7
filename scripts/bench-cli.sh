#!/usr/bin/env bash
# Whole-process time of corvix-cli predict (start-up, reading, forecast,
# output) on the real history, or on the file given; then backtest beside
# backtest --bet of each type and sweep beside sweep --bet (2 jobs), as CPU
# (user + sys) and wall per run with the --bet run's ratio to the plain one.
# Usage: scripts/bench-cli.sh [HISTORY] [extra predict options ...]
# Builds corvix-cli in build-release/. Uses hyperfine when installed (mean,
# median and minimum over 300 runs), otherwise a loop timed with date.
# BENCH_RUNS (default 40) sets the runs of each backtest; the sweeps take a
# tenth as many (at least 3). Where the results data set lies beside the
# history, a copy of the history gains its payouts (import --keep-mine) and
# each --bet type is timed at real payouts beside theoretical ones, with
# payouts and sweep --bet box at real payouts.
set -euo pipefail
cd "$(dirname "$0")/.."
history=${1:-../shared/data/real-history.csv}
[ $# -gt 0 ] && shift
if [ ! -f "$history" ]; then
    echo "bench-cli: no history at $history (give one as the first argument)" >&2
    exit 2
fi
options=("$@")
[ ${#options[@]} -eq 0 ] && options=(--filter lpf --interval 15)

cmake --preset release >/dev/null
cmake --build --preset release --target corvix-cli >/dev/null
cli=build-release/bin/corvix-cli
command=("$cli" predict "$history" "${options[@]}")
"${command[@]}" >/dev/null  # fails here rather than timing an error

echo "corvix-cli predict $(basename "$history") ${options[*]}"
if command -v hyperfine >/dev/null; then
    hyperfine -N --warmup 20 --runs 300 --style basic "${command[*]}"
else
    runs=300
    best=
    start=$(date +%s%N)
    for ((i = 0; i < runs; ++i)); do
        t0=$(date +%s%N)
        "${command[@]}" >/dev/null
        t=$(($(date +%s%N) - t0))
        if [ -z "$best" ] || [ "$t" -lt "$best" ]; then best=$t; fi
    done
    total=$(($(date +%s%N) - start))
    awk -v total="$total" -v runs="$runs" -v best="$best" 'BEGIN {
        printf "  mean %.2f ms, min %.2f ms over %d runs (loop timing, includes the shell fork)\n",
            total / runs / 1e6, best / 1e6, runs }'
fi

# Mean wall and CPU (user + sys) in ms of `runs` runs of the command, by
# bash's own timer around the loop: "WALL CPU".
timed() {
    local runs=$1
    shift
    local TIMEFORMAT='%3R %3U %3S'
    local figures
    figures=$({ time (for ((i = 0; i < runs; ++i)); do "$@" >/dev/null 2>&1; done); } 2>&1)
    awk -v runs="$runs" -v f="$figures" 'BEGIN {
        split(f, t, " "); printf "%.2f %.2f", t[1] * 1000 / runs, (t[2] + t[3]) * 1000 / runs }'
}

# One line for the plain run and one per --bet type, each with its ratio.
compare() {
    local name=$1 runs=$2
    shift 2
    local plain
    plain=$(timed "$runs" "$cli" "$name" "$history" "$@")
    echo "corvix-cli $name $(basename "$history")${*:+ $*} (mean of $runs runs, ms)"
    awk -v p="$plain" 'BEGIN { split(p, a, " ");
        printf "  %-14s wall %8.2f  cpu %8.2f\n", "plain", a[1], a[2] }'
    for type in straight box set; do
        local bet
        bet=$(timed "$runs" "$cli" "$name" "$history" "$@" --bet "$type")
        awk -v p="$plain" -v b="$bet" -v t="--bet $type" 'BEGIN {
            split(p, a, " "); split(b, c, " ");
            printf "  %-14s wall %8.2f  cpu %8.2f  ratio wall %.3f cpu %.3f\n",
                t, c[1], c[2], c[1] / a[1], c[2] / a[2] }'
    done
}

runs=${BENCH_RUNS:-40}
sweeps=$((runs / 10 > 3 ? runs / 10 : 3))
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
compare backtest "$runs"
compare sweep "$sweeps" --jobs 2

# Real payouts beside theoretical ones, on a copy of the history with payouts.
source_json=$(dirname "$history")/results-api/numbers4_all_full.json
if [ -f "$source_json" ]; then
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    cp "$history" "$work/history.csv"
    chmod u+w "$work/history.csv"
    "$cli" import "$work/history.csv" "$source_json" --keep-mine >/dev/null
    paid=$work/history.csv
    echo "corvix-cli backtest with payouts (mean of $runs runs, ms)"
    for type in straight box set; do
        theoretical=$(timed "$runs" "$cli" backtest "$paid" --bet "$type" --payouts theoretical)
        real=$(timed "$runs" "$cli" backtest "$paid" --bet "$type" --payouts real)
        awk -v p="$theoretical" -v r="$real" -v t="$type" 'BEGIN {
            split(p, a, " "); split(r, c, " ");
            printf "  --bet %-8s theoretical wall %7.2f cpu %7.2f  real wall %7.2f cpu %7.2f  ratio wall %.3f cpu %.3f\n",
                t, a[1], a[2], c[1], c[2], c[1] / a[1], c[2] / a[2] }'
    done
    payouts=$(timed "$runs" "$cli" payouts "$paid")
    echo "  payouts                wall ${payouts% *} cpu ${payouts#* }"
    sweep=$(timed "$sweeps" "$cli" sweep "$paid" --bet box --payouts real --jobs 2)
    echo "  sweep --bet box --payouts real --jobs 2  wall ${sweep% *} cpu ${sweep#* }"
fi
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
