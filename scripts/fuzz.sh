#!/usr/bin/env bash
# Fuzzes the number conventions, the load schedule's text side and the project
# reader with libFuzzer for a bounded time (default 60 s, a third of it for
# each target). Every input kept for a target is replayed first; a crash found
# is kept there (fuzz/regressions, fuzz/regressions-schedule,
# fuzz/regressions-project).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
seconds=${1:-60}
half=$(( seconds / 3 > 0 ? seconds / 3 : 1 ))
out=build-fuzz
mkdir -p "$out/corpus" "$out/corpus-schedule" "$out/corpus-project" fuzz/regressions fuzz/regressions-schedule \
  fuzz/regressions-project
# Each folder is its library's include directory, as in the build.
includes=(-Inumeric -Iui/table -Isheet -Iproject -Iapp -Icircuits -Iload -Ilightning -Ilighting -Itrunking)
# The load schedule and the circuit sizing it stands on.
schedule=(load/schedule.cpp load/schedule_circuits.cpp load/schedule_text.cpp load/schedule_table.cpp circuits/*.cpp
  numeric/convert.cpp)
flags=(-std=c++20 -O1 -g "${includes[@]}" -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined)
clang++ "${flags[@]}" fuzz/convert_fuzz.cpp numeric/convert.cpp -o "$out/convert_fuzz"
clang++ "${flags[@]}" fuzz/schedule_fuzz.cpp "${schedule[@]}" -o "$out/schedule_fuzz"
# The project reader uses Qt Core's JSON and checks what it reads against the
# windows' tables and the load schedule's own part.
clang++ "${flags[@]}" -fPIC $(pkg-config --cflags Qt6Core) fuzz/project_fuzz.cpp project/project.cpp \
  load/schedule_file.cpp "${schedule[@]}" app/menu_table.cpp load/load_table.cpp lightning/lightning_table.cpp \
  lighting/lighting_table.cpp trunking/trunking_table.cpp trunking/reference.cpp $(pkg-config --libs Qt6Core) \
  -o "$out/project_fuzz"

# fuzz <target> <regressions> <corpus> <seeds>
fuzz() {
  local regressions=("$2"/*)
  if [ -e "${regressions[0]}" ]; then
    "$out/$1" "${regressions[@]}"
  fi
  "$out/$1" -max_total_time="$half" -timeout=5 -rss_limit_mb=2048 \
    -artifact_prefix="$2/" -print_final_stats=1 "$3" "$4"
}
fuzz convert_fuzz fuzz/regressions "$out/corpus" fuzz/seeds
fuzz schedule_fuzz fuzz/regressions-schedule "$out/corpus-schedule" fuzz/seeds-schedule
fuzz project_fuzz fuzz/regressions-project "$out/corpus-project" fuzz/seeds-project
