#!/usr/bin/env bash
# Fuzzes the number conventions with libFuzzer for a bounded time (default 60 s).
# Every input in fuzz/regressions is replayed first; a crash found is kept there.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
seconds=${1:-60}
out=build-fuzz
mkdir -p "$out/corpus"
clang++ -std=c++20 -O1 -g -I. -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  fuzz/convert_fuzz.cpp app/numeric/convert.cpp -o "$out/convert_fuzz"

regressions=(fuzz/regressions/*)
if [ -e "${regressions[0]}" ]; then
  "$out/convert_fuzz" "${regressions[@]}"
fi
"$out/convert_fuzz" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 \
  -artifact_prefix=fuzz/regressions/ -print_final_stats=1 "$out/corpus" fuzz/seeds
