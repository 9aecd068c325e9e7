#!/usr/bin/env bash
# Whole-process time of corvix-cli predict (start-up, reading, forecast,
# output) on the real history, or on the file given.
# Usage: scripts/bench-cli.sh [HISTORY] [extra predict options ...]
# Builds corvix-cli in build-release/. Uses hyperfine when installed (mean,
# median and minimum over 300 runs), otherwise a loop timed with date.
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
