// Selection filters as SelectOnScreen takes them: parallel arrays of group
// codes and values. Supported: 0 (entity type), 8 (layer) and 2 (a block
// reference's block name), each a wild-card pattern matched without regard
// to case, and -4 with "<or"/"or>", "<and"/"and>", "<not"/"not>", nested.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "automation/variant.h"
#include "standins/drawing/drawing.h"
#include "standins/drawing/wildcard.h"

namespace velmora::standins {

struct FilterItem {
    std::int16_t code = 0;
    std::string value;
    WildcardPattern pattern;  // the value read as a pattern, for codes 0, 2 and 8
};

using SelectionFilter = std::vector<FilterItem>;  // empty: everything passes

// Checks and reads the two arrays. Codes that are not an array of 16-bit
// integers, or values that are not an array of variants holding text, fail
// with the type-mismatch status; arrays of different lengths, unknown codes
// and unbalanced groups fail with the invalid-argument status.
SelectionFilter ReadSelectionFilter(const Variant& codes, const Variant& values);

bool Admits(const SelectionFilter& filter, const Entity& entity);

}  // namespace velmora::standins
