#!/usr/bin/env bash
# Speed and memory: builds the benchmarks in their own Release tree and runs
# the conversion benchmark and the start-up benchmark (program against a bare
# Qt Widgets program). Extra arguments go to the start-up benchmark, e.g.
#   scripts/bench.sh --runs 31
# Without DISPLAY the windows are drawn offscreen; with DISPLAY set, on that
# X server.
#
#   scripts/bench.sh windows [--runs N ...]
# cross-builds the start-up benchmark for Windows into build-windows-bench/
# (Qt for Windows as scripts/windows/build.sh makes it; Google Benchmark has
# no Windows build here, so only the start-up benchmark) and runs it under
# Wine, offscreen unless QT_QPA_PLATFORM says otherwise. Wine is no measure of
# Windows' own speed: read its ratios, not its times.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" = windows ]; then
  shift
  bash scripts/windows/setup.sh
  qt_win=$(bash scripts/windows/build-qt.sh)
  build=$PWD/build-windows-bench
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$qt_win/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
    -DELCARTA_BENCH=ON -DBUILD_TESTING=OFF >/dev/null
  cmake --build "$build" -j2 --target elcarta_bench_startup
  echo "== Start-up, opening, memory and handlers: Windows build under Wine"
  # Wine wants an X display even for the offscreen platform; wine-run.sh gives
  # the probes Qt's DLLs (WINEPATH) and the test faces.
  QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} xvfb-run -a "$build/wine-run.sh" \
    "$build/bench/elcarta_bench_startup.exe" "$@"
  exit
fi
bash scripts/setup.sh
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DELCARTA_BENCH=ON >/dev/null
cmake --build build-bench -j2 --target elcarta_bench_convert elcarta_bench_sheet elcarta_bench_project \
  elcarta_bench_schedule elcarta_bench_startup

echo "== Number conventions (Google Benchmark)"
./build-bench/bench/elcarta_bench_convert --benchmark_min_time=0.05
echo
echo "== Calculation sheets: save as PDF and copy, per calculator (Google Benchmark)"
./build-bench/bench/elcarta_bench_sheet --benchmark_min_time=0.2
echo
echo "== Projects: save and open with 200 cases, a recovery write (Google Benchmark)"
./build-bench/bench/elcarta_bench_project --benchmark_min_time=0.2
echo
echo "== Load schedule of 1,000 rows: an edit, a paste, its PDF (Google Benchmark)"
./build-bench/bench/elcarta_bench_schedule --benchmark_min_time=0.2
echo
echo "== Start-up, opening, memory and handlers"
./build-bench/bench/elcarta_bench_startup "$@"
