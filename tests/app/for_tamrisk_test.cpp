#include "app/for_tamrisk.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "automation/directory.h"
#include "release_probe.h"

namespace velmora {
namespace {

std::int16_t Code(int value) { return static_cast<std::int16_t>(value); }

TEST(KeyFilter, NumericBoxesTakeOnlyDigitsPointAndBackspace) {
    const std::vector<int> accepted = {'0', '1', '5', '9', '.', 8};
    const std::vector<int> rejected = {
        '-',    '+',  'a', 'Z', 'e', ',', ' ', '/', ':',  // neighbours of the digits and signs
        13,     9,    27,  10,  0,   127,                 // Enter, Tab, Escape and other controls
        0x4E2D,                                           // 中
        -15133,                                           // a double-byte code read as negative
        -32768, 32767};
    for (int index : {0, 1, 4, 5}) {
        SCOPED_TRACE(index);
        for (int code : accepted) EXPECT_EQ(ForTamrisk::KeyPress(index, Code(code)), Code(code));
        for (int code : rejected) EXPECT_EQ(ForTamrisk::KeyPress(index, Code(code)), 0) << code;
    }
    // The filter looks at single characters: 12.5 and 1.2.3 pass whole.
    for (char c : std::string("12.51.2.3")) EXPECT_EQ(ForTamrisk::KeyPress(0, Code(c)), Code(c));

    for (int index : {2, 3}) {
        SCOPED_TRACE(index);
        for (int code : std::vector<int>{'-', '+', 'a', 13, 8, 0x4E2D, -15133, 0, '7'}) {
            EXPECT_EQ(ForTamrisk::KeyPress(index, Code(code)), Code(code));
        }
    }
}

TEST(ForTamrisk, OptionGroupsGoByContainerAndIgnoreOtherControls) {
    ForTamrisk window({});
    const ControlValues& values = window.State().controls;
    window.OptionSelected(ControlAt("Option2", 2));  // 世界坐标
    EXPECT_FALSE(IsSelected(values, "Option3", 1));
    EXPECT_TRUE(IsSelected(values, "Option2", 1));   // 点 untouched, though the same array
    window.OptionSelected(ControlAt("Option2", 0));  // 圆
    EXPECT_FALSE(IsSelected(values, "Option2", 1));
    EXPECT_TRUE(IsSelected(values, "Option2", 2));

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
    EXPECT_EQ(Text1(window.State().controls, 2), "桩P-");
    EXPECT_EQ(window.GotFocus(2).length, 3);
    window.TextEdited(3, "\xF0\x9F\x98\x80x");  // a character outside the BMP takes two units
    EXPECT_EQ(window.GotFocus(3).length, 3);

    EXPECT_EQ(Utf16Length(""), 0);
    EXPECT_EQ(Utf16Length("\xFF\xE4\xB8"), 3);  // broken bytes count one each
    EXPECT_EQ(Utf16Length("\xC3\xA9\xE4\xB8\xAD"), 2);
}

TEST(ForTamrisk, UnloadReleasesCadThenExcelReferencesOnce) {
    ForTamrisk window({});
    auto released = testing::FillWithProbes(window.State());
    window.Unload();
    EXPECT_EQ(*released, testing::kUnloadReleases);
    EXPECT_TRUE(window.Unloaded());
    // The workbook and worksheet go with the window's state, not before.
    EXPECT_NE(window.State().excelWorkbook, nullptr);
    EXPECT_NE(window.State().excelWorksheet, nullptr);

    window.State().cadSession.cadApplication =
        std::make_shared<testing::ReleaseProbe>("Late", released, nullptr);
    window.Unload();  // already unloaded: nothing more happens
    EXPECT_EQ(released->size(), 3u);
}

TEST(ForTamrisk, NothingCutsIntoARunningCommand) {
    // A message box (like a pick) keeps events flowing while the command
    // waits; clicks that arrive then must not start another command or
    // release the objects the command is using.
    LocalDirectory directory;  // no AutoCAD: the command shows its message
    WindowServices services;
    services.directory = &directory;
    int messages = 0;
    ForTamrisk* self = nullptr;
    std::shared_ptr<std::vector<std::string>> released;
    services.showMessage = [&](std::string_view) {
        ++messages;
        self->FilterMtext();
        self->ExportCoordinateTable();
        EXPECT_TRUE(self->CommandRunning());
        EXPECT_FALSE(self->Unload());
        EXPECT_TRUE(released->empty());
    };
    ForTamrisk window(std::move(services));
    self = &window;
    released = testing::FillWithProbes(window.State());

    window.FilterMtext();
    EXPECT_EQ(messages, 1);
    EXPECT_EQ(directory.FindCount(), 6);  // one attach attempt only
    EXPECT_FALSE(window.CommandRunning());
    EXPECT_TRUE(window.Unloaded());  // the unload asked for inside ran at the end
    EXPECT_EQ(*released, testing::kUnloadReleases);

    window.FilterMtext();  // an unloaded window runs nothing
    EXPECT_EQ(messages, 1);

    // Something unforeseen escaping a command ends that command only.
    WindowServices throwing;
    throwing.directory = &directory;
    throwing.showMessage = [](std::string_view) { throw std::runtime_error("unforeseen"); };
    ForTamrisk survivor(std::move(throwing));
    EXPECT_NO_THROW(survivor.FilterMtext());
    EXPECT_FALSE(survivor.CommandRunning());
    EXPECT_NO_THROW(survivor.FilterMtext());
    EXPECT_EQ(directory.FindCount(), 18);  // both commands ran
}

}  // namespace
}  // namespace velmora
