#include "window/control_values.h"

namespace velmora {

namespace {

// The controls the accessors read, by their names in the table.
constexpr std::array<int, kTextBoxCount> kTextBoxes = {
    Position("Text1", 0), Position("Text1", 1), Position("Text1", 2),
    Position("Text1", 3), Position("Text1", 4), Position("Text1", 5),
};
constexpr std::array<int, kNumberingOrderCount> kOrderButtons = {
    Position("Option1", 0), Position("Option1", 1), Position("Option1", 2), Position("Option1", 3)};
constexpr int kPointButton = Position("Option2", 1);            // 点
constexpr int kUserCoordinatesButton = Position("Option3", 1);  // 用户坐标

template <std::size_t N>
constexpr bool AllOfKind(const std::array<int, N>& positions, ControlKind kind) {
    for (int position : positions) {
        if (kControls[position].kind != kind) return false;
    }
    return true;
}
static_assert(AllOfKind(kTextBoxes, ControlKind::TextBox));
static_assert(AllOfKind(kOrderButtons, ControlKind::OptionButton));
static_assert(AllOfKind(std::array{kPointButton, kUserCoordinatesButton},
                        ControlKind::OptionButton));

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

std::optional<TextBox> TextBoxAt(int index) {
    if (index < 0 || index >= kTextBoxCount) return std::nullopt;
    return static_cast<TextBox>(index);
}

const std::string& Text(const ControlValues& values, TextBox box) {
    return values.text[kTextBoxes[Text1Index(box)]];
}

void SetText(ControlValues& values, TextBox box, std::string text) {
    values.text[kTextBoxes[Text1Index(box)]] = std::move(text);
}

std::optional<NumberingOrder> SelectedOrder(const ControlValues& values) {
    for (int i = 0; i < kNumberingOrderCount; ++i) {
        if (values.selected[kOrderButtons[i]]) return static_cast<NumberingOrder>(i);
    }
    return std::nullopt;
}

PileType PileKind(const ControlValues& values) {
    return values.selected[kPointButton] ? PileType::Point : PileType::Circle;
}

Coordinates RecordMode(const ControlValues& values) {
    return values.selected[kUserCoordinatesButton] ? Coordinates::User : Coordinates::World;
}

}  // namespace velmora
