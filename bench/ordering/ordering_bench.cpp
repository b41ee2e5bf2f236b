// The numbering orders and duplicate removal against the neighbour-exchange
// and pairwise procedures, for 1 000, 10 000 and 32 768 piles.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <random>

#include "ordering/paixu.h"
#include "reference_paixu.h"

namespace velmora {
namespace {

using Order = void (*)(PickTable&);

const Order kFast[] = {paixu::SortTopToBottomLeftToRight, paixu::SortBottomToTopLeftToRight,
                       paixu::SortRightToLeftTopToBottom, paixu::SortRightToLeftBottomToTop};
const Order kReference[] = {
    reference::SortTopToBottomLeftToRight, reference::SortBottomToTopLeftToRight,
    reference::SortRightToLeftTopToBottom, reference::SortRightToLeftBottomToTop};

// A pile field as picked: rows about 1.2 apart with a little scatter, piles
// about 0.8 apart along a row, picked in no particular order, one in twenty
// picked twice.
PickTable PileField(int size) {
    std::mt19937 random(17);
    std::normal_distribution<double> scatter(0, 0.03);
    const int perRow = std::max(1, static_cast<int>(std::sqrt(size)));
    PickTable table;
    for (int k = 0; static_cast<int>(table.size()) < size; ++k) {
        const double north = 3512000.0 + 1.2 * (k / perRow) + scatter(random);
        const double east = 487000.0 + 0.8 * (k % perRow) + scatter(random);
        table.push_back({north, east, 0});
        if (k % 20 == 0 && static_cast<int>(table.size()) < size) table.push_back(table.back());
    }
    std::shuffle(table.begin(), table.end(), random);
    return table;
}

// One order followed by the duplicate removal, as a pick pass does it;
// returns the processor time taken, in seconds.
// RemoveDuplicatePiles takes at most 32767 piles, so the largest table is
// ordered at 32768 and de-duplicated without its last pile.
template <const Order* Orders>
double OrderAndRemove(const PickTable& picked, int order) {
    const std::clock_t start = std::clock();
    PickTable table = picked;
    Orders[order](table);
    if (table.size() > 32767) table.pop_back();
    PickTable piles = Orders == kFast ? paixu::RemoveDuplicatePiles(table)
                                      : reference::RemoveDuplicatePiles(table);
    benchmark::DoNotOptimize(piles.data());
    return static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
}

void BM_Fast(benchmark::State& state) {
    const PickTable picked = PileField(static_cast<int>(state.range(1)));
    const int order = static_cast<int>(state.range(0));
    for (auto _ : state) OrderAndRemove<kFast>(picked, order);
    state.counters["piles"] = static_cast<double>(picked.size());
}

// The procedures as written; at the largest size one run takes most of a
// minute. The counter "speedup" is their processor time over that of the fast
// operations (the best of 20 runs), so other load on the machine cancels out.
void BM_Reference(benchmark::State& state) {
    const PickTable picked = PileField(static_cast<int>(state.range(1)));
    const int order = static_cast<int>(state.range(0));
    double slow = 0;
    for (auto _ : state) slow += OrderAndRemove<kReference>(picked, order);
    slow /= static_cast<double>(state.iterations());

    double fast = 1e30;
    for (int run = 0; run < 20; ++run) fast = std::min(fast, OrderAndRemove<kFast>(picked, order));
    state.counters["fast_ms"] = fast * 1e3;
    state.counters["reference_ms"] = slow * 1e3;
    state.counters["speedup"] = slow / fast;
}

BENCHMARK(BM_Fast)
    ->ArgsProduct({{0, 1, 2, 3}, {1000, 10000, 32768}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reference)
    ->ArgsProduct({{0, 1, 2, 3}, {1000}})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reference)->Args({0, 10000})->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reference)->Args({0, 32768})->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmora

BENCHMARK_MAIN();
