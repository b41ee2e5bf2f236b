#include "automation/failure.h"

#include <cstdio>

namespace velmora {

std::string StatusText(std::uint32_t status) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%08X", static_cast<unsigned>(status));
    return buffer;
}

Failure::Failure(std::uint32_t status, const std::string& detail)
    : status_(status), message_(StatusText(status)) {
    if (!detail.empty()) {
        message_ += ": ";
        message_ += detail;
    }
}

void Fail(std::uint32_t status, const std::string& detail) { throw Failure(status, detail); }

}  // namespace velmora
