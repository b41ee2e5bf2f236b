// What the controls hold while the window is open: the text of every text
// box and whether each option button is selected, indexed like kControls.
// The window keeps no other copy of its settings. Commands read them by
// name, through the accessors below; only those know the table's names.
#pragma once

#include <array>
#include <optional>
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

// The six text boxes by what they hold; each value is the box's index in
// the control array Text1.
enum class TextBox {
    TextHeight = 0,      // 文字高度
    StartNumber = 1,     // 起始编号
    Prefix = 2,          // 编号前缀
    Suffix = 3,          // 编号后缀
    OffsetAngle = 4,     // 偏角
    OffsetDistance = 5,  // 偏距
};
inline constexpr int kTextBoxCount = 6;

constexpr int Text1Index(TextBox box) { return static_cast<int>(box); }
// The box Text1(index) of a view, or none for an index outside 0 … 5.
std::optional<TextBox> TextBoxAt(int index);

const std::string& Text(const ControlValues& values, TextBox box);
void SetText(ControlValues& values, TextBox box, std::string text);

// 编号顺序: Option1(0 … 3).
enum class NumberingOrder {
    TopToBottomLeftToRight,
    BottomToTopLeftToRight,
    RightToLeftTopToBottom,
    RightToLeftBottomToTop,
};
inline constexpr int kNumberingOrderCount = 4;
// The order selected, or none while no order button is.
std::optional<NumberingOrder> SelectedOrder(const ControlValues& values);

// 桩型: points while 点 is selected, else circles (圆).
enum class PileType { Point, Circle };
PileType PileKind(const ControlValues& values);

// 记录方式: 用户坐标 while it is selected, else 世界坐标 (the command then
// records each pile as AutoCAD translates it).
enum class Coordinates { User, World };
Coordinates RecordMode(const ControlValues& values);

}  // namespace velmora
