// The text form in which coordinates are stored, and reading it back.
#include <charconv>
#include <cmath>

#include "automation/failure.h"
#include "automation/status.h"
#include "values/number_scan.h"
#include "values/numbers.h"

namespace velmora {

std::string CoordinateText(double value) {
    if (value == 0) return "0";  // also for -0
    // General format with 15 significant digits drops trailing zeros and the
    // trailing point; magnitudes below 1e-4 or from 1e15 on get an exponent
    // ("1e-05", "1.5e+20"), which ReadCoordinateText reads back.
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    return std::string(buffer, result.ptr);
}

std::string RoundedText(double value, int decimals) {
    // Adding 0 turns -0 into 0; the largest double has 309 whole digits.
    const double rounded = RoundHalfEven(value, decimals) + 0.0;
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, rounded, std::chars_format::fixed, decimals);
    return std::string(buffer, result.ptr);
}

double ReadCoordinateText(std::string_view text) {
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
    // The whole field must be one number; "nan" and "inf" are not coordinates.
    if (text.empty() || ScanNumber(text) != text.size()) {
        Fail(status::kConversionMismatch, "field is not a number");
    }
    return ConvertNumber(text);
}

}  // namespace velmora
