// What an array from another program must be before its elements are read:
// one dimension, elements of the type and size its value claims, bounds
// that make sense. The COM backend fills the header from the SAFEARRAY's own
// accessors; anything else fails with a status, as a value of the wrong
// type does, instead of reading past the array.
#pragma once

#include <cstddef>
#include <cstdint>

namespace velmora {

struct ArrayHeader {
    std::uint32_t dimensions = 0;
    // The array's own element type (a VARTYPE), or 0 when the array does
    // not say (SafeArrayGetVartype fails for an array made without it).
    std::uint16_t elementType = 0;
    std::uint32_t elementSize = 0;  // bytes per element
    std::int32_t lower = 0;
    std::int32_t upper = -1;
};

// The element type an array must hold to be read as `expectedType`
// elements of `expectedSize` bytes: an array that does not say its type is
// taken by its size alone, and never as an array of variants, whose
// elements hold pointers.
struct ArrayElements {
    std::uint16_t type;
    std::uint32_t size;
    bool variants;
};

// The number of elements, upper − lower + 1 worked out in 64 bits (0 for an
// empty array, whose upper bound is lower − 1). Fails with the type-mismatch
// status for more than one dimension, another element type or size, or
// bounds that describe fewer than no elements.
std::size_t CheckedElementCount(const ArrayHeader& header, const ArrayElements& expected);

}  // namespace velmora
