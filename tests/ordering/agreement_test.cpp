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
const std::pair<Order, Order> kOrders[] = {
    {paixu::SortTopToBottomLeftToRight, reference::SortTopToBottomLeftToRight},
    {paixu::SortBottomToTopLeftToRight, reference::SortBottomToTopLeftToRight},
    {paixu::SortRightToLeftTopToBottom, reference::SortRightToLeftTopToBottom},
    {paixu::SortRightToLeftBottomToTop, reference::SortRightToLeftBottomToTop}};

// North on and around tenth boundaries, east from a few values, and every
// fourth pile a repeat of an earlier position.
PickTable RandomTable(std::mt19937& random) {
    static const double kNorth[] = {10.05, 10.15, 10.25, 10.35,  10.75, 10.04, 10.06, 10.14,
                                    10.16, 10.84, 10.1,  -10.25, -0.05, -0.04, 0.0,   -0.0};
    static const double kEast[] = {0, -0.0, 1, 2.5, -1, 100};
    PickTable table(random() % 41);
    for (std::size_t k = 0; k < table.size(); ++k) {
        const double east = kEast[random() % std::size(kEast)];
        switch (random() % 4) {
            case 0:
                table[k] = {kNorth[random() % std::size(kNorth)], east, 0};
                break;
            case 1:
                table[k] = {static_cast<int>(random() % 101) / 10.0 - 4.95, east, 0};
                break;
            case 2:
                table[k] = {(random() % 6000) / 1000.0 - 3, east + 0.5, 0};
                break;
            default:
                table[k] = k > 0 ? table[random() % k] : table[k];
        }
        table[k][2] = static_cast<double>(k);
    }
    return table;
}

TEST(Agreement, OrdersAndDuplicateRemovalMatchThePlainProcedures) {
    std::mt19937 random(2024);
    for (int round = 0; round < 2000; ++round) {
        const PickTable picked = RandomTable(random);
        for (const auto& [fast, slow] : kOrders) {
            PickTable a = picked;
            PickTable b = picked;
            fast(a);
            slow(b);
            // Bit for bit, so that -0 against 0 shows as well.
            // (memcmp must not be given the null data of an empty table.)
            ASSERT_TRUE(a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof a[0]) == 0)
                << round;
            ASSERT_EQ(paixu::RemoveDuplicatePiles(a), reference::RemoveDuplicatePiles(a)) << round;
        }
    }
}

}  // namespace
}  // namespace velmora
