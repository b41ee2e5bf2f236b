#include "cad/bring_forward.h"

#include <cmath>
#include <cstdint>

#include "automation/failure.h"
#include "automation/runner.h"
#include "automation/status.h"

namespace velmora {

namespace {

// A window handle as the program gives it: a 32- or 64-bit integer (which
// the automation layer may hand on as a double), never a fraction.
std::int64_t WindowHandle(const Variant& value) {
    const double number = value.ToDouble();
    // 2^63, the first double past the 64-bit range.
    constexpr double kPast = 9223372036854775808.0;
    if (!(number >= -kPast && number < kPast) || std::trunc(number) != number) {
        Fail(status::kTypeMismatch, "window handle " + Describe(value));
    }
    return static_cast<std::int64_t>(number);
}

}  // namespace

void BringCadForward(const CadSession& session, const WindowServices& services) {
    // Without a view that can bring a window forward, AutoCAD is not asked.
    if (!services.bringToFront) return;
    // A runner of its own: the command's LastError, which the pass tests for
    // 0x80020009, never sees this step.
    ContinueOnFailure own;
    own.Run([&] {
        const std::int64_t handle = WindowHandle(Get(session.cadApplication, "HWND"));
        if (handle != 0) services.bringToFront(handle);
    });
}

}  // namespace velmora
