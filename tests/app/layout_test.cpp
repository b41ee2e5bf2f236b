// The window's geometry and keyboard order, worked out from the control
// table for both views.
#include "app/layout.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora {
namespace {

std::string NameAt(int position) {
    if (position < 0) return "none";
    const ControlSpec& entry = kControls[position];
    return std::string(entry.name) +
           (entry.index < 0 ? "" : "(" + std::to_string(entry.index) + ")");
}

TEST(Layout, TwipsRoundToTheNearestPixelOnBothEdges) {
    struct Case {
        const char* name;
        int twips, dpi, pixels;
    };
    const Case cases[] = {
        {"an inch", 1440, 96, 96},
        {"just over half a pixel", 8, 96, 1},
        {"just under half a pixel", 7, 96, 0},
        {"a box's width at 150 %", 1335, 144, 134},
    };
    for (const Case& c : cases) EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.name;
    EXPECT_EQ(ClientRect(96), (PixelRect{0, 0, 366, 261}));
    EXPECT_EQ(ClientRect(120, 96), (PixelRect{0, 0, 458, 261}));
    // Each edge is rounded on its own, so controls whose edges meet in twips
    // meet in pixels: at 125 DPI 点's edges round to 10 and 64, so it is 54
    // pixels wide, though its 615 twips alone make 53.4.
    EXPECT_EQ(ControlRect(ControlAt("Option2", 1), 125), (PixelRect{10, 31, 54, 22}));
    for (int dpi = 96; dpi <= 192; ++dpi) {
        for (int i = 0; i < kControlCount; ++i) {
            const ControlSpec& e = kControls[i];
            const PixelRect rect = ControlRect(i, dpi, dpi + 24);
            EXPECT_EQ(rect.left + rect.width, TwipsToPixels(e.left + e.width, dpi)) << NameAt(i);
            EXPECT_EQ(rect.top + rect.height, TwipsToPixels(e.top + e.height, dpi + 24))
                << NameAt(i);
        }
    }
}

TEST(Layout, KeyboardOrder) {
    std::string sequence;
    for (int position : TabSequence()) sequence += NameAt(position) + " ";
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
    struct Tab {
        const char* name;
        const ControlValues& values;
        const char* from;
        int index;
        bool backwards;
        const char* to;
    };
    const Tab tabs[] = {
        {"into a group at its selected button", chosen, "Command3", -1, false, "Option2(2)"},
        {"back into a group", chosen, "Text1", 0, true, "Option1(2)"},
        {"past the rest of a group", chosen, "Option2", 2, false, "Option2(1)"},
        {"wrapping round", chosen, "Option2", 1, false, "Option1(2)"},
        {"a group with nothing selected", noPileType, "Option2", 2, false, "Option2(1)"},
        {"back into a group with nothing selected", noPileType, "Option1", 2, true, "Option2(1)"},
        {"from no control", chosen, "", -1, false, "Option1(2)"},
    };
    for (const Tab& t : tabs) {
        EXPECT_EQ(NameAt(NextTabStop(t.values, ControlAt(t.from, t.index), t.backwards)), t.to)
            << t.name;
    }

    // Arrows: the next button of the same container, in table order, wrapping.
    struct Arrow {
        const char* from;
        int index;
        bool backwards;
        const char* to;
    };
    const Arrow arrows[] = {
        {"Option3", 1, false, "Option2(2)"}, {"Option2", 2, false, "Option3(1)"},
        {"Option2", 1, false, "Option2(0)"}, {"Option1", 3, false, "Option1(0)"},
        {"Option1", 0, true, "Option1(3)"},  {"Option1", 3, true, "Option1(2)"},
        {"Text1", 0, false, "none"},
    };
    for (const Arrow& a : arrows) {
        EXPECT_EQ(NameAt(NextInOptionGroup(ControlAt(a.from, a.index), a.backwards)), a.to)
            << a.from << "(" << a.index << (a.backwards ? ") back" : ")");
    }
}

TEST(Layout, AFrameInsideASiblingFrameStacksAboveIt) {
    struct Case {
        const char* inner;
        const char* outer;
        bool above;
    };
    const Case cases[] = {
        {"Frame2", "Frame3", true},  {"Frame3", "Frame2", false}, {"Frame2", "Frame2", false},
        {"Frame4", "Frame1", false}, {"Text1", "Frame3", false},
    };
    for (const Case& c : cases) {
        const int inner = ControlAt(c.inner, c.inner[0] == 'T' ? 0 : -1);
        EXPECT_EQ(StacksAbove(inner, ControlAt(c.outer, -1)), c.above)
            << c.inner << " in " << c.outer;
    }
}

}  // namespace
}  // namespace velmora
