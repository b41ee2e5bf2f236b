// The four orders and duplicate removal: against the neighbour-exchange and
// pairwise procedures on many random tables full of ties, duplicates and
// tenth boundaries, and at the edges those tables do not reach.
#include "ordering/paixu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "reference_paixu.h"
#include "status_of.h"

namespace velmora {
namespace {

using Order = void (*)(PickTable&);
const std::pair<Order, Order> kOrders[] = {
    {paixu::SortTopToBottomLeftToRight, reference::SortTopToBottomLeftToRight},
    {paixu::SortBottomToTopLeftToRight, reference::SortBottomToTopLeftToRight},
    {paixu::SortRightToLeftTopToBottom, reference::SortRightToLeftTopToBottom},
    {paixu::SortRightToLeftBottomToTop, reference::SortRightToLeftBottomToTop}};
constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
using testing::StatusOf;

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
            PickTable a = picked, b = picked;
            fast(a);
            slow(b);
            // Bit for bit, so that -0 against 0 and the untouched third slot
            // show as well (memcmp must not see an empty table's null data).
            ASSERT_TRUE(a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof a[0]) == 0)
                << round;
            ASSERT_EQ(paixu::RemoveDuplicatePiles(a), reference::RemoveDuplicatePiles(a)) << round;
        }
    }
}

TEST(Orders, NanLastAndTheSizeLimit) {
    // A pile with a NaN in its position has no row: it goes last, in pick order.
    PickTable odd = {{kNan, 1, 0}, {2, 2, 0}, {1, kNan, 0}, {-HUGE_VAL, 0, 0}, {1, 1, 0}};
    paixu::SortBottomToTopLeftToRight(odd);
    EXPECT_EQ(odd[0][0], -HUGE_VAL);
    EXPECT_EQ(odd[2][0], 2);
    EXPECT_TRUE(std::isnan(odd[3][0]) && std::isnan(odd[4][1]));
    for (const auto& [order, unused] : kOrders) {
        PickTable largest(32768);
        for (std::size_t k = 0; k < largest.size(); ++k) largest[k] = {double(k % 97), 1, 0};
        PickTable tooMany = largest;
        tooMany.push_back({-1, 1, 0});
        const PickTable before = tooMany;
        EXPECT_EQ(StatusOf([&] { order(largest); }), status::kOk);
        EXPECT_TRUE(largest[0][0] == 0 || largest[0][0] == 96);
        EXPECT_EQ(StatusOf([&] { order(tooMany); }), status::kOverflow);
        EXPECT_EQ(tooMany, before);  // nothing moved
    }
}

TEST(RemoveDuplicatePiles, NanEqualsNothingAndTheSizeLimit) {
    const PickTable withNan = {{kNan, 1, 0}, {kNan, 1, 0}, {1, kNan, 0}, {1, kNan, 0}};
    EXPECT_EQ(paixu::RemoveDuplicatePiles(withNan).size(), 4u);
    EXPECT_EQ(paixu::RemoveDuplicatePiles({{0, -0.0, 3}, {-0.0, 0, 3}}), (PickTable{{0, -0.0, 0}}));
    EXPECT_EQ(paixu::RemoveDuplicatePiles(PickTable(32767, {4, 4, 0})).size(), 1u);
    EXPECT_EQ(StatusOf([] { (void)paixu::RemoveDuplicatePiles(PickTable(32768)); }),
              status::kOverflow);
}

}  // namespace
}  // namespace velmora
