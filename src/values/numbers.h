// Number rules shared by every command: reading the number a text starts
// with, 16-bit integer arithmetic that fails past its range, rounding half to
// even, and the text form of coordinates. Failures are raised with Fail()
// carrying status::kOverflow or status::kConversionMismatch.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

// The number a text starts with. Spaces, tabs and line feeds are skipped
// wherever they stand; an optional sign, digits, an optional "." and digits,
// an optional exponent (E or D, either case, optional sign, digits). Anything
// else ends the number; no number at all reads as 0. A value past the double
// range fails with kOverflow.
double ReadLeadingNumber(std::string_view text);

// Nearest integer, halves to even; outside -32768..32767 (or NaN) fails with
// kOverflow.
std::int16_t ToInt16(double value);

// Rounds the exact binary value to `decimals` places, exact halves to the
// even neighbour. Never reverses the order of two values.
double RoundHalfEven(double value, int decimals);

// The value rounded half to even to `decimals` places (at most 15), written
// with exactly that many decimals, "." as the point and no exponent; -0
// gives the text of 0.
std::string RoundedText(double value, int decimals);

// Text form of a coordinate: 15 significant digits, shortest form, "." as the
// decimal point, no trailing zeros; -0 gives "0".
std::string CoordinateText(double value);

// Reads back a whole field written by CoordinateText (surrounding spaces
// allowed). A field that is not a number fails with kConversionMismatch, a
// value past the double range with kOverflow.
double ReadCoordinateText(std::string_view text);

// 16-bit signed arithmetic; a result past -32768..32767 fails with kOverflow.
std::int16_t Add16(std::int16_t a, std::int16_t b);
std::int16_t Sub16(std::int16_t a, std::int16_t b);
std::int16_t CheckedInt16(long long value);

}  // namespace velmora
