// The text form of coordinates kept in the pile register, reading it back,
// and the rounding to 3 decimal places done on export.
// - Any double: its text is plain ("." decimal point, no trailing zeros or
//   point) and reads back to a value with the same 15 significant digits
//   (except within rounding of the largest doubles, which read as overflow).
// - Any text as a register field: it reads as a finite number or fails with
//   the conversion or overflow status, never anything else.
// - Rounding to 3 places agrees with the C library's correctly rounded
//   "%.3f", which also takes an exact half to the even neighbour.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "automation/failure.h"
#include "automation/status.h"
#include "fuzz_check.h"
#include "values/numbers.h"

namespace {

using namespace velmora;

std::string Digits15(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14e", value);
    return buffer;
}

void CheckPlainText(const std::string& text) {
    FUZZ_CHECK(!text.empty());
    for (char c : text) {
        FUZZ_CHECK((c >= '0' && c <= '9') || c == '.' || c == '-' || c == 'e' || c == '+');
    }
    const std::string mantissa = text.substr(0, text.find('e'));
    if (mantissa.find('.') != std::string::npos) {
        FUZZ_CHECK(mantissa.back() != '0' && mantissa.back() != '.');
    }
}

void CheckRoundTrip(double value) {
    const std::string text = CoordinateText(value);
    CheckPlainText(text);
    if (value == 0) {
        FUZZ_CHECK(text == "0");
        return;
    }
    // Within half a unit of the 15th digit of the largest double the text
    // stands for a number past the double range; reading it back is then
    // the overflow failure, never another value.
    if (std::isinf(std::strtod(Digits15(value).c_str(), nullptr))) {
        try {
            ReadCoordinateText(text);
            FUZZ_CHECK(false);
        } catch (const Failure& failure) {
            FUZZ_CHECK(failure.Status() == status::kOverflow);
        }
        return;
    }
    const double back = ReadCoordinateText(text);
    FUZZ_CHECK(Digits15(back) == Digits15(value));
    FUZZ_CHECK(CoordinateText(back) == text);
}

void CheckRounding(double value) {
    const double rounded = RoundHalfEven(value, 3);
    if (!std::isfinite(value)) {
        FUZZ_CHECK(std::isnan(value) ? std::isnan(rounded) : rounded == value);
        return;
    }
    // "%.3f" of the largest doubles needs over 300 digits.
    static char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.3f", value);
    const double expected = std::strtod(buffer, nullptr);
    FUZZ_CHECK(rounded == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size >= sizeof(double)) {
        double value;
        std::memcpy(&value, data, sizeof value);
        if (std::isfinite(value)) CheckRoundTrip(value);
        CheckRounding(value);
    }

    const std::string_view field(reinterpret_cast<const char*>(data), size);
    try {
        const double value = ReadCoordinateText(field);
        FUZZ_CHECK(std::isfinite(value));
        CheckRoundTrip(value);
        CheckRounding(value);
    } catch (const Failure& failure) {
        FUZZ_CHECK(failure.Status() == status::kConversionMismatch ||
                   failure.Status() == status::kOverflow);
    }
    return 0;
}
