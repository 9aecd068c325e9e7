#!/usr/bin/env bash
# Installs the Debian packages the build needs, when any is missing.
# Usage: scripts/deps.sh [extra-package ...]
set -euo pipefail

packages=(cmake ninja-build g++ make pkg-config python3
          libgtest-dev libgmock-dev libbenchmark-dev
          libboost-math-dev nlohmann-json3-dev libcli11-dev
          qt6-base-dev qt6-charts-dev libqt6opengl6-dev qt6-svg-dev qt6-translations-l10n
          libxkbcommon-dev fonts-ipafont-gothic xvfb hyperfine librsvg2-bin)
# Downloads (update) and the throw-away certificate of its HTTPS test.
packages+=(libcurl4-openssl-dev openssl)
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
# sudo's default policy drops the caller's environment, so the variable that
# keeps debconf from asking questions goes on sudo's own command line.
apt=(env DEBIAN_FRONTEND=noninteractive apt-get)
if [ "$(id -u)" -ne 0 ]; then apt=(sudo "${apt[@]}"); fi
"${apt[@]}" update -q
"${apt[@]}" install -y -q --no-install-recommends "${missing[@]}"
