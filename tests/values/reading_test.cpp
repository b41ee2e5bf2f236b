#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "status_of.h"
#include "values/numbers.h"

namespace velmora {
namespace {

using testing::StatusOf;

TEST(ReadLeadingNumber, ReadsTheLongestLeadingNumber) {
    struct Case {
        std::string text;
        double expected;
    };
    const Case cases[] = {
        {"2.5", 2.5},
        {"1 2", 12},
        {"12abc", 12},
        {"1.2.3", 1.2},
        {"", 0},
        {"abc", 0},
        {"  \t\n 7", 7},
        {"3\t.\n2 5", 3.25},
        {"1,5", 1},
        {"1e", 1},
        {"1e+", 1},
        {"1ex3", 1},
        {"2E3", 2000},
        {"2e-3", 0.002},
        {"1D2", 100},
        {"1d+2", 100},
        {"1 e 2", 100},
        {".5", 0.5},
        {"-.5", -0.5},
        {"5.", 5},
        {"+", 0},
        {"-", 0},
        {".", 0},
        {"-.e5", 0},
        {"+8", 8},
        {"- 8", -8},
        {"--8", 0},
        {"0x10", 0},
        {"1\r2", 1},  // only spaces, tabs and line feeds are skipped
        {"1e-400", 0},
        {"4e-320", 4e-320},
        {"0e99999", 0},
        {"1.7976931348623157e308", 1.7976931348623157e308},
        {"12\xff\xfe", 12},
        {"\xe4\xb8\x80"
         "5",
         0},
        {"0.1", 0.1},
        {"123456789012345678901234567890", 123456789012345678901234567890.0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadLeadingNumber(c.text), c.expected) << '"' << c.text << '"';
    }
}

TEST(ReadLeadingNumber, FailsOnlyPastTheDoubleRange) {
    for (const char* text : {"1e400", "-1e400", "1.8e308", "1e99999999999999999999999"}) {
        EXPECT_EQ(StatusOf([&] { (void)ReadLeadingNumber(text); }), status::kOverflow) << text;
    }
    // A long run of zeros before the digits is small, not large.
    const std::string tiny = "0." + std::string(400, '0') + "1e300";
    EXPECT_EQ(ReadLeadingNumber(tiny), 1e-101);
    const std::string huge = "1" + std::string(400, '0') + "e-50";
    EXPECT_EQ(StatusOf([&] { (void)ReadLeadingNumber(huge); }), status::kOverflow);
    EXPECT_EQ(ReadLeadingNumber("1" + std::string(400, '0') + "e-390"), 1e10);
    EXPECT_EQ(ReadLeadingNumber("1e-99999999999999999999999"), 0);
}

TEST(ReadLeadingNumber, LongTextsAreExactAndLinear) {
    // 10 000 digits must round correctly: 0.1 followed by zeros and a final 1
    // lies just above 0.1 but far closer to it than to the next double.
    const std::string digits = "0.1" + std::string(9996, '0') + "1";
    EXPECT_EQ(ReadLeadingNumber(digits), 0.1);
    // Halfway between 1 and the next double, then a nonzero digit far out:
    // must round up, which a digit-by-digit accumulation gets wrong.
    const std::string justAboveHalf =
        "1.00000000000000011102230246251565404236316680908203125" + std::string(9000, '0') + "1";
    EXPECT_EQ(ReadLeadingNumber(justAboveHalf), std::nextafter(1.0, 2.0));

    // A megabyte of spaced digits is read in one sweep (a quadratic clean-up
    // would make this test crawl).
    std::string spaced = "0.";
    for (int i = 0; i < 500'000; ++i) spaced += "3 ";
    EXPECT_EQ(ReadLeadingNumber(spaced), 1.0 / 3);
}

TEST(CoordinateText, WritesFifteenDigitsShortestAndReadsBack) {
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {
        {12.5, "12.5"},
        {-0.25, "-0.25"},
        {0, "0"},
        {-0.0, "0"},
        {100, "100"},
        {-3, "-3"},
        {0.1, "0.1"},
        {123456.789, "123456.789"},
        {3512345.678901234, "3512345.67890123"},
        {1.0 / 3, "0.333333333333333"},
        {2.0 / 3, "0.666666666666667"},
        {999999999999999.0, "999999999999999"},
        {0.0001, "0.0001"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CoordinateText(c.value), c.text) << c.text;
        EXPECT_EQ(ReadCoordinateText(c.text), c.value == 0 ? 0 : std::stod(c.text)) << c.text;
    }
    // Magnitudes needing an exponent still come back as the same number.
    for (double value : {1e-5, -2.5e-12, 1.5e20, 1e300, -4e-320}) {
        const std::string text = CoordinateText(value);
        EXPECT_EQ(ReadCoordinateText(text), value) << text;
    }
    // Every value comes back within 15 significant digits.
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> coordinates(-5e6, 5e6);
    for (int i = 0; i < 2000; ++i) {
        const double value = coordinates(random);
        const double back = ReadCoordinateText(CoordinateText(value));
        EXPECT_LE(std::fabs(back - value), std::fabs(value) * 5e-15) << value;
        EXPECT_EQ(CoordinateText(back), CoordinateText(value));
    }
}

TEST(ReadCoordinateText, WholeFieldMustBeANumber) {
    EXPECT_EQ(ReadCoordinateText("  -12.5\t"), -12.5);
    EXPECT_EQ(ReadCoordinateText("+7"), 7);
    EXPECT_EQ(ReadCoordinateText("1e-400"), 0);
    for (const char* text :
         {"", "   ", "abc", "1x", "1 2", "1,5", "1e", "-", ".", "nan", "inf", "0x1p3", "12\xff"}) {
        EXPECT_EQ(StatusOf([&] { (void)ReadCoordinateText(text); }), status::kConversionMismatch)
            << '"' << text << '"';
    }
    EXPECT_EQ(StatusOf([] { (void)ReadCoordinateText("1e400"); }), status::kOverflow);
    EXPECT_EQ(StatusOf([] { (void)ReadCoordinateText("-1e400"); }), status::kOverflow);
}

}  // namespace
}  // namespace velmora
