// Rounding to a number of decimal places, decided on the exact binary value.
#include <array>
#include <charconv>
#include <cmath>
#include <utility>

#include "automation/failure.h"
#include "automation/status.h"
#include "values/numbers.h"

namespace velmora {
namespace {

constexpr int kMaxDecimals = 15;

// 10^0 … 10^15, each exactly a double.
constexpr std::array<double, kMaxDecimals + 1> kPowersOfTen = {
    1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

// Below 2^52 every double has a binary point with room for a half.
constexpr double kHalvesRepresentable = 0x1p52;

// to_chars with a precision writes the exact value rounded to that many
// places, a half to the even digit (as printf in the C locale does);
// from_chars reads the decimal back as the nearest double.
double RoundThroughText(double value, int decimals) {
    std::array<char, 400> text{};  // the largest doubles have 309 digits
    const std::to_chars_result written = std::to_chars(text.data(), text.data() + text.size(),
                                                       value, std::chars_format::fixed, decimals);
    double rounded = value;
    std::from_chars(text.data(), written.ptr, rounded);
    return rounded;
}

// The exact error of the product a·b rounded to a double (Dekker's
// product): each factor split into halves of 26 bits, whose products are
// exact. Plain arithmetic, as fma is slow where the processor lacks it.
double ProductError(double a, double b, double product) {
    const auto split = [](double x) {
        const double c = 0x1p27 * x + x;  // 2^27 + 1
        const double high = c - (c - x);
        return std::pair(high, x - high);
    };
    const auto [aHigh, aLow] = split(a);
    const auto [bHigh, bLow] = split(b);
    return ((aHigh * bHigh - product) + aHigh * bLow + aLow * bHigh) + aLow * bLow;
}

}  // namespace

double RoundHalfEven(double value, int decimals) {
    if (decimals < 0 || decimals > kMaxDecimals) {
        Fail(status::kInvalidArg, "decimal places out of range");
    }
    if (!std::isfinite(value) || value == 0) return value;
    // Most values are settled by their product with the power of ten. The
    // product is the exact one rounded once, and below 2^52 that rounding
    // cannot carry it past a half, which is a double there: unless it lands
    // on a half, it lies on the exact value's side. Its nearest integer over
    // the power of ten, both exact, is then divided once to the nearest
    // double, as the text would be read back.
    const double power = kPowersOfTen[decimals];
    const double scaled = value * power;
    if (std::fabs(scaled) >= kHalvesRepresentable) return RoundThroughText(value, decimals);
    const double whole = std::round(scaled);
    if (std::fabs(scaled - whole) != 0.5) return whole / power;
    // On a half: the product's rounding error says on which side of it the
    // exact value lies; none means a true half, which goes to the even
    // neighbour.
    const double error = ProductError(value, power, scaled);
    const double below = std::floor(scaled);
    const bool odd = std::floor(below / 2) != below / 2;
    const bool up = error > 0 || (error == 0 && odd);
    return (up ? below + 1 : below) / power;
}

}  // namespace velmora
