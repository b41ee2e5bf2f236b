// Geometry and keyboard order worked out from the control table.
#include "app/win32/layout.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace velmora {
namespace {

TEST(Win32Layout, RectanglesScaleWithTheDpi) {
    // At 96 DPI 15 twips make a pixel; edges round to the nearest one.
    for (int i = 0; i < kControlCount; ++i) {
        const ControlSpec& spec = kControls[i];
        const PixelRect rect = ControlRect(i, 96);
        EXPECT_EQ(rect.left * 15, spec.left) << spec.name << "(" << spec.index << ")";
        EXPECT_EQ(rect.width * 15, spec.width) << spec.name << "(" << spec.index << ")";
        EXPECT_LE(std::abs(rect.top * 15 - spec.top), 7) << spec.name << "(" << spec.index << ")";
        EXPECT_LE(std::abs((rect.top + rect.height) * 15 - spec.top - spec.height), 7);
    }
    // 220 twips is 14.67 pixels: the text box starts at 15 and ends at 36.
    EXPECT_EQ(ControlRect(ControlAt("Text1", 0), 96), (PixelRect{72, 15, 89, 21}));
    EXPECT_EQ(ClientRect(96), (PixelRect{0, 0, 366, 261}));
    EXPECT_EQ(ClientRect(144), (PixelRect{0, 0, 549, 392}));
    // At 120 DPI edges are rounded, widths follow the rounded edges, so
    // neighbours in a column stay the same distance apart.
    const PixelRect text0 = ControlRect(ControlAt("Text1", 0), 120);
    const PixelRect text1 = ControlRect(ControlAt("Text1", 1), 120);
    EXPECT_EQ(text0, (PixelRect{90, 18, 111, 27}));
    EXPECT_EQ(text1.top, 50);
    EXPECT_EQ(text0.left + text0.width, TwipsToPixels(1080 + 1335, 120));
}

TEST(Win32Layout, TabOrderFollowsTabIndexAcrossContainers) {
    std::vector<std::string> names;
    for (int position : TabSequence()) {
        names.push_back(std::string(kControls[position].name) + "(" +
                        std::to_string(kControls[position].index) + ")");
    }
    const std::vector<std::string> expected = {
        "Option1(0)",   "Option1(1)", "Option1(2)", "Option1(3)", "Text1(0)",     "Text1(1)",
        "Text1(2)",     "Text1(3)",   "Text1(4)",   "Text1(5)",   "Command1(-1)", "Command2(-1)",
        "Command3(-1)", "Option3(1)", "Option2(2)", "Option2(1)", "Option2(0)"};
    EXPECT_EQ(names, expected);

    // Tab stops at the selected button of each option group only.
    ControlValues values = InitialControlValues();
    std::vector<int> stops;
    int at = -1;
    for (int i = 0; i < 12; ++i) stops.push_back(at = NextTabStop(values, at, false));
    const std::vector<int> forward = {
        ControlAt("Option1", 0),   ControlAt("Text1", 0),     ControlAt("Text1", 1),
        ControlAt("Text1", 2),     ControlAt("Text1", 3),     ControlAt("Text1", 4),
        ControlAt("Text1", 5),     ControlAt("Command1", -1), ControlAt("Command2", -1),
        ControlAt("Command3", -1), ControlAt("Option3", 1),   ControlAt("Option2", 1)};
    EXPECT_EQ(stops, forward);
    EXPECT_EQ(NextTabStop(values, ControlAt("Option2", 1), false), ControlAt("Option1", 0));
    EXPECT_EQ(NextTabStop(values, ControlAt("Option1", 0), true), ControlAt("Option2", 1));
    EXPECT_EQ(NextTabStop(values, ControlAt("Text1", 0), true), ControlAt("Option1", 0));

    // Another selection moves the group's stop with it.
    SelectOption(values, ControlAt("Option1", 2));
    SelectOption(values, ControlAt("Option2", 2));
    EXPECT_EQ(NextTabStop(values, -1, false), ControlAt("Option1", 2));
    EXPECT_EQ(NextTabStop(values, ControlAt("Command3", -1), false), ControlAt("Option2", 2));
    // A group with nothing selected is reached at its first button.
    values.selected[ControlAt("Option2", 1)] = false;
    EXPECT_EQ(NextTabStop(values, ControlAt("Option2", 2), false), ControlAt("Option2", 1));
    // Frames and labels are never stops, even when asked for from there.
    EXPECT_EQ(NextTabStop(values, ControlAt("Label1", 0), false), ControlAt("Option1", 2));
}

TEST(Win32Layout, OnlyTheFrameInsideAnotherStacksAbove) {
    const int frame2 = ControlAt("Frame2", -1), frame3 = ControlAt("Frame3", -1);
    int pairs = 0;
    for (int inner = 0; inner < kControlCount; ++inner) {
        for (int outer = 0; outer < kControlCount; ++outer) pairs += StacksAbove(inner, outer);
    }
    EXPECT_EQ(pairs, 1);
    EXPECT_TRUE(StacksAbove(frame2, frame3));
    EXPECT_FALSE(StacksAbove(frame3, frame2));

    std::vector<int> starts;
    for (int i = 0; i < kControlCount; ++i) {
        if (StartsOptionGroup(i)) starts.push_back(i);
    }
    EXPECT_EQ(starts, (std::vector<int>{ControlAt("Option1", 0), ControlAt("Option2", 1),
                                        ControlAt("Option3", 1)}));
}

}  // namespace
}  // namespace velmora
