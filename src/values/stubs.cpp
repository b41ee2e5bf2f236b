#include "values/numbers.h"
namespace velmora {
double ReadLeadingNumber(std::string_view) { return 0; }
double RoundHalfEven(double value, int) { return value; }
std::string CoordinateText(double) { return "0"; }
double ReadCoordinateText(std::string_view) { return 0; }
}  // namespace velmora
