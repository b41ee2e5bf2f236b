// The four numbering orders: horizontal pile rows by north rounded to a
// tenth, piles within a row by east, then by exact north. A stable sort on
// that key, with the key computed once per pile.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "automation/failure.h"
#include "automation/status.h"
#include "ordering/paixu.h"
#include "values/numbers.h"

namespace velmora::paixu {
namespace {

// Pile indexes are 16-bit: indexes 0 to 32767.
constexpr std::size_t kMaxPiles = 32768;

struct SortKey {
    double row;  // north rounded to a tenth
    double east;
    double north;
    std::uint32_t pile;  // index in the table as picked
};

enum class Sense { Ascending, Descending };

bool Precedes(double a, double b, Sense sense) { return sense == Sense::Ascending ? a < b : a > b; }

// Rows and, within a row with equal east, exact north go in `rows`; east
// within a row goes in `east`.
void SortByRows(PickTable& piles, Sense rows, Sense east) {
    if (piles.size() > kMaxPiles) Fail(status::kOverflow, "too many piles to order");
    if (piles.size() < 2) return;

    std::vector<SortKey> keys;
    keys.reserve(piles.size());
    for (std::uint32_t k = 0; k < piles.size(); ++k) {
        keys.push_back({RoundHalfEven(piles[k][0], 1), piles[k][1], piles[k][0], k});
    }
    // A pile without a usable position (NaN north or east) has no place in
    // any row; such piles go last, in the order picked.
    const auto placeable = std::stable_partition(keys.begin(), keys.end(), [](const SortKey& key) {
        return !std::isnan(key.row) && !std::isnan(key.east);
    });
    std::stable_sort(keys.begin(), placeable, [&](const SortKey& a, const SortKey& b) {
        if (a.row != b.row) return Precedes(a.row, b.row, rows);
        if (a.east != b.east) return Precedes(a.east, b.east, east);
        return Precedes(a.north, b.north, rows);
    });

    // Piles move with their north and east; slot 2 stays at its index.
    const PickTable picked = piles;
    for (std::size_t k = 0; k < keys.size(); ++k) {
        piles[k][0] = picked[keys[k].pile][0];
        piles[k][1] = picked[keys[k].pile][1];
    }
}

}  // namespace

void SortTopToBottomLeftToRight(PickTable& piles) {
    SortByRows(piles, Sense::Descending, Sense::Ascending);
}

void SortBottomToTopLeftToRight(PickTable& piles) {
    SortByRows(piles, Sense::Ascending, Sense::Ascending);
}

void SortRightToLeftTopToBottom(PickTable& piles) {
    SortByRows(piles, Sense::Descending, Sense::Descending);
}

void SortRightToLeftBottomToTop(PickTable& piles) {
    SortByRows(piles, Sense::Ascending, Sense::Descending);
}

}  // namespace velmora::paixu
