#!/usr/bin/env bash
# The whole test suite once more, built with AddressSanitizer and
# UndefinedBehaviorSanitizer (build-asan/); any report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset asan -DCORVALITH_WERROR="${CORVALITH_WERROR:-OFF}" >/dev/null
cmake --build --preset asan
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:halt_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# The kill loop (fifty SIGKILLs during million-line imports) tests what is on
# disk after a kill, not memory; the import it kills runs under the
# sanitizers in the other history tests, so it is left to the plain build.
QT_QPA_PLATFORM=offscreen ctest --preset asan -j2 -E 'HistoryCli.KilledAtRandomMomentsTheHistoryIsOldOrNew'
