#!/usr/bin/env bash
# Configures and builds the project into build/ (Ninja, all targets).
# CORVALITH_WERROR=ON in the environment makes every warning an error (CI).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset dev -DCORVALITH_WERROR="${CORVALITH_WERROR:-OFF}" >/dev/null
cmake --build --preset dev
