#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "status_of.h"
#include "values/numbers.h"

namespace velmora {
namespace {

using testing::StatusOf;

TEST(ToInt16, RoundsHalvesToEvenAndFailsOutsideTheRange) {
    struct Case {
        double value;
        int expected;
    };
    const Case cases[] = {
        {2.5, 2},       {3.5, 4},         {0.5, 0},         {7.9, 8},           {-2.5, -2},
        {-3.5, -4},     {1.5, 2},         {-0.5, 0},        {2.4999999, 2},     {2.5000001, 3},
        {32767, 32767}, {32767.4, 32767}, {-32768, -32768}, {-32768.5, -32768}, {-0.0, 0},
        {1e-300, 0},    {0, 0},           {32766.5, 32766},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ToInt16(c.value), c.expected) << c.value;
    }
    for (double value :
         {32767.5, 32768.0, -32768.51, -32769.0, 1e300, -1e300,
          std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
          std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_EQ(StatusOf([&] { (void)ToInt16(value); }), status::kOverflow) << value;
    }
}

TEST(Int16Arithmetic, FailsExactlyPastTheRange) {
    EXPECT_EQ(Add16(32766, 1), 32767);
    EXPECT_EQ(Add16(-32767, -1), -32768);
    EXPECT_EQ(Add16(32767, -32768), -1);
    EXPECT_EQ(Sub16(-32767, 1), -32768);
    EXPECT_EQ(Sub16(0, 32767), -32767);
    EXPECT_EQ(Sub16(-1, -32768), 32767);
    EXPECT_EQ(CheckedInt16(-32768), -32768);
    EXPECT_EQ(CheckedInt16(32767), 32767);

    EXPECT_EQ(StatusOf([] { (void)Add16(32767, 1); }), status::kOverflow);
    EXPECT_EQ(StatusOf([] { (void)Add16(-32768, -1); }), status::kOverflow);
    EXPECT_EQ(StatusOf([] { (void)Sub16(-32768, 1); }), status::kOverflow);
    EXPECT_EQ(StatusOf([] { (void)Sub16(0, -32768); }), status::kOverflow);
    EXPECT_EQ(StatusOf([] { (void)CheckedInt16(32768); }), status::kOverflow);
    EXPECT_EQ(StatusOf([] { (void)CheckedInt16(-32769); }), status::kOverflow);
    // Large 64-bit values must not wrap into range.
    EXPECT_EQ(StatusOf([] { (void)CheckedInt16(65536LL * 65536 + 5); }), status::kOverflow);
    EXPECT_EQ(StatusOf([] { (void)CheckedInt16(std::numeric_limits<long long>::min()); }),
              status::kOverflow);
}

}  // namespace
}  // namespace velmora
