// Removal of piles that coincide exactly with an earlier pile.
#include <bit>
#include <cmath>
#include <cstdint>
#include <unordered_set>
#include <utility>

#include "automation/failure.h"
#include "automation/status.h"
#include "ordering/paixu.h"

namespace velmora::paixu {
namespace {

// The pile count must stay a 16-bit index: at most 32767 piles.
constexpr std::size_t kMaxPiles = 32767;

using Position = std::pair<std::uint64_t, std::uint64_t>;

// Bit patterns of north and east; -0 is folded into 0 so that they match,
// as they compare equal.
Position PositionOf(double north, double east) {
    return {std::bit_cast<std::uint64_t>(north + 0.0), std::bit_cast<std::uint64_t>(east + 0.0)};
}

struct PositionHash {
    std::size_t operator()(const Position& position) const noexcept {
        std::uint64_t h = position.first * 0x9E3779B97F4A7C15ULL;
        h ^= (h >> 29) ^ position.second;
        h *= 0xBF58476D1CE4E5B9ULL;
        return static_cast<std::size_t>(h ^ (h >> 32));
    }
};

}  // namespace

PickTable RemoveDuplicatePiles(const PickTable& piles) {
    if (piles.size() > kMaxPiles) Fail(status::kOverflow, "too many piles");

    PickTable result;
    result.reserve(piles.size());
    std::unordered_set<Position, PositionHash> seen;
    seen.reserve(piles.size());
    for (const auto& pile : piles) {
        const double north = pile[0];
        const double east = pile[1];
        // NaN equals nothing, not even itself, so a pile with a NaN position
        // never matches an earlier one and is always kept.
        const bool comparable = !std::isnan(north) && !std::isnan(east);
        if (comparable && !seen.insert(PositionOf(north, east)).second) continue;
        result.push_back({north, east, 0.0});
    }
    return result;
}

}  // namespace velmora::paixu
