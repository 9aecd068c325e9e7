#!/usr/bin/env bash
# The evaluation tests (the sweep's worker threads among them) built with
# ThreadSanitizer (build-tsan/); any report fails the run (the tsan test
# preset sets TSAN_OPTIONS).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset tsan -DCORVALITH_WERROR="${CORVALITH_WERROR:-OFF}" >/dev/null
cmake --build --preset tsan
ctest --preset tsan -j2
