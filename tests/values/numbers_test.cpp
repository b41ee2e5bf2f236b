#include "values/numbers.h"

#include <gtest/gtest.h>

#include <string>

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

}  // namespace
}  // namespace velmora
