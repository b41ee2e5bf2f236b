#include "app/for_tamrisk.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <tuple>

#include "automation/directory.h"
#include "cad/connect_cad.h"
#include "control_names.h"
#include "release_probe.h"

namespace velmora {
namespace {

// An option button selects itself and clears only the other buttons of its
// own frame: 世界坐标 (Option2(2)) pairs with 用户坐标, not with 点 and 圆.
// What the commands read follows.
TEST(ForTamrisk, AnOptionSelectsItselfWithinItsFrame) {
    using enum NumberingOrder;
    using P = PileType;
    using C = Coordinates;
    // What is selected, in table order: Option1(0-3), 点 Option2(1), 圆 Option2(0),
    // 用户坐标 Option3(1), 世界坐标 Option2(2).
    // clang-format off
    const std::tuple<const char*, int, std::string, NumberingOrder, P, C> steps[] = {
        {"Option1", 2, "Option1(2) Option2(1) Option3(1)", RightToLeftTopToBottom, P::Point, C::User},
        {"Option2", 0, "Option1(2) Option2(0) Option3(1)", RightToLeftTopToBottom, P::Circle, C::User},
        {"Option2", 2, "Option1(2) Option2(0) Option2(2)", RightToLeftTopToBottom, P::Circle, C::World},
        {"Option3", 1, "Option1(2) Option2(0) Option3(1)", RightToLeftTopToBottom, P::Circle, C::User},
        {"Option1", 1, "Option1(1) Option2(0) Option3(1)", BottomToTopLeftToRight, P::Circle, C::User},
        {"Option2", 1, "Option1(1) Option2(1) Option3(1)", BottomToTopLeftToRight, P::Point, C::User},
        {"Option1", 3, "Option1(3) Option2(1) Option3(1)", RightToLeftBottomToTop, P::Point, C::User},
        {"Option1", 0, "Option1(0) Option2(1) Option3(1)", TopToBottomLeftToRight, P::Point, C::User},
    };
    // clang-format on
    LocalDirectory directory;
    ForTamrisk window(WindowServices{directory});
    const ControlValues& values = window.State().controls;
    for (const auto& [name, index, shown, order, pile, mode] : steps) {
        window.OptionSelected(ControlAt(name, index));
        const std::string selected =
            testing::SelectedOptions([&](int i) { return values.selected[i]; });
        EXPECT_EQ(std::tuple(selected, SelectedOrder(values), PileKind(values), RecordMode(values)),
                  std::tuple(shown, order, pile, mode))
            << name << "(" << index << ")";
    }
    // Only option buttons take part.
    const ControlValues before = values;
    for (int position : {ControlAt("Text1", 0), ControlAt("Frame2", -1), -1, kControlCount}) {
        window.OptionSelected(position);
    }
    EXPECT_EQ(values.selected, before.selected);
}

TEST(ForTamrisk, FocusSelectsWholeTextInUtf16Units) {
    LocalDirectory directory;
    ForTamrisk window(WindowServices{directory});
    EXPECT_EQ(window.GotFocus(0).start, 0);
    EXPECT_EQ(window.GotFocus(0).length, 3);  // "2.5"
    EXPECT_EQ(window.GotFocus(2).length, 0);  // empty box
    window.TextEdited(2, "桩P-");
    EXPECT_EQ(Text(window.State().controls, TextBox::Prefix), "桩P-");
    EXPECT_EQ(window.GotFocus(2).length, 3);
    window.TextEdited(3, "\xF0\x9F\x98\x80x");  // a character outside the BMP takes two units
    EXPECT_EQ(window.GotFocus(3).length, 3);
    window.TextEdited(4, "\xE0\x80\xAF");  // an overlong '/': three replacements, as shown
    EXPECT_EQ(window.GotFocus(4).length, 3);
}

TEST(ForTamrisk, NothingCutsIntoARunningCommand) {
    // A message box (like a pick) keeps events flowing while the command
    // waits; clicks then must not start another command or release the
    // objects the command is using.
    LocalDirectory directory;  // no AutoCAD: the command shows its message
    int messages = 0;
    std::string boundaries;  // "[" a command begins, "]" it has ended
    WindowServices services{directory};
    services.commandStarted = [&] { boundaries += '['; };
    services.commandEnded = [&] { boundaries += ']'; };
    ForTamrisk window(services);
    auto released = testing::FillWithProbes(window.State());
    window.Services().showMessage = [&](std::string_view) {
        ++messages;
        using enum Command;  // the extra menu's commands too
        for (Command command : {Number, Export, PilesBySample, StakeOut, About}) {
            window.Click(command);
        }
        EXPECT_TRUE(window.CommandRunning());
        EXPECT_FALSE(window.Unload());
        EXPECT_TRUE(released->empty());
    };
    window.FilterMtext();
    EXPECT_EQ(directory.FindCount(), int(std::size(kCadProgIds)));  // one attach attempt only
    EXPECT_FALSE(window.CommandRunning());
    EXPECT_EQ(*released, testing::kUnloadReleases);  // the unload asked for ran at the end
    window.FilterMtext();                            // an unloaded window runs nothing
    EXPECT_EQ(messages, 1);
    EXPECT_EQ(boundaries, "[]");  // the commands asked for inside it never began

    // Something unforeseen escaping a command ends that command only, and
    // is said on stderr, or where the view says. A programming error stops
    // a debug build instead.
    for (bool bug : {false, true}) {
        WindowServices failing{directory};
        failing.showMessage = [bug](std::string_view) {
            if (bug) throw std::out_of_range("row 10001");
            throw std::runtime_error("no display");
        };
        ForTamrisk survivor(failing);
#ifdef NDEBUG
        const std::string said =
            bug ? "Velmora: a programming error ended the command 编号: row 10001"
                : "Velmora: a failure ended the command 编号: no display";
        ::testing::internal::CaptureStderr();
        survivor.FilterMtext();
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), said + "\n");
        EXPECT_FALSE(survivor.CommandRunning());
        std::string toView;
        survivor.Services().sayEscaped = [&toView](std::string_view text) { toView = text; };
        survivor.FilterMtext();
        EXPECT_EQ(toView, said);
#else
        if (bug) EXPECT_DEATH(survivor.FilterMtext(), "programming error");
#endif
    }
}

}  // namespace
}  // namespace velmora
