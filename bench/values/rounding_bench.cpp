// Rounding as the export and the numbering orders use it: coordinates of a
// survey grid to 3 places (export) and to 1 place (rows of the orders), and
// values sitting exactly on a half, which take the slowest path.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "values/numbers.h"

namespace velmora {
namespace {

// Northings and eastings as a pile field holds them: millions of metres with
// millimetres and a binary tail.
std::vector<double> Coordinates() {
    std::mt19937 random(29);
    std::uniform_real_distribution<double> spread(0, 2000);
    std::vector<double> values(4096);
    for (std::size_t i = 0; i < values.size(); ++i) {
        values[i] = (i % 2 ? 487000.0 : 3512000.0) + spread(random);
    }
    return values;
}

// Exact halves at 3 places (k + 0.0625 and similar binary fractions).
std::vector<double> Halves() {
    std::vector<double> values(4096);
    for (std::size_t i = 0; i < values.size(); ++i) {
        values[i] = static_cast<double>(i) + 0.0625 * static_cast<double>(1 + i % 15);
    }
    return values;
}

void Round(benchmark::State& state, const std::vector<double>& values, int decimals) {
    for (auto _ : state) {
        for (double value : values) benchmark::DoNotOptimize(RoundHalfEven(value, decimals));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(values.size()));
}

void BM_CoordinatesTo3Places(benchmark::State& state) { Round(state, Coordinates(), 3); }
void BM_CoordinatesTo1Place(benchmark::State& state) { Round(state, Coordinates(), 1); }
void BM_HalvesTo3Places(benchmark::State& state) { Round(state, Halves(), 3); }

BENCHMARK(BM_CoordinatesTo3Places);
BENCHMARK(BM_CoordinatesTo1Place);
BENCHMARK(BM_HalvesTo3Places);

}  // namespace
}  // namespace velmora

BENCHMARK_MAIN();
