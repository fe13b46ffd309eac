#!/usr/bin/env bash
# Elcarta in one command on Debian 12:
#   ./go.sh run    install what is missing, build (Release) and start the program
#   ./go.sh test   install what is missing, build and run the whole test suite headless
set -euo pipefail
cd "$(dirname "$0")"

bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j2

case "${1:-run}" in
  run)
    if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
      exec xvfb-run -a ./build/elcarta
    fi
    exec ./build/elcarta
    ;;
  test)
    QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j2
    ;;
  *)
    echo "usage: ./go.sh run|test" >&2
    exit 2
    ;;
esac
