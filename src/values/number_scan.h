// Scanning and conversion of decimal number text, shared by the leading-number
// reading of text boxes and the reading of stored coordinate fields.
#pragma once

#include <cstddef>
#include <string_view>

namespace velmora {

// Length of the longest prefix of `text` that is a number: optional sign,
// digits, optional "." and digits (at least one digit in all), optional
// exponent (E or D, either case, optional sign, at least one digit).
// 0 when `text` does not start with a number.
std::size_t ScanNumber(std::string_view text);

// Value of a text that ScanNumber accepted whole, correctly rounded. Past the
// double range fails with kOverflow; below it gives a signed zero.
double ConvertNumber(std::string_view number);

}  // namespace velmora
