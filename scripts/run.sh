#!/usr/bin/env bash
# The run command: installs what is missing, builds the two programs into
# build/ (the window corvix and the command line corvix-cli, with what they
# link, and nothing else) and opens the window. Without a display it prints
# the forecast of the bundled sample history from the command line instead.
# Standard output carries only what the program prints: the installation and
# the build's progress go to standard error, and a configuration that fails
# shows its log there. scripts/build.sh builds every target (the tests, the
# benchmarks) for development.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh >&2
log=$(mktemp)
if ! cmake --preset dev -DCORVALITH_WERROR="${CORVALITH_WERROR:-OFF}" >"$log" 2>&1; then
    cat "$log" >&2
    rm -f "$log"
    exit 1
fi
rm -f "$log"
cmake --build --preset dev --target corvix corvix-cli >&2
if [ -x build/bin/corvix ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
    exec build/bin/corvix
fi
if [ -x build/bin/corvix ]; then
    echo "No display found (DISPLAY and WAYLAND_DISPLAY are unset): printing the forecast of the sample history instead." >&2
fi
exec build/bin/corvix-cli predict data/sample-history.csv
