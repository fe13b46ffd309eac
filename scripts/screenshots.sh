#!/usr/bin/env bash
# Renders every window after a worked example into docs/ (or the folder given).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j2 --target elcarta_screenshots
QT_QPA_PLATFORM=offscreen ./build/elcarta_screenshots "${1:-docs}"
