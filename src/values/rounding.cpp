// Rounding to a number of decimal places, decided on the exact binary value.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

#include "automation/failure.h"
#include "automation/status.h"
#include "values/numbers.h"

#ifndef __SIZEOF_INT128__
#error "RoundHalfEven needs a compiler with 128-bit integers (GCC or Clang)"
#endif

namespace velmora {
namespace {

__extension__ using Uint128 = unsigned __int128;

constexpr int kMaxDecimals = 15;

constexpr std::uint64_t Power(std::uint64_t base, int exponent) {
    std::uint64_t result = 1;
    while (exponent-- > 0) result *= base;
    return result;
}

// The double nearest to quotient / 10^decimals.
double ScaleDown(Uint128 quotient, int decimals) {
    const std::uint64_t scale = Power(10, decimals);
    if (quotient < (Uint128{1} << 53)) {
        // Both operands are exact doubles, so the division rounds once.
        return static_cast<double>(static_cast<std::uint64_t>(quotient)) /
               static_cast<double>(scale);
    }
    // Too many digits for one exact double: spell out the decimal and let
    // from_chars round it once. The whole part is below 2^53 here.
    const auto whole = static_cast<std::uint64_t>(quotient / scale);
    std::string fraction = std::to_string(static_cast<std::uint64_t>(quotient % scale));
    std::string text = std::to_string(whole) + "." +
                       std::string(static_cast<std::size_t>(decimals) - fraction.size(), '0') +
                       fraction;
    double result = 0;
    std::from_chars(text.data(), text.data() + text.size(), result);
    return result;
}

}  // namespace

double RoundHalfEven(double value, int decimals) {
    if (decimals < 0 || decimals > kMaxDecimals) {
        Fail(status::kInvalidArg, "decimal places out of range");
    }
    if (!std::isfinite(value) || value == 0) return value;

    // |value| = mantissa * 2^exponent exactly, mantissa a 53-bit integer.
    int binaryExponent = 0;
    const double fraction = std::frexp(std::fabs(value), &binaryExponent);
    const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    const int exponent = binaryExponent - 53;

    // |value| * 10^decimals = mantissa * 5^decimals * 2^(exponent + decimals).
    // With no negative power of two left it is a whole number: nothing to round.
    const int shift = -(exponent + decimals);
    if (shift <= 0) return value;

    const Uint128 scaled = Uint128{mantissa} * Power(5, decimals);  // below 2^88
    Uint128 quotient = 0;
    if (shift < 128) {
        quotient = scaled >> shift;
        const Uint128 remainder = scaled - (quotient << shift);
        const Uint128 half = Uint128{1} << (shift - 1);
        if (remainder > half || (remainder == half && (quotient & 1) != 0)) ++quotient;
    }
    // Halves to even is symmetric, so the sign is put back last.
    const double magnitude = ScaleDown(quotient, decimals);
    return value < 0 ? -magnitude : magnitude;
}

}  // namespace velmora
