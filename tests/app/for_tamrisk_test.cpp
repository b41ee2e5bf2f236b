#include "app/for_tamrisk.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "app/version.h"
#include "automation/directory.h"
#include "cad/connect_cad.h"
#include "release_probe.h"
#include "window/extra_menu.h"

namespace velmora {
namespace {

// An option button selects itself and clears only the other buttons of its
// own frame: 世界坐标 (Option2(2)) pairs with 用户坐标, not with 点 and 圆.
// What the commands read follows.
TEST(ForTamrisk, AnOptionSelectsItselfWithinItsFrame) {
    using enum NumberingOrder;
    using P = PileType;
    using C = Coordinates;
    // What is selected, in table order: Option1(0-3), 点, 圆, 用户坐标, 世界坐标.
    const std::tuple<const char*, int, std::string, NumberingOrder, P, C> steps[] = {
        {"Option1", 2, "00101010", RightToLeftTopToBottom, P::Point, C::User},
        {"Option2", 0, "00100110", RightToLeftTopToBottom, P::Circle, C::User},
        {"Option2", 2, "00100101", RightToLeftTopToBottom, P::Circle, C::World},
        {"Option3", 1, "00100110", RightToLeftTopToBottom, P::Circle, C::User},
        {"Option1", 1, "01000110", BottomToTopLeftToRight, P::Circle, C::User},
        {"Option2", 1, "01001010", BottomToTopLeftToRight, P::Point, C::User},
        {"Option1", 3, "00011010", RightToLeftBottomToTop, P::Point, C::User},
        {"Option1", 0, "10001010", TopToBottomLeftToRight, P::Point, C::User},
    };
    ForTamrisk window({});
    const ControlValues& values = window.State().controls;
    for (const auto& [name, index, shown, order, pile, mode] : steps) {
        window.OptionSelected(ControlAt(name, index));
        std::string selected;
        for (int i = 0; i < kControlCount; ++i) {
            if (kControls[i].kind == ControlKind::OptionButton)
                selected += values.selected[i] ? '1' : '0';
        }
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
    ForTamrisk window({});
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
    WindowServices services;
    services.directory = &directory;
    services.commandStarted = [&] { boundaries += '['; };
    services.commandEnded = [&] { boundaries += ']'; };
    ForTamrisk window(services);
    auto released = testing::FillWithProbes(window.State());
    window.Services().showMessage = [&](std::string_view) {
        ++messages;
        window.FilterMtext();
        window.ExportCoordinateTable();
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
        WindowServices failing;
        failing.directory = &directory;
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

// The extra menu as both views show it: its items in order, the sample's
// checked with what it selects while one is in force.
TEST(ExtraMenu, ShowsTheSampleInForce) {
    const std::tuple<const char*, std::optional<PileSample>, std::string> cases[] = {
        {"no sample", std::nullopt, "按样例选桩…"},
        {"block", PileSample{SampleKind::Block, "桩位", "ZH-1"},
         "按样例选桩：图块 ZH-1，图层 桩位"},
        {"circle", PileSample{SampleKind::Circle, "0", ""}, "按样例选桩：圆，图层 0"},
        {"point", PileSample{SampleKind::Point, "P", ""}, "按样例选桩：点，图层 P"},
    };
    for (const auto& [name, sample, first] : cases) {
        WindowState state;
        state.pileSample = sample;
        std::vector<std::pair<std::string, bool>> shown;
        for (const ExtraMenuItem& item : kExtraMenu) {
            const ExtraMenuEntry entry = ShownEntry(state, item);
            shown.emplace_back(entry.text, entry.checked);
        }
        const std::vector<std::pair<std::string, bool>> expected = {
            {first, sample.has_value()}, {"导出测量坐标…", false}, {"关于 Velmora", false}};
        EXPECT_EQ(shown, expected) << name;
    }
}

// The extra commands run as the buttons' do: one at a time, and an unload
// asked for meanwhile waits for the command's end. Each shows one box here.
TEST(ExtraMenu, CommandsRunOneAtATime) {
    for (const ExtraMenuItem& item : kExtraMenu) {
        if (item.command == Command::PilesBySample) continue;  // needs AutoCAD
        LocalDirectory directory;  // a Number command let through would say "请先打开CAD软件！"
        std::vector<std::string> said;
        ForTamrisk window({});
        window.Services().directory = &directory;
        const auto box = [&](std::string_view text) {
            said.emplace_back(text);
            EXPECT_FALSE(window.Click(Command::Number));
            EXPECT_FALSE(window.Click(Command::About));
            EXPECT_FALSE(window.Click(Command::Cancel));
        };
        window.Services().showMessage = box;
        window.Services().showAbout = box;
        EXPECT_TRUE(window.Click(item.command)) << item.caption;
        ASSERT_EQ(said.size(), 1u) << item.caption;
        if (item.command == Command::About) {
            EXPECT_EQ(said[0].rfind("Velmora " VELMORA_VERSION_TEXT "\n", 0), 0u) << said[0];
            for (const char* part : {"Expat", "使用说明"})
                EXPECT_NE(said[0].find(part), std::string::npos);
        }
    }
}

}  // namespace
}  // namespace velmora
