// The failure status an expression raises, or kOk when it raises none.
#pragma once

#include "automation/failure.h"
#include "automation/status.h"

namespace velmora::testing {

template <typename Step>
std::uint32_t StatusOf(Step&& step) {
    try {
        step();
    } catch (const Failure& failure) {
        return failure.Status();
    }
    return status::kOk;
}

}  // namespace velmora::testing
