// 16-bit signed arithmetic with the overflow failure of the runtime.
#include <cmath>
#include <limits>

#include "automation/failure.h"
#include "automation/status.h"
#include "values/numbers.h"

namespace velmora {

std::int16_t CheckedInt16(long long value) {
    if (value < std::numeric_limits<std::int16_t>::min() ||
        value > std::numeric_limits<std::int16_t>::max()) {
        Fail(status::kOverflow, "integer out of 16-bit range");
    }
    return static_cast<std::int16_t>(value);
}

std::int16_t Add16(std::int16_t a, std::int16_t b) {
    return CheckedInt16(static_cast<long long>(a) + b);
}

std::int16_t Sub16(std::int16_t a, std::int16_t b) {
    return CheckedInt16(static_cast<long long>(a) - b);
}

std::int16_t ToInt16(double value) {
    // Checked before rounding so that huge values and NaN never reach the cast.
    if (!(value >= -32768.5 && value <= 32767.5)) {
        Fail(status::kOverflow, "value out of 16-bit range");
    }
    // nearbyint rounds halves to even in the default rounding mode.
    return CheckedInt16(static_cast<long long>(std::nearbyint(value)));
}

}  // namespace velmora
