// Neighbour-exchange orders and pairwise duplicate removal written step by
// step as the procedures are defined: slow, obvious, and used only to check
// the fast operations and to measure them against.
#pragma once

#include "automation/failure.h"
#include "automation/status.h"
#include "ordering/paixu.h"
#include "values/numbers.h"

namespace velmora::reference {

// exchangeOnHigherNorth: step 1 exchanges when N(k) > N(k+1) (else when <);
// exchangeOnHigherEast: step 2 exchanges when E(k) > E(k+1) (else when <).
inline void NeighbourSort(PickTable& piles, bool exchangeOnHigherNorth, bool exchangeOnHigherEast) {
    if (piles.empty()) return;
    if (piles.size() - 1 > 32767) Fail(status::kOverflow, "pile index past 16 bits");
    const int last = static_cast<int>(piles.size()) - 1;
    const auto exchange = [&](int k) {
        std::swap(piles[k][0], piles[k + 1][0]);
        std::swap(piles[k][1], piles[k + 1][1]);
    };
    for (int pass = 0; pass < last; ++pass) {
        for (int k = 0; k < last; ++k) {
            const double n0 = piles[k][0];
            const double n1 = piles[k + 1][0];
            if (exchangeOnHigherNorth ? n0 > n1 : n0 < n1) exchange(k);
            if (RoundHalfEven(piles[k][0], 1) == RoundHalfEven(piles[k + 1][0], 1)) {
                const double e0 = piles[k][1];
                const double e1 = piles[k + 1][1];
                if (exchangeOnHigherEast ? e0 > e1 : e0 < e1) exchange(k);
            }
        }
    }
}

inline void SortBottomToTopLeftToRight(PickTable& piles) { NeighbourSort(piles, true, true); }
inline void SortTopToBottomLeftToRight(PickTable& piles) { NeighbourSort(piles, false, true); }
inline void SortRightToLeftBottomToTop(PickTable& piles) { NeighbourSort(piles, true, false); }
inline void SortRightToLeftTopToBottom(PickTable& piles) { NeighbourSort(piles, false, false); }

inline PickTable RemoveDuplicatePiles(const PickTable& piles) {
    if (piles.size() >= 32768) Fail(status::kOverflow, "pile index past 16 bits");
    PickTable result;
    for (std::size_t i = 0; i < piles.size(); ++i) {
        bool match = false;
        for (std::size_t j = 0; j < i && !match; ++j) {
            match = piles[i][0] == piles[j][0] && piles[i][1] == piles[j][1];
        }
        if (!match) result.push_back({piles[i][0], piles[i][1], 0.0});
    }
    return result;
}

}  // namespace velmora::reference
