// The main window's 27 controls, written once. Both views (Qt on Linux,
// Win32 on Windows) render this table; nothing about the layout lives
// anywhere else. Geometry is in twips relative to the container's client
// area; the container is "" for the window itself.
#pragma once

#include <array>
#include <string_view>

namespace velmora {

enum class ControlKind { Frame, OptionButton, Label, TextBox, CommandButton };

// What a command button, or an item of the extra menu (window/extra_menu.h),
// runs when chosen.
enum class Command { None, Number, Cancel, Export, PilesBySample, StakeOut, About };

enum class ControlFont {
    WindowDefault,
    SongTi,  // 宋体 10.5 pt, regular, character set GB2312
};

struct ControlSpec {
    std::string_view name;
    int index;  // member of a control array, or -1
    ControlKind kind;
    std::string_view container;
    std::string_view caption;  // caption, or a text box's initial text
    int left, top, width, height;
    int tabIndex;
    ControlFont font;
    bool selected;                    // option buttons selected at start
    Command command = Command::None;  // command buttons only
};

inline constexpr std::string_view kWindowTitle = "Velmora";
inline constexpr std::string_view kMessageTitle = "提示信息";
inline constexpr int kClientWidthTwips = 5490;
inline constexpr int kClientHeightTwips = 3915;
inline constexpr int kTwipsPerInch = 1440;

inline constexpr std::string_view kSongTiFace = "宋体";
inline constexpr double kSongTiPoints = 10.5;
inline constexpr int kSongTiWeight = 400;
inline constexpr int kSongTiCharset = 134;  // GB2312

inline constexpr int kControlCount = 27;

// clang-format off
inline constexpr std::array<ControlSpec, kControlCount> kControls = {{
    {"Frame1",   -1, ControlKind::Frame,         "",       "编号顺序",           120,  120, 2415, 1815,  0, ControlFont::WindowDefault, false},
    {"Option1",   0, ControlKind::OptionButton,  "Frame1", "从上到下，从左到右",  240,  240, 2055,  375,  1, ControlFont::WindowDefault, true},
    {"Option1",   1, ControlKind::OptionButton,  "Frame1", "从下到上，从左到右",  240,  600, 2055,  375,  2, ControlFont::WindowDefault, false},
    {"Option1",   2, ControlKind::OptionButton,  "Frame1", "从右到左，从上到下",  240,  960, 2055,  375,  3, ControlFont::WindowDefault, false},
    {"Option1",   3, ControlKind::OptionButton,  "Frame1", "从右到左，从下到上",  240, 1320, 2055,  375,  4, ControlFont::WindowDefault, false},
    {"Frame2",   -1, ControlKind::Frame,         "",       "桩型",              2760, 2280, 2295,  735,  5, ControlFont::WindowDefault, false},
    {"Option2",   1, ControlKind::OptionButton,  "Frame2", "点",                 120,  360,  615,  255, 25, ControlFont::WindowDefault, true},
    {"Option2",   0, ControlKind::OptionButton,  "Frame2", "圆",                1200,  360,  615,  255, 26, ControlFont::WindowDefault, false},
    {"Frame3",   -1, ControlKind::Frame,         "",       "设置",              2640,  120, 2655, 3135,  6, ControlFont::WindowDefault, false},
    {"Label1",    0, ControlKind::Label,         "Frame3", "文字高度：",         120,  300,  975,  255,  7, ControlFont::WindowDefault, false},
    {"Text1",     0, ControlKind::TextBox,       "Frame3", "2.5",               1080,  220, 1335,  320,  8, ControlFont::WindowDefault, false},
    {"Label1",    1, ControlKind::Label,         "Frame3", "起始编号：",         120,  675,  975,  255,  9, ControlFont::WindowDefault, false},
    {"Text1",     1, ControlKind::TextBox,       "Frame3", "1",                 1080,  600, 1335,  320, 10, ControlFont::WindowDefault, false},
    {"Label1",    2, ControlKind::Label,         "Frame3", "编号前缀：",         120, 1035,  975,  255, 11, ControlFont::WindowDefault, false},
    {"Text1",     2, ControlKind::TextBox,       "Frame3", "",                  1080,  960, 1335,  320, 12, ControlFont::WindowDefault, false},
    {"Label1",    3, ControlKind::Label,         "Frame3", "编号后缀：",         120, 1395,  975,  255, 13, ControlFont::WindowDefault, false},
    {"Text1",     3, ControlKind::TextBox,       "Frame3", "",                  1080, 1320, 1335,  320, 14, ControlFont::WindowDefault, false},
    {"Option3",   1, ControlKind::OptionButton,  "Frame3", "用户坐标",           240, 1800, 1215,  255, 23, ControlFont::WindowDefault, true},
    {"Option2",   2, ControlKind::OptionButton,  "Frame3", "世界坐标",          1320, 1800, 1215,  255, 24, ControlFont::WindowDefault, false},
    {"Frame4",   -1, ControlKind::Frame,         "",       "编号位置",           120, 2040, 2415, 1215, 15, ControlFont::WindowDefault, false},
    {"Label1",    4, ControlKind::Label,         "Frame4", "偏角：",             240,  315,  615,  255, 16, ControlFont::WindowDefault, false},
    {"Text1",     4, ControlKind::TextBox,       "Frame4", "0",                  840,  240, 1335,  320, 17, ControlFont::SongTi,        false},
    {"Label1",    5, ControlKind::Label,         "Frame4", "偏距：",             240,  795,  615,  255, 18, ControlFont::WindowDefault, false},
    {"Text1",     5, ControlKind::TextBox,       "Frame4", "0",                  840,  720, 1335,  320, 19, ControlFont::SongTi,        false},
    {"Command1", -1, ControlKind::CommandButton, "",       "编号",               120, 3360, 1215,  375, 20, ControlFont::WindowDefault, false, Command::Number},
    {"Command2", -1, ControlKind::CommandButton, "",       "取消",              4080, 3360, 1215,  375, 21, ControlFont::WindowDefault, false, Command::Cancel},
    {"Command3", -1, ControlKind::CommandButton, "",       "导出桩坐标",        1980, 3360, 1455,  375, 22, ControlFont::WindowDefault, false, Command::Export},
}};
// clang-format on

// Position of a control in kControls, or -1. Use index -1 for controls that
// are not members of a control array.
constexpr int ControlAt(std::string_view name, int index) {
    for (int i = 0; i < kControlCount; ++i) {
        if (kControls[i].name == name && kControls[i].index == index) return i;
    }
    return -1;
}

// Position of name(index) in kControls, found while compiling: a name or an
// index the table does not hold does not compile.
consteval int Position(std::string_view name, int index = -1) {
    const int position = ControlAt(name, index);
    if (position < 0) throw "no such control in kControls";
    return position;
}

// Frames and labels hold places in the tab order but never take the focus.
constexpr bool TakesFocus(ControlKind kind) {
    return kind != ControlKind::Frame && kind != ControlKind::Label;
}

}  // namespace velmora
