#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "automation/failure.h"
#include "automation/status.h"
#include "ordering/paixu.h"

namespace velmora {
namespace {

using Order = void (*)(PickTable&);

struct NamedOrder {
    const char* name;
    Order order;
};

const NamedOrder kOrders[] = {
    {"top-bottom left-right", paixu::SortTopToBottomLeftToRight},
    {"bottom-top left-right", paixu::SortBottomToTopLeftToRight},
    {"right-left top-bottom", paixu::SortRightToLeftTopToBottom},
    {"right-left bottom-top", paixu::SortRightToLeftBottomToTop},
};

PickTable Piles(std::initializer_list<std::array<double, 2>> positions) {
    PickTable table;
    for (const auto& [north, east] : positions) table.push_back({north, east, 0.0});
    return table;
}

PickTable Sorted(PickTable table, Order order) {
    order(table);
    return table;
}

TEST(Orders, FourCornersInEveryPickOrder) {
    const PickTable expected[] = {
        Piles({{10, 0}, {10, 10}, {0, 0}, {0, 10}}),
        Piles({{0, 0}, {0, 10}, {10, 0}, {10, 10}}),
        Piles({{10, 10}, {10, 0}, {0, 10}, {0, 0}}),
        Piles({{0, 10}, {0, 0}, {10, 10}, {10, 0}}),
    };
    PickTable picked = Piles({{0, 0}, {0, 10}, {10, 0}, {10, 10}});
    std::sort(picked.begin(), picked.end());
    do {
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(Sorted(picked, kOrders[i].order), expected[i]) << kOrders[i].name;
        }
    } while (std::next_permutation(picked.begin(), picked.end()));
}

TEST(Orders, RowsAreNorthRoundedToATenthHalfToEven) {
    const Order up = paixu::SortBottomToTopLeftToRight;
    const Order down = paixu::SortTopToBottomLeftToRight;
    // 0.02 apart but in rows 10.0 and 10.1: the row decides, not east.
    EXPECT_EQ(Sorted(Piles({{10.06, 0}, {10.04, 5}}), up), Piles({{10.04, 5}, {10.06, 0}}));
    // 0.08 apart but both in row 10.1: east decides.
    EXPECT_EQ(Sorted(Piles({{10.06, 5}, {10.14, 0}}), up), Piles({{10.14, 0}, {10.06, 5}}));
    EXPECT_EQ(Sorted(Piles({{10.14, 5}, {10.06, 0}}), down), Piles({{10.06, 0}, {10.14, 5}}));
    // 10.25 goes to 10.2 (with 10.16), 10.75 to 10.8 (with 10.84).
    EXPECT_EQ(Sorted(Piles({{10.16, 5}, {10.25, 0}}), up), Piles({{10.25, 0}, {10.16, 5}}));
    EXPECT_EQ(Sorted(Piles({{10.26, 0}, {10.25, 5}}), up), Piles({{10.25, 5}, {10.26, 0}}));
    EXPECT_EQ(Sorted(Piles({{10.84, 5}, {10.75, 0}}), up), Piles({{10.75, 0}, {10.84, 5}}));
    EXPECT_EQ(Sorted(Piles({{10.74, 0}, {10.75, 5}}), up), Piles({{10.74, 0}, {10.75, 5}}));
    // Negative north: -10.25 goes to -10.2, together with -10.16.
    EXPECT_EQ(Sorted(Piles({{-10.16, 5}, {-10.25, 0}}), up), Piles({{-10.25, 0}, {-10.16, 5}}));
    EXPECT_EQ(Sorted(Piles({{-10.26, 5}, {-10.25, 0}}), up), Piles({{-10.26, 5}, {-10.25, 0}}));
    // Rows either side of zero; -0.04 and 0.04 share row 0.
    EXPECT_EQ(Sorted(Piles({{0.04, 0}, {-0.04, 5}, {-0.06, 9}}), up),
              Piles({{-0.06, 9}, {0.04, 0}, {-0.04, 5}}));
}

TEST(Orders, EqualEastByExactNorthAndEqualPilesKeepPickOrder) {
    const PickTable picked = Piles({{10.12, 3}, {10.08, 3}});
    EXPECT_EQ(Sorted(picked, paixu::SortBottomToTopLeftToRight), Piles({{10.08, 3}, {10.12, 3}}));
    EXPECT_EQ(Sorted(picked, paixu::SortRightToLeftBottomToTop), Piles({{10.08, 3}, {10.12, 3}}));
    const PickTable reversed = Piles({{10.08, 3}, {10.12, 3}});
    EXPECT_EQ(Sorted(reversed, paixu::SortTopToBottomLeftToRight), Piles({{10.12, 3}, {10.08, 3}}));
    EXPECT_EQ(Sorted(reversed, paixu::SortRightToLeftTopToBottom), Piles({{10.12, 3}, {10.08, 3}}));

    // Identical positions stay together in pick order; slot 2 tells them
    // apart here only to show that it stays at its index, not with the pile.
    PickTable same = {{5, 1, 0}, {5, 1, 1}, {0, 0, 2}, {5, 1, 3}, {-0.0, 0, 4}};
    paixu::SortBottomToTopLeftToRight(same);
    EXPECT_EQ(same, (PickTable{{0, 0, 0}, {-0.0, 0, 1}, {5, 1, 2}, {5, 1, 3}, {5, 1, 4}}));
    EXPECT_TRUE(std::signbit(same[1][0]));  // 0 and -0 are equal: pick order kept
}

TEST(Orders, SmallTablesAndTheSizeLimit) {
    for (const NamedOrder& named : kOrders) {
        PickTable empty;
        named.order(empty);
        EXPECT_TRUE(empty.empty());
        const PickTable one = {{3.3, -7.7, 0}};
        EXPECT_EQ(Sorted(one, named.order), one) << named.name;

        // 32768 piles are accepted; one more fails before anything moves.
        PickTable largest(32768);
        for (std::size_t k = 0; k < largest.size(); ++k) largest[k] = {double(k % 97), 1, 0};
        named.order(largest);
        EXPECT_EQ(largest.front()[0], named.order == paixu::SortBottomToTopLeftToRight ||
                                              named.order == paixu::SortRightToLeftBottomToTop
                                          ? 0
                                          : 96);
        PickTable tooMany(32769);
        for (std::size_t k = 0; k < tooMany.size(); ++k) tooMany[k] = {double(k % 97), 1, 0};
        const PickTable before = tooMany;
        try {
            named.order(tooMany);
            ADD_FAILURE() << named.name << " accepted 32769 piles";
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.Status(), status::kOverflow);
        }
        EXPECT_EQ(tooMany, before) << named.name;
    }
}

TEST(Orders, PilesWithoutAUsablePositionGoLastInPickOrder) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    PickTable table = {{nan, 1, 0}, {2, 2, 0}, {1, nan, 0}, {inf, 0, 0}, {-inf, 0, 0}, {1, 1, 0}};
    paixu::SortBottomToTopLeftToRight(table);
    EXPECT_EQ(table[0][0], -inf);
    EXPECT_EQ(table[1][0], 1);
    EXPECT_EQ(table[2][0], 2);
    EXPECT_EQ(table[3][0], inf);
    EXPECT_TRUE(std::isnan(table[4][0]));
    EXPECT_EQ(table[5][0], 1);
    EXPECT_TRUE(std::isnan(table[5][1]));
}

}  // namespace
}  // namespace velmora
