#!/usr/bin/env bash
# Installs the Debian packages the build needs, when any is missing.
# Usage: scripts/deps.sh [extra-package ...]
set -euo pipefail

packages=(cmake ninja-build g++ make pkg-config python3
          libgtest-dev libgmock-dev libbenchmark-dev
          libboost-math-dev nlohmann-json3-dev libcli11-dev
          qt6-base-dev qt6-charts-dev libqt6opengl6-dev qt6-svg-dev libxkbcommon-dev fonts-ipafont-gothic xvfb hyperfine)
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
