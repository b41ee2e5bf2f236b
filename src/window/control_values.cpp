#include "window/control_values.h"

#include <stdexcept>

namespace velmora {

namespace {

int Require(std::string_view name, int index) {
    const int position = ControlAt(name, index);
    if (position < 0) throw std::out_of_range("no such control");
    return position;
}

}  // namespace

ControlValues InitialControlValues() {
    ControlValues values;
    for (int i = 0; i < kControlCount; ++i) {
        if (kControls[i].kind == ControlKind::TextBox) values.text[i] = kControls[i].caption;
        values.selected[i] = kControls[i].selected;
    }
    return values;
}

void SelectOption(ControlValues& values, int position) {
    const ControlSpec& chosen = kControls.at(position);
    for (int i = 0; i < kControlCount; ++i) {
        if (kControls[i].kind == ControlKind::OptionButton &&
            kControls[i].container == chosen.container) {
            values.selected[i] = false;
        }
    }
    values.selected[position] = true;
}

const std::string& Text1(const ControlValues& values, int i) {
    return values.text[Require("Text1", i)];
}

void SetText1(ControlValues& values, int i, std::string text) {
    values.text[Require("Text1", i)] = std::move(text);
}

bool IsSelected(const ControlValues& values, std::string_view name, int index) {
    return values.selected[Require(name, index)];
}

}  // namespace velmora
