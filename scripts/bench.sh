#!/usr/bin/env bash
# Builds a release tree and prints the benchmark figures: reading speed,
# forecast time per filter kind, ApplyFilter, FFT by size, peak memory of
# 1,000,000 draws (corvalith_bench), the evaluation's backtests, sweeps and
# the peak memory of a million-draw sweep (evaluate_bench), then the
# whole-process time of corvix-cli predict on the real history when it is
# there, and the history commands' figures (scripts/bench-history.sh).
# Arguments go to both benchmark programs.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target corvalith_bench evaluate_bench corvix-cli
build-release/bin/corvalith_bench "$@"
build-release/bin/evaluate_bench "$@"
if [ -f "${CORVALITH_REAL_HISTORY:-../shared/data/real-history.csv}" ]; then
    scripts/bench-cli.sh "${CORVALITH_REAL_HISTORY:-../shared/data/real-history.csv}"
fi
scripts/bench-history.sh
