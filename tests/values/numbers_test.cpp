#include "values/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>

#include "automation/failure.h"
#include "automation/status.h"
#include "status_of.h"

namespace velmora {
namespace {

using testing::StatusOf;

TEST(CoordinateText, FifteenDigitsShortestFormAndBack) {
    // clang-format off
    const std::pair<double, const char*> cases[] = {
        {12.5, "12.5"}, {-0.25, "-0.25"}, {0, "0"}, {-0.0, "0"}, {100, "100"},
        {2.0 / 3, "0.666666666666667"}, {3512345.678901234, "3512345.67890123"}};
    // clang-format on
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(CoordinateText(value), text);
        EXPECT_EQ(ReadCoordinateText(text), std::stod(text));
    }
    for (double value : {1e-5, -2.5e-12, 1.5e20, -4e-320}) {
        EXPECT_EQ(ReadCoordinateText(CoordinateText(value)), value) << CoordinateText(value);
    }
    EXPECT_EQ(ReadCoordinateText(" +7\t"), 7);
    for (const char* text : {"", " ", "abc", "1x", "1 2", "1,5", "1e", ".", "nan", "inf"}) {
        EXPECT_EQ(StatusOf([&] { (void)ReadCoordinateText(text); }), status::kConversionMismatch)
            << '"' << text << '"';
    }
    EXPECT_EQ(StatusOf([] { (void)ReadCoordinateText("-1e400"); }), status::kOverflow);
}

// Rounding decides on the exact binary value: halves to the even digit,
// values just beside a half by the side they lie on, whatever their
// product with the power of ten rounds to.
TEST(RoundHalfEven, DecidesOnTheExactValue) {
    const std::tuple<const char*, double, int, double> cases[] = {
        {"a half, to the even digit below", 1.0625, 3, 1.062},
        {"a negative coordinate", -487123.4566, 3, -487123.457},
        {"just below a half, its product a half", 1.0005, 3, 1.0},
        {"a coordinate just below a half", 3512345.6785, 3, 3512345.678},
        {"past 2^52 thousandths", 5191202674094.565, 3, 5191202674094.565},
        {"past 2^52 tenths, to the double nearest the text", 500000000000000.0625, 1,
         500000000000000.1},
        {"a whole number of 301 digits", 1e300, 3, 1e300},
    };
    for (const auto& [name, value, decimals, rounded] : cases) {
        EXPECT_EQ(RoundHalfEven(value, decimals), rounded) << name;
    }
    EXPECT_TRUE(std::signbit(RoundHalfEven(-0.0004, 3)));  // rounds to -0, as the sign says
    EXPECT_TRUE(std::isnan(RoundHalfEven(NAN, 3)));
    for (int decimals : {-1, 16}) {
        EXPECT_EQ(StatusOf([&] { (void)RoundHalfEven(1, decimals); }), status::kInvalidArg)
            << decimals << " places";
    }
}

}  // namespace
}  // namespace velmora
