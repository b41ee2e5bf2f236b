#include "values/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "automation/failure.h"
#include "automation/status.h"
#include "status_of.h"

namespace velmora {
namespace {

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();

using testing::StatusOf;

TEST(ReadLeadingNumber, LongestLeadingNumberAndRangeLimits) {
    // clang-format off
    const std::pair<std::string, double> cases[] = {
        {"2.5", 2.5},     {"1 2", 12}, {"12abc", 12}, {"1.2.3", 1.2},   {"", 0},
        {"3\t.\n2", 3.2}, {"1e", 1},   {"2E3", 2000}, {"1d-2", 0.01},   {".5", 0.5},
        {"+", 0},         {"1e-400", 0},  {"4e-320", 4e-320}, {"\xe4\xb8\x80+5", 0},
        {"0." + std::string(400, '0') + "1e300", 1e-101},
        {"1" + std::string(400, '0') + "e-390", 1e10}};
    // clang-format on
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(ReadLeadingNumber(text), expected) << '"' << text << '"';
    }
    for (const std::string& text : std::initializer_list<std::string>{
             "1e400", "-1.8e308", "1e99999999999999999999", "1" + std::string(400, '0') + "e-50"}) {
        EXPECT_EQ(StatusOf([&] { (void)ReadLeadingNumber(text); }), status::kOverflow) << text;
    }
    // Long texts round correctly (just past the midpoint between 1 and the
    // next double) and are read in one sweep.
    const std::string aboveHalf =
        "1.00000000000000011102230246251565404236316680908203125" + std::string(9000, '0') + "1";
    EXPECT_EQ(ReadLeadingNumber(aboveHalf), std::nextafter(1.0, 2.0));
    std::string spaced = "0.";
    for (int i = 0; i < 500'000; ++i) spaced += "3 ";
    EXPECT_EQ(ReadLeadingNumber(spaced), 1.0 / 3);
}

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

// Independent rounding for up to 4 places: the x87 long double holds
// value * 10^decimals exactly there, and nearbyintl rounds halves to even.
double ReferenceRound(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return static_cast<double>(std::nearbyintl(value * static_cast<long double>(scale))) / scale;
}

TEST(RoundHalfEven, ExactValueHalvesToEvenAndMonotone) {
    // Values whose scaled form the reference below cannot hold exactly.
    EXPECT_EQ(RoundHalfEven(1e20, 3), 1e20);
    EXPECT_EQ(RoundHalfEven(9007199254.7405, 3), 9007199254.74);
    EXPECT_TRUE(std::isnan(RoundHalfEven(kNan, 3)));
    EXPECT_EQ(StatusOf([] { (void)RoundHalfEven(1, 16); }), status::kInvalidArg);

    std::mt19937_64 random(42);
    std::uniform_real_distribution<double> coordinates(-1e7, 1e7);
    std::uniform_int_distribution<long long> odd(-(1LL << 40), 1LL << 40);
    for (int i = 0; i < 4000; ++i) {
        const int decimals = i % 5;
        // Exact halves at `decimals` places are the odd multiples of 2^-(decimals+1).
        const double tie = std::ldexp(static_cast<double>(odd(random) | 1), -(decimals + 1));
        for (double value : {coordinates(random), coordinates(random) / 1e4, tie,
                             std::nextafter(tie, 1e300), std::nextafter(tie, -1e300)}) {
            ASSERT_EQ(RoundHalfEven(value, decimals), ReferenceRound(value, decimals))
                << std::hexfloat << value << " at " << decimals;
            const double next = std::nextafter(value, 1e300);
            ASSERT_LE(RoundHalfEven(value, decimals), RoundHalfEven(next, decimals)) << value;
        }
    }
}

TEST(Int16, HalvesToEvenAndOverflowExactlyPastTheRange) {
    const std::pair<double, int> cases[] = {{2.5, 2},         {3.5, 4},          {0.5, 0},
                                            {7.9, 8},         {-2.5, -2},        {-3.5, -4},
                                            {32767.4, 32767}, {-32768.5, -32768}};
    for (const auto& [value, expected] : cases) EXPECT_EQ(ToInt16(value), expected) << value;
    for (double value : {32767.5, -32768.51, 1e300, -HUGE_VAL, kNan}) {
        EXPECT_EQ(StatusOf([&] { (void)ToInt16(value); }), status::kOverflow) << value;
    }
    EXPECT_EQ(Add16(32766, 1), 32767);
    EXPECT_EQ(Sub16(-1, -32768), 32767);
    EXPECT_EQ(CheckedInt16(-32768), -32768);
    EXPECT_EQ(StatusOf([] { (void)Add16(32767, 1); }), status::kOverflow);
    EXPECT_EQ(StatusOf([] { (void)Sub16(-32768, 1); }), status::kOverflow);
    EXPECT_EQ(StatusOf([] { (void)CheckedInt16(65536LL * 65536 + 5); }), status::kOverflow);
}

}  // namespace
}  // namespace velmora
