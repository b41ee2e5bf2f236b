// The status an automation step fails with, for compact assertions.
#pragma once

#include <cstdint>

#include "automation/failure.h"
#include "automation/status.h"

namespace velmora::testing {

// The failure's status, or kOk when the step does not fail.
template <class Step>
std::uint32_t StatusOf(Step&& step) {
    try {
        step();
    } catch (const Failure& failure) {
        return failure.Status();
    }
    return status::kOk;
}

}  // namespace velmora::testing
