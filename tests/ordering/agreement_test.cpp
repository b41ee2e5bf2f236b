// The fast operations against the neighbour-exchange and pairwise procedures
// on many random tables full of ties, duplicates and tenth boundaries.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "ordering/paixu.h"
#include "reference_paixu.h"

namespace velmora {
namespace {

using Order = void (*)(PickTable&);

struct OrderPair {
    Order fast;
    Order reference;
};

const OrderPair kOrders[] = {
    {paixu::SortTopToBottomLeftToRight, reference::SortTopToBottomLeftToRight},
    {paixu::SortBottomToTopLeftToRight, reference::SortBottomToTopLeftToRight},
    {paixu::SortRightToLeftTopToBottom, reference::SortRightToLeftTopToBottom},
    {paixu::SortRightToLeftBottomToTop, reference::SortRightToLeftBottomToTop},
};

// North values cluster on and around tenth boundaries so that rows, rounding
// halves and exact-north ties all occur; east values repeat often.
PickTable RandomTable(std::mt19937& random, int size) {
    static const double kNorth[] = {10.05,  10.15, 10.25, 10.35, 10.75, 10.04, 10.06,
                                    10.14,  10.16, 10.84, 10.0,  10.1,  10.2,  -10.25,
                                    -10.15, -0.05, -0.04, 0.0,   -0.0,  0.04,  0.05};
    static const double kEast[] = {0, -0.0, 1, 2, 2.5, -1, -2.5, 100};
    std::uniform_int_distribution<int> kind(0, 3);
    std::uniform_int_distribution<int> northPick(0, std::size(kNorth) - 1);
    std::uniform_int_distribution<int> eastPick(0, std::size(kEast) - 1);
    std::uniform_int_distribution<int> tenths(-50, 50);
    std::uniform_real_distribution<double> anywhere(-3, 3);
    PickTable table;
    for (int k = 0; k < size; ++k) {
        double north = 0;
        double east = kEast[eastPick(random)];
        switch (kind(random)) {
            case 0:
                north = kNorth[northPick(random)];
                break;
            case 1:
                north = tenths(random) / 10.0 + 0.05;
                break;  // halves near every row
            case 2:
                north = anywhere(random);
                east = anywhere(random);
                break;
            default:
                if (!table.empty()) {  // repeat an earlier position exactly
                    const auto& earlier = table[random() % table.size()];
                    north = earlier[0];
                    east = earlier[1];
                }
        }
        table.push_back({north, east, static_cast<double>(k)});
    }
    return table;
}

TEST(Agreement, OrdersAndDuplicateRemovalMatchThePlainProcedures) {
    std::mt19937 random(2024);
    std::uniform_int_distribution<int> sizes(0, 60);
    for (int round = 0; round < 3000; ++round) {
        const PickTable picked = RandomTable(random, sizes(random));
        for (const OrderPair& pair : kOrders) {
            PickTable fast = picked;
            PickTable slow = picked;
            pair.fast(fast);
            pair.reference(slow);
            // Compare bit for bit so that -0 against 0 shows as well.
            ASSERT_EQ(std::memcmp(fast.data(), slow.data(), fast.size() * sizeof fast[0]), 0)
                << "round " << round;
            if (!fast.empty()) {
                ASSERT_EQ(paixu::RemoveDuplicatePiles(fast), reference::RemoveDuplicatePiles(fast))
                    << "round " << round;
            }
        }
    }
}

}  // namespace
}  // namespace velmora
