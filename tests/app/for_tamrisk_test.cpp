#include "app/for_tamrisk.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "automation/directory.h"
#include "cad/connect_cad.h"
#include "release_probe.h"

namespace velmora {
namespace {

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
