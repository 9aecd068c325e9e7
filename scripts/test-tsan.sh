#!/usr/bin/env bash
# The tests of everything that runs on more than one thread, built with
# ThreadSanitizer (build-tsan/): the evaluation (the sweep's worker threads),
# forecasts on four threads at once and the analysis window with its worker
# (Qt's offscreen platform). Any report fails the run (the tsan test preset
# sets TSAN_OPTIONS).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset tsan -DCORVALITH_WERROR="${CORVALITH_WERROR:-OFF}" >/dev/null
cmake --build --preset tsan
ctest --preset tsan -j2
