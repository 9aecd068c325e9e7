#!/usr/bin/env bash
# Configures and builds the project into build/ (Ninja, all targets).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset dev >/dev/null
cmake --build --preset dev
