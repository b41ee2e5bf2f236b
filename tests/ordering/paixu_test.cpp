#include "ordering/paixu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "automation/failure.h"
#include "automation/status.h"
#include "status_of.h"

namespace velmora {
namespace {

using Order = void (*)(PickTable&);
const Order kOrders[] = {paixu::SortTopToBottomLeftToRight, paixu::SortBottomToTopLeftToRight,
                         paixu::SortRightToLeftTopToBottom, paixu::SortRightToLeftBottomToTop};
constexpr double kNan = std::numeric_limits<double>::quiet_NaN();

PickTable Piles(std::initializer_list<std::array<double, 2>> positions) {
    PickTable table;
    for (const auto& [north, east] : positions) table.push_back({north, east, 0.0});
    return table;
}

PickTable Sorted(PickTable table, Order order) {
    order(table);
    return table;
}

using testing::StatusOf;

TEST(Orders, CornersRowsOnTenthsAndTies) {
    const PickTable expected[] = {
        Piles({{10, 0}, {10, 10}, {0, 0}, {0, 10}}), Piles({{0, 0}, {0, 10}, {10, 0}, {10, 10}}),
        Piles({{10, 10}, {10, 0}, {0, 10}, {0, 0}}), Piles({{0, 10}, {0, 0}, {10, 10}, {10, 0}})};
    PickTable picked = Piles({{0, 0}, {0, 10}, {10, 0}, {10, 10}});
    do {
        for (int i = 0; i < 4; ++i) EXPECT_EQ(Sorted(picked, kOrders[i]), expected[i]) << i;
    } while (std::next_permutation(picked.begin(), picked.end()));

    const Order up = paixu::SortBottomToTopLeftToRight;
    // 0.02 apart in rows 10.0 and 10.1; 0.08 apart in one row 10.1.
    EXPECT_EQ(Sorted(Piles({{10.06, 0}, {10.04, 5}}), up), Piles({{10.04, 5}, {10.06, 0}}));
    EXPECT_EQ(Sorted(Piles({{10.06, 5}, {10.14, 0}}), up), Piles({{10.14, 0}, {10.06, 5}}));
    // Halves go to the even tenth, negative ones too.
    EXPECT_EQ(Sorted(Piles({{10.16, 5}, {10.25, 0}}), up), Piles({{10.25, 0}, {10.16, 5}}));
    EXPECT_EQ(Sorted(Piles({{-10.16, 5}, {-10.25, 0}}), up), Piles({{-10.25, 0}, {-10.16, 5}}));
    EXPECT_EQ(Sorted(Piles({{-10.26, 5}, {-10.25, 0}}), up), Piles({{-10.26, 5}, {-10.25, 0}}));
    // Equal positions (0 and -0 alike) keep pick order; slot 2 stays at its index.
    PickTable same = {{5, 1, 0}, {5, 1, 1}, {0, 0, 2}, {5, 1, 3}, {-0.0, 0, 4}};
    up(same);
    EXPECT_EQ(same, (PickTable{{0, 0, 0}, {-0.0, 0, 1}, {5, 1, 2}, {5, 1, 3}, {5, 1, 4}}));
    EXPECT_TRUE(std::signbit(same[1][0]));
    // A pile with a NaN in its position has no row: it goes last, in pick order.
    PickTable odd = {{kNan, 1, 0}, {2, 2, 0}, {1, kNan, 0}, {-HUGE_VAL, 0, 0}, {1, 1, 0}};
    up(odd);
    EXPECT_EQ(odd[0][0], -HUGE_VAL);
    EXPECT_EQ(odd[2][0], 2);
    EXPECT_TRUE(std::isnan(odd[3][0]) && std::isnan(odd[4][1]));
}

TEST(Orders, SmallTablesAndTheSizeLimit) {
    for (Order order : kOrders) {
        EXPECT_TRUE(Sorted({}, order).empty());
        EXPECT_EQ(Sorted({{3.3, -7.7, 0}}, order), (PickTable{{3.3, -7.7, 0}}));
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

TEST(RemoveDuplicatePiles, FirstOfEachExactPositionInOrder) {
    const std::pair<PickTable, PickTable> cases[] = {
        {{{1.5, 2.5, 9}}, {{1.5, 2.5, 0}}},
        {{{1, 2, 0}, {1, 2, 5}, {1, 2, 0}}, {{1, 2, 0}}},
        {{{1, 2, 0}, {1.0001, 2, 0}}, {{1, 2, 0}, {1.0001, 2, 0}}},
        {{{1, 2, 0}, {2, 1, 0}, {1, 1, 0}, {1, 2, 0}}, {{1, 2, 0}, {2, 1, 0}, {1, 1, 0}}},
        {{{0, -0.0, 3}, {-0.0, 0, 3}}, {{0, -0.0, 0}}},
        {{}, {}}};
    for (const auto& [input, expected] : cases) {
        const PickTable before = input;
        EXPECT_EQ(paixu::RemoveDuplicatePiles(input), expected);
        EXPECT_EQ(input, before);
    }
    // NaN equals nothing, itself included: every pile holding one is kept.
    const PickTable withNan = {{kNan, 1, 0}, {kNan, 1, 0}, {1, kNan, 0}, {1, kNan, 0}};
    EXPECT_EQ(paixu::RemoveDuplicatePiles(withNan).size(), 4u);

    EXPECT_EQ(paixu::RemoveDuplicatePiles(PickTable(32767, {4, 4, 0})).size(), 1u);
    EXPECT_EQ(StatusOf([] { (void)paixu::RemoveDuplicatePiles(PickTable(32768)); }),
              status::kOverflow);
}

}  // namespace
}  // namespace velmora
