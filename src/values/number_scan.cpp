#include "values/number_scan.h"

#include <charconv>
#include <string>
#include <system_error>

#include "automation/failure.h"
#include "automation/status.h"

namespace velmora {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t SkipDigits(std::string_view text, std::size_t at) {
    while (at < text.size() && IsDigit(text[at])) ++at;
    return at;
}

bool IsExponentLetter(char c) { return c == 'e' || c == 'E' || c == 'd' || c == 'D'; }

bool IsSign(char c) { return c == '+' || c == '-'; }

// Rough decimal magnitude of a scanned number: the power of ten of its first
// significant digit, plus one. Only its sign matters, to tell an overflow from
// an underflow, so the exponent saturates instead of overflowing.
long long DecimalMagnitude(std::string_view number) {
    std::size_t at = IsSign(number[0]) ? 1 : 0;
    long long magnitude = 0;
    bool seenDot = false;
    bool seenSignificant = false;
    for (; at < number.size() && !IsExponentLetter(number[at]); ++at) {
        if (number[at] == '.') {
            seenDot = true;
        } else if (!seenSignificant && number[at] == '0') {
            if (seenDot) --magnitude;
        } else {
            seenSignificant = true;
            if (!seenDot) ++magnitude;
        }
    }
    if (at < number.size()) {
        ++at;
        const bool negative = number[at] == '-';
        if (IsSign(number[at])) ++at;
        long long exponent = 0;
        for (; at < number.size() && exponent < 1'000'000'000; ++at) {
            exponent = exponent * 10 + (number[at] - '0');
        }
        magnitude += negative ? -exponent : exponent;
    }
    return magnitude;
}

}  // namespace

std::size_t ScanNumber(std::string_view text) {
    std::size_t at = 0;
    if (at < text.size() && IsSign(text[at])) ++at;
    const std::size_t intStart = at;
    at = SkipDigits(text, at);
    bool anyDigit = at > intStart;
    if (at < text.size() && text[at] == '.') {
        const std::size_t fracStart = at + 1;
        const std::size_t fracEnd = SkipDigits(text, fracStart);
        if (anyDigit || fracEnd > fracStart) {
            anyDigit = true;
            at = fracEnd;
        }
    }
    if (!anyDigit) return 0;
    if (at < text.size() && IsExponentLetter(text[at])) {
        std::size_t expAt = at + 1;
        if (expAt < text.size() && IsSign(text[expAt])) ++expAt;
        const std::size_t expEnd = SkipDigits(text, expAt);
        if (expEnd > expAt) at = expEnd;  // an exponent without digits is not part of it
    }
    return at;
}

double ConvertNumber(std::string_view number) {
    // from_chars takes neither a leading "+" nor the letter D.
    std::string copy(number.substr(!number.empty() && number[0] == '+' ? 1 : 0));
    for (char& c : copy) {
        if (c == 'd' || c == 'D') c = 'e';
    }
    double value = 0;
    const auto [end, error] = std::from_chars(copy.data(), copy.data() + copy.size(), value);
    if (error == std::errc::result_out_of_range) {
        if (DecimalMagnitude(copy) > 0) Fail(status::kOverflow, "number past the double range");
        return copy[0] == '-' ? -0.0 : 0.0;
    }
    if (error != std::errc() || end != copy.data() + copy.size()) {
        Fail(status::kConversionMismatch, "not a number");
    }
    return value;
}

}  // namespace velmora
