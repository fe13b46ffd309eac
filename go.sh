#!/usr/bin/env bash
# Elcarta in one command on Debian 12:
#   ./go.sh run    install what is missing, build (Release) and start the program
#   ./go.sh test   install what is missing, build and run the whole test suite headless
#   ./go.sh sanitize   the test suite again, built with AddressSanitizer and UBSan
#   ./go.sh fuzz       a bounded libFuzzer run over the number conventions
#   ./go.sh windows    the Windows installer and portable zip, cross-built and tested under Wine
set -euo pipefail
cd "$(dirname "$0")"

bash scripts/setup.sh

case "${1:-run}" in
  sanitize)
    cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DELCARTA_SANITIZE=ON >/dev/null
    cmake --build build-sanitize -j2
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
    export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    QT_QPA_PLATFORM=offscreen ctest --test-dir build-sanitize --output-on-failure -j2 -LE packaging
    exit
    ;;
  fuzz)
    exec bash scripts/fuzz.sh "${2:-60}"
    ;;
  windows)
    exec bash scripts/windows/build.sh
    ;;
esac

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
    echo "usage: ./go.sh run|test|sanitize|fuzz|windows" >&2
    exit 2
    ;;
esac
