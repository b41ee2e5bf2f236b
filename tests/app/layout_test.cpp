// The window's geometry and keyboard order, worked out from the control
// table for both views.
#include "app/layout.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "control_names.h"

namespace velmora {
namespace {

using testing::ControlName;

TEST(Layout, TwipsRoundToTheNearestPixelOnBothEdges) {
    const std::tuple<const char*, int, int, int> cases[] = {
        {"an inch", 1440, 96, 96},
        {"just over half a pixel", 8, 96, 1},
        {"just under half a pixel", 7, 96, 0},
        {"a box's width at 150 %", 1335, 144, 134},
    };
    for (const auto& [name, twips, dpi, pixels] : cases) {
        EXPECT_EQ(TwipsToPixels(twips, dpi), pixels) << name;
    }
    EXPECT_EQ(ClientRect(120, 96), (PixelRect{0, 0, 458, 261}));
    // Each edge is rounded on its own, so controls whose edges meet in twips
    // meet in pixels: at 125 DPI 点's edges round to 10 and 64, so it is 54
    // pixels wide, though its 615 twips alone make 53.4.
    EXPECT_EQ(ControlRect(ControlAt("Option2", 1), 125), (PixelRect{10, 31, 54, 22}));
    for (int dpi = 96; dpi <= 192; ++dpi) {
        for (int i = 0; i < kControlCount; ++i) {
            const ControlSpec& e = kControls[i];
            const PixelRect rect = ControlRect(i, dpi, dpi + 24);
            EXPECT_EQ(std::pair(rect.left + rect.width, rect.top + rect.height),
                      std::pair(TwipsToPixels(e.left + e.width, dpi),
                                TwipsToPixels(e.top + e.height, dpi + 24)))
                << ControlName(i) << " at " << dpi;
        }
    }
}

TEST(Layout, KeyboardOrder) {
    std::string sequence;
    for (int position : TabSequence()) sequence += ControlName(position) + " ";
    EXPECT_EQ(sequence,
              "Option1(0) Option1(1) Option1(2) Option1(3) Text1(0) Text1(1) Text1(2) Text1(3) "
              "Text1(4) Text1(5) Command1 Command2 Command3 Option3(1) Option2(2) Option2(1) "
              "Option2(0) ");

    // Tab stops: of an option group only its selected button, or its first
    // one when none is selected.
    ControlValues chosen = InitialControlValues();
    SelectOption(chosen, ControlAt("Option1", 2));
    SelectOption(chosen, ControlAt("Option2", 2));
    ControlValues noPileType = chosen;
    noPileType.selected[ControlAt("Option2", 1)] = false;
    const std::tuple<const char*, const ControlValues&, const char*, int, bool, const char*>
        tabs[] = {
            {"into a group at its selected button", chosen, "Command3", -1, false, "Option2(2)"},
            {"back into a group", chosen, "Text1", 0, true, "Option1(2)"},
            {"past the rest of a group", chosen, "Option2", 2, false, "Option2(1)"},
            {"wrapping round", chosen, "Option2", 1, false, "Option1(2)"},
            {"a group with nothing selected", noPileType, "Option2", 2, false, "Option2(1)"},
            {"back into a group with nothing selected", noPileType, "Option1", 2, true,
             "Option2(1)"},
            {"from no control", chosen, "", -1, false, "Option1(2)"},
        };
    for (const auto& [name, values, from, index, backwards, to] : tabs) {
        EXPECT_EQ(ControlName(NextTabStop(values, ControlAt(from, index), backwards)), to) << name;
    }

    // Arrows: the next button of the same container, in table order, wrapping.
    const std::tuple<const char*, int, bool, const char*> arrows[] = {
        {"Option3", 1, false, "Option2(2)"}, {"Option2", 2, false, "Option3(1)"},
        {"Option2", 1, false, "Option2(0)"}, {"Option1", 3, false, "Option1(0)"},
        {"Option1", 0, true, "Option1(3)"},  {"Option1", 3, true, "Option1(2)"},
        {"Text1", 0, false, "none"},
    };
    for (const auto& [from, index, backwards, to] : arrows) {
        EXPECT_EQ(ControlName(NextInOptionGroup(ControlAt(from, index), backwards)), to)
            << from << "(" << index << (backwards ? ") back" : ")");
    }
}

}  // namespace
}  // namespace velmora
