#!/usr/bin/env bash
# Speed and memory: builds the benchmarks in their own Release tree and runs
# the conversion benchmark and the start-up benchmark (program against a bare
# Qt Widgets program). Extra arguments go to the start-up benchmark, e.g.
#   scripts/bench.sh --runs 31
# Without DISPLAY the windows are drawn offscreen; with DISPLAY set, on that
# X server.
set -euo pipefail
cd "$(dirname "$0")/.."
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
