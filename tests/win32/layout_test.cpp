// Tab stops as option selections change, rounding at a fractional scale and
// arrow moves in every option group: what the window tests do not reach.
#include "app/win32/layout.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(Win32Layout, TabStopsRoundingAndArrows) {
    ControlValues values = InitialControlValues();
    EXPECT_EQ(NextTabStop(values, ControlAt("Option2", 1), false), ControlAt("Option1", 0));
    EXPECT_EQ(NextTabStop(values, ControlAt("Option1", 0), true), ControlAt("Option2", 1));
    // Another selection moves the group's stop with it.
    SelectOption(values, ControlAt("Option1", 2));
    SelectOption(values, ControlAt("Option2", 2));
    EXPECT_EQ(NextTabStop(values, -1, false), ControlAt("Option1", 2));
    EXPECT_EQ(NextTabStop(values, ControlAt("Command3", -1), false), ControlAt("Option2", 2));
    EXPECT_EQ(NextTabStop(values, ControlAt("Text1", 0), true), ControlAt("Option1", 2));
    // A group with nothing selected is reached at its first button.
    values.selected[ControlAt("Option2", 1)] = false;
    EXPECT_EQ(NextTabStop(values, ControlAt("Option2", 2), false), ControlAt("Option2", 1));
    // From a control that is no stop (a label), the walk goes on from the start.
    EXPECT_EQ(NextTabStop(values, ControlAt("Label1", 0), false), ControlAt("Option1", 2));

    // At 120 DPI edges are rounded and sizes follow the rounded edges, so
    // neighbours stay the same distance apart.
    EXPECT_EQ(ControlRect(ControlAt("Text1", 0), 120), (PixelRect{90, 18, 111, 27}));
    EXPECT_EQ(ControlRect(ControlAt("Text1", 1), 120), (PixelRect{90, 50, 111, 27}));
    EXPECT_EQ(ClientRect(120), (PixelRect{0, 0, 458, 326}));

    // Arrows stay among the option buttons of one frame, in table order.
    const int user = ControlAt("Option3", 1), world = ControlAt("Option2", 2);
    EXPECT_EQ(NextInOptionGroup(user, false), world);
    EXPECT_EQ(NextInOptionGroup(world, false), user);
    EXPECT_EQ(NextInOptionGroup(user, true), world);
    EXPECT_EQ(NextInOptionGroup(ControlAt("Option2", 1), false), ControlAt("Option2", 0));
    EXPECT_EQ(NextInOptionGroup(ControlAt("Option1", 3), false), ControlAt("Option1", 0));
    EXPECT_EQ(NextInOptionGroup(ControlAt("Option1", 0), true), ControlAt("Option1", 3));
    EXPECT_EQ(NextInOptionGroup(ControlAt("Text1", 0), false), -1);
}

}  // namespace
}  // namespace velmora
