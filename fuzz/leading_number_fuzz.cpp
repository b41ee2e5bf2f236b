// The leading-number reading of the window's numeric boxes, on any text: it
// never crashes, gives a finite value (0 when there is no number) or the
// overflow failure, and agrees with the plain reference reader. The start
// number's conversion to a 16-bit integer is checked on the same value.
#include <cmath>
#include <cstdint>
#include <string_view>

#include "automation/failure.h"
#include "automation/status.h"
#include "fuzz_check.h"
#include "reference_number.h"
#include "values/numbers.h"

namespace {

using namespace velmora;

bool SameDouble(double a, double b) { return a == b && std::signbit(a) == std::signbit(b); }

void CheckInt16(double value) {
    try {
        const std::int16_t result = ToInt16(value);
        // Within half a unit, and a half goes to the even neighbour.
        const double distance = std::fabs(value - result);
        FUZZ_CHECK(distance <= 0.5);
        FUZZ_CHECK(distance < 0.5 || result % 2 == 0);
    } catch (const Failure& failure) {
        FUZZ_CHECK(failure.Status() == status::kOverflow);
        FUZZ_CHECK(!(value > -32768.5 && value < 32767.5));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const reference::Reading expected = reference::ReadLeadingNumber(text);
    try {
        const double value = ReadLeadingNumber(text);
        FUZZ_CHECK(std::isfinite(value));
        FUZZ_CHECK(expected.outcome == reference::Outcome::Value);
        // Below the normal range the two may round to zero differently;
        // elsewhere they must give the same double.
        FUZZ_CHECK(SameDouble(value, expected.value) || (expected.underflow && value == 0));
        CheckInt16(value);
    } catch (const Failure& failure) {
        FUZZ_CHECK(failure.Status() == status::kOverflow);
        FUZZ_CHECK(expected.outcome == reference::Outcome::Overflow);
    }
    return 0;
}
