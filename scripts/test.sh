#!/usr/bin/env bash
# The test command: installs what is missing, builds into build/, runs every
# test (arguments go on to ctest, for example -R PATTERN).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
QT_QPA_PLATFORM=offscreen ctest --preset dev -j2 "$@"
