// The menu of extra commands, written once beside the control table. Both
// views show it (Win32: the window's system menu below a separator, and a
// right-click outside a text box; Qt: a right-click on the window) and hand
// the item chosen to ForTamrisk::Click, as a button's command.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "window/control_table.h"
#include "window/window_state.h"

namespace velmora {

struct ExtraMenuItem {
    Command command;
    std::string_view caption;
};

// clang-format off
inline constexpr std::array<ExtraMenuItem, 3> kExtraMenu = {{
    {Command::PilesBySample, "按样例选桩…"},
    {Command::StakeOut,      "导出测量坐标…"},
    {Command::About,         "关于 Velmora"},
}};
// clang-format on

// An item as the menu shows it now.
struct ExtraMenuEntry {
    std::string text;
    bool checked = false;
};

// The caption; while a sample is in force the sample's item is checked and
// says what it selects ("按样例选桩：图块 ZH-1，图层 桩位").
ExtraMenuEntry ShownEntry(const WindowState& state, const ExtraMenuItem& item);

// The caption of a button or menu item that runs the command, for what is
// said when something escapes it.
std::string_view CommandCaption(Command command);

}  // namespace velmora
