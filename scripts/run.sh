#!/usr/bin/env bash
# The run command: installs what is missing, builds into build/ and opens the
# window. Without a display it prints the forecast of the bundled sample
# history from the command line instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh
if [ -x build/bin/corvix ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
    exec build/bin/corvix
fi
if [ -x build/bin/corvix ]; then
    echo "No display found (DISPLAY and WAYLAND_DISPLAY are unset): printing the forecast of the sample history instead." >&2
fi
exec build/bin/corvix-cli predict data/sample-history.csv
