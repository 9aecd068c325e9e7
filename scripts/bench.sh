#!/usr/bin/env bash
# Builds a release tree and prints the benchmark figures: reading speed,
# forecast time per filter kind, FFT by size, peak memory of 1,000,000 draws
# (corvalith_bench), then the evaluation's backtests, sweeps and the peak
# memory of a million-draw sweep (evaluate_bench). Arguments go to both.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target corvalith_bench evaluate_bench
build-release/bin/corvalith_bench "$@"
exec build-release/bin/evaluate_bench "$@"
