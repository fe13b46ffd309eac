// Speed of the number conventions every field goes through: strict and
// lenient reading, and writing with 15 significant digits.

#include "convert.h"

#include <benchmark/benchmark.h>
#include <string>
#include <vector>

namespace {

// Texts an engineer types, or a window writes and reads back.
const std::vector<std::string> strictTexts = {"3.5", "  100  ", "1,000.25", "-0.8", "1.5E-3", "3.5m", ""};
const std::vector<std::string> lenientTexts = {"0.8", "12.5kW", " 1 2 ", "", "33%", "1.2.3", "1E999"};
const std::vector<double> values = {2, 100, 0.05, 1.0 / 3, 0.1 + 0.2, 1.7 * 3, 2.01474583922, 1181.81818181818,
                                    -36, 1.23e20, 4.5e-7};

void strictRead(benchmark::State& state)
{
    const std::string& text = strictTexts[static_cast<std::size_t>(state.range(0))];
    state.SetLabel('"' + text + '"');
    for (auto _ : state)
        benchmark::DoNotOptimize(numeric::parseStrict(text));
}
BENCHMARK(strictRead)->DenseRange(0, static_cast<int>(strictTexts.size()) - 1);

void lenientRead(benchmark::State& state)
{
    const std::string& text = lenientTexts[static_cast<std::size_t>(state.range(0))];
    state.SetLabel('"' + text + '"');
    for (auto _ : state)
        benchmark::DoNotOptimize(numeric::parseLenient(text));
}
BENCHMARK(lenientRead)->DenseRange(0, static_cast<int>(lenientTexts.size()) - 1);

void write(benchmark::State& state)
{
    const double value = values[static_cast<std::size_t>(state.range(0))];
    state.SetLabel(numeric::formatNumber(value));
    for (auto _ : state)
        benchmark::DoNotOptimize(numeric::formatNumber(value));
}
BENCHMARK(write)->DenseRange(0, static_cast<int>(values.size()) - 1);

// A field's whole round trip: the text read back strictly and written again.
void roundTrip(benchmark::State& state)
{
    for (auto _ : state) {
        const numeric::Num n = numeric::parseStrict("1181.81818181818");
        benchmark::DoNotOptimize(numeric::formatNumber(n.value() * 3));
    }
}
BENCHMARK(roundTrip);

} // namespace

BENCHMARK_MAIN();
