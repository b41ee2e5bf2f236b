#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "automation/failure.h"
#include "automation/status.h"
#include "ordering/paixu.h"

namespace velmora {
namespace {

using paixu::RemoveDuplicatePiles;

TEST(RemoveDuplicatePiles, KeepsTheFirstOfEachExactPosition) {
    struct Case {
        const char* what;
        PickTable input;
        PickTable expected;
    };
    const Case cases[] = {
        {"one pile, slot 2 cleared", {{1.5, 2.5, 9}}, {{1.5, 2.5, 0}}},
        {"all at one position", {{1, 2, 0}, {1, 2, 5}, {1, 2, 0}}, {{1, 2, 0}}},
        {"no tolerance", {{1, 2, 0}, {1.0001, 2, 0}}, {{1, 2, 0}, {1.0001, 2, 0}}},
        {"not neighbours: A B A", {{1, 1, 0}, {2, 2, 0}, {1, 1, 0}}, {{1, 1, 0}, {2, 2, 0}}},
        {"north and east both count",
         {{1, 2, 0}, {2, 1, 0}, {1, 1, 0}, {2, 2, 0}},
         {{1, 2, 0}, {2, 1, 0}, {1, 1, 0}, {2, 2, 0}}},
        {"order kept",
         {{3, 0, 7}, {1, 0, 7}, {3, 0, 7}, {2, 0, 7}, {1, 0, 7}},
         {{3, 0, 0}, {1, 0, 0}, {2, 0, 0}}},
        {"empty", {}, {}},
    };
    for (const Case& c : cases) {
        const PickTable before = c.input;
        EXPECT_EQ(RemoveDuplicatePiles(c.input), c.expected) << c.what;
        EXPECT_EQ(c.input, before) << c.what;
    }
}

TEST(RemoveDuplicatePiles, SignedZeroMatchesAndNanNeverDoes) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const PickTable zeros = {{0.0, -0.0, 0}, {-0.0, 0.0, 0}, {-0.0, -0.0, 0}};
    const PickTable kept = RemoveDuplicatePiles(zeros);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_TRUE(std::signbit(kept[0][1]));  // the first pile's own values

    // NaN equals nothing, itself included: every pile holding one is kept.
    const PickTable withNan = {{nan, 1, 0}, {nan, 1, 0}, {1, nan, 0}, {1, nan, 0}, {1, 1, 0}};
    EXPECT_EQ(RemoveDuplicatePiles(withNan).size(), 5u);
}

TEST(RemoveDuplicatePiles, AtMost32767Piles) {
    PickTable largest(32767, {4, 4, 0});
    EXPECT_EQ(RemoveDuplicatePiles(largest).size(), 1u);
    for (std::size_t k = 0; k < largest.size(); ++k) largest[k] = {double(k), -double(k), 0};
    EXPECT_EQ(RemoveDuplicatePiles(largest).size(), 32767u);

    const PickTable tooMany(32768, {4, 4, 0});
    try {
        (void)RemoveDuplicatePiles(tooMany);
        ADD_FAILURE() << "accepted 32768 piles";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.Status(), status::kOverflow);
    }
}

}  // namespace
}  // namespace velmora
