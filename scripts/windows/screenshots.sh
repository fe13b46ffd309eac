#!/usr/bin/env bash
# Renders every window after the same worked examples as scripts/screenshots.sh,
# drawn by the Windows build with the Windows platform plugin under Wine, into
# docs/windows/ (or the folder given). Uses build-windows/ from ./go.sh windows.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${ELCARTA_WINDOWS_BUILD:-build-windows}
cmake --build "$build" -j2 --target elcarta_screenshots
out=$(realpath -m "${1:-docs/windows}")
mkdir -p "$out"
# Wine sees the build host's root as drive Z:.
QT_QPA_PLATFORM=windows xvfb-run -a -s "-screen 0 1280x1024x24" \
  "$build/wine-run.sh" "$build/elcarta_screenshots.exe" "Z:${out//\//\\}"
