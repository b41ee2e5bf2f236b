// What the controls hold while the window is open: the text of every text
// box and whether each option button is selected, indexed like kControls.
// The window keeps no other copy of its settings.
#pragma once

#include <array>
#include <string>

#include "window/control_table.h"

namespace velmora {

struct ControlValues {
    std::array<std::string, kControlCount> text;
    std::array<bool, kControlCount> selected{};
};

// The defaults of the table.
ControlValues InitialControlValues();

// Selects an option button and clears the other option buttons of its own
// container only: groups go by container, not by control array.
void SelectOption(ControlValues& values, int position);

// Text1(i), i = 0 … 5.
const std::string& Text1(const ControlValues& values, int i);
void SetText1(ControlValues& values, int i, std::string text);

// Whether the option button name(index) is selected.
bool IsSelected(const ControlValues& values, std::string_view name, int index);

}  // namespace velmora
