// Controls named as a failure message should name them: "Option1(2)",
// "Command3", "none" for no control.
#pragma once

#include <string>

#include "window/control_table.h"

namespace velmora::testing {

inline std::string ControlName(int position) {
    if (position < 0 || position >= kControlCount) return "none";
    const ControlSpec& entry = kControls[position];
    return std::string(entry.name) +
           (entry.index < 0 ? "" : "(" + std::to_string(entry.index) + ")");
}

// The option buttons `isSelected` says are selected, in table order.
template <typename IsSelected>
std::string SelectedOptions(IsSelected isSelected) {
    std::string names;
    for (int i = 0; i < kControlCount; ++i) {
        if (kControls[i].kind == ControlKind::OptionButton && isSelected(i))
            names += (names.empty() ? "" : " ") + ControlName(i);
    }
    return names;
}

}  // namespace velmora::testing
