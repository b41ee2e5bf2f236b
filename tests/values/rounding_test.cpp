#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

#include "status_of.h"
#include "values/numbers.h"

namespace velmora {
namespace {

using testing::StatusOf;

// Independent rounding: print the exact binary value in full, round the
// decimal digits by hand, and read the result back.
double ReferenceRound(double value, int decimals) {
    static char buffer[1500];
    std::snprintf(buffer, sizeof buffer, "%.1100f", std::fabs(value));
    std::string text = buffer;
    const std::size_t point = text.find('.');
    std::string kept = text.substr(0, point) + text.substr(point + 1, decimals);
    const std::string rest = text.substr(point + 1 + decimals);
    const bool aboveHalf =
        rest[0] > '5' || (rest[0] == '5' && rest.find_first_not_of('0', 1) != std::string::npos);
    const bool half = rest[0] == '5' && !aboveHalf;
    if (aboveHalf || (half && (kept.back() - '0') % 2 == 1)) {
        std::size_t at = kept.size();
        while (at > 0 && kept[at - 1] == '9') kept[--at] = '0';
        if (at == 0) {
            kept.insert(kept.begin(), '1');
        } else {
            ++kept[at - 1];
        }
    }
    kept.insert(kept.size() - decimals, ".");
    const double magnitude = std::strtod(kept.c_str(), nullptr);
    return value < 0 ? -magnitude : magnitude;
}

TEST(RoundHalfEven, RoundsTheExactBinaryValue) {
    struct Case {
        double value;
        int decimals;
        double expected;
    };
    const Case cases[] = {
        {1.0625, 3, 1.062},
        {1.0635, 3, 1.063},
        {10.25, 1, 10.2},
        {10.75, 1, 10.8},
        {10.35, 1, 10.3},  // 10.35 is stored a little below 10.35
        {10.65, 1, 10.7},  // and 10.65 a little above
        {2.5004, 3, 2.5},
        {-12.3456, 3, -12.346},
        {-10.25, 1, -10.2},
        {-10.75, 1, -10.8},
        {0.04, 1, 0},
        {-0.04, 1, 0},
        {0.05, 1, 0.1},
        {0.25, 1, 0.2},
        {2.5, 0, 2},
        {3.5, 0, 4},
        {-0.5, 0, 0},
        {123.0, 3, 123},
        {1e20, 3, 1e20},
        {1e-300, 3, 0},
        {4e-320, 1, 0},
        {0.0005, 3, 0.001},
        {0.0015, 3, 0.002},
        {1234567.8925, 3, 1234567.893},
        {9007199254.7405, 3, 9007199254.74},  // scaled value past 2^53
        {4503599627370495.5, 1, 4503599627370495.5},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RoundHalfEven(c.value, c.decimals), c.expected)
            << c.value << " at " << c.decimals;
    }
    EXPECT_TRUE(std::isnan(RoundHalfEven(std::numeric_limits<double>::quiet_NaN(), 3)));
    EXPECT_EQ(RoundHalfEven(std::numeric_limits<double>::infinity(), 1),
              std::numeric_limits<double>::infinity());
    EXPECT_EQ(StatusOf([] { (void)RoundHalfEven(1, -1); }), status::kInvalidArg);
    EXPECT_EQ(StatusOf([] { (void)RoundHalfEven(1, 16); }), status::kInvalidArg);
}

TEST(RoundHalfEven, AgreesWithExactDecimalRounding) {
    std::mt19937_64 random(42);
    std::uniform_real_distribution<double> coordinates(-1e7, 1e7);
    std::uniform_int_distribution<int> places(0, 6);
    std::uniform_int_distribution<long long> odd(-(1LL << 40), 1LL << 40);
    std::uniform_int_distribution<int> bits(-70, 70);
    for (int i = 0; i < 4000; ++i) {
        const int decimals = places(random);
        // Exact halves at `decimals` places are the odd multiples of 2^-(decimals+1);
        // check them and both of their neighbours.
        const double tie = std::ldexp(static_cast<double>(odd(random) | 1), -(decimals + 1));
        const double samples[] = {coordinates(random),
                                  std::ldexp(coordinates(random), bits(random)), tie,
                                  std::nextafter(tie, 1e300), std::nextafter(tie, -1e300)};
        for (double value : samples) {
            ASSERT_EQ(RoundHalfEven(value, decimals), ReferenceRound(value, decimals))
                << std::hexfloat << value << " at " << decimals;
        }
    }
    for (int decimals = 0; decimals <= 15; ++decimals) {
        for (double value : {0.1, 2.675, 1e15 + 0.3, 123456789.123456789, 5e-324}) {
            EXPECT_EQ(RoundHalfEven(value, decimals), ReferenceRound(value, decimals))
                << value << " at " << decimals;
        }
    }
}

TEST(RoundHalfEven, NeverReversesTheOrderOfTwoValues) {
    std::mt19937_64 random(5);
    std::uniform_real_distribution<double> coordinates(-1e6, 1e6);
    for (int i = 0; i < 20000; ++i) {
        const int decimals = i % 4;
        double value = coordinates(random);
        if (i % 2 == 0) value = RoundHalfEven(value, decimals + 1);  // near the boundaries
        const double above = std::nextafter(value, 1e300);
        const double below = std::nextafter(value, -1e300);
        ASSERT_LE(RoundHalfEven(below, decimals), RoundHalfEven(value, decimals)) << value;
        ASSERT_LE(RoundHalfEven(value, decimals), RoundHalfEven(above, decimals)) << value;
    }
}

}  // namespace
}  // namespace velmora
