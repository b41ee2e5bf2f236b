#include "automation/array_header.h"

#include <string>

#include "automation/failure.h"
#include "automation/status.h"

namespace velmora {

std::size_t CheckedElementCount(const ArrayHeader& header, const ArrayElements& expected) {
    if (header.dimensions != 1) {
        Fail(status::kTypeMismatch,
             "array of " + std::to_string(header.dimensions) + " dimensions");
    }
    const bool typeKnown = header.elementType != 0;
    if ((typeKnown && header.elementType != expected.type) || (!typeKnown && expected.variants)) {
        Fail(status::kTypeMismatch, "array of element type " + std::to_string(header.elementType));
    }
    if (header.elementSize != expected.size) {
        Fail(status::kTypeMismatch,
             "array of " + std::to_string(header.elementSize) + "-byte elements");
    }
    const std::int64_t count = std::int64_t{header.upper} - std::int64_t{header.lower} + 1;
    if (count < 0) Fail(status::kTypeMismatch, "array bounds");
    return static_cast<std::size_t>(count);
}

}  // namespace velmora
