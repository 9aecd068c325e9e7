#!/usr/bin/env bash
# Remakes docs/screenshot.png: the window on Qt's offscreen platform with the
# forecast of the bundled sample history (LPF, interval 15, the proposed
# draw number), and docs/analysis-*.png: the analysis window on each of its
# tabs for the same history and setting; docs/screenshot-dark.png: the window
# in a dark palette. Builds first; BUILD_DIR picks the
# build tree (default build/).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="${BUILD_DIR:-build}"
if [ "$build_dir" = build ]; then
    scripts/build.sh
else
    cmake -S . -B "$build_dir" -G Ninja >/dev/null
    cmake --build "$build_dir" --target corvix-screenshot
fi
mkdir -p docs
QT_QPA_PLATFORM=offscreen "$build_dir/bin/corvix-screenshot" data/sample-history.csv docs/screenshot.png
QT_QPA_PLATFORM=offscreen "$build_dir/bin/corvix-screenshot" --dark data/sample-history.csv docs/screenshot-dark.png
QT_QPA_PLATFORM=offscreen "$build_dir/bin/corvix-screenshot" --analysis data/sample-history.csv docs
echo "wrote docs/screenshot.png, docs/screenshot-dark.png and docs/analysis-{detail,verify,sweep,randomness,tickets}.png"
