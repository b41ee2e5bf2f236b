// The Number command end to end over real COM: the stand-in AutoCAD in its
// own process, found through the running object table under each ProgID
// alone, and killed in the middle of a command. (Excel's local-server
// activation is run by the program's own test.)
#include <gtest/gtest.h>

#include "automation/com/com_directory.h"
#include "numbering/filter_mtext.h"
#include "server_process.h"
#include "window/control_values.h"

namespace velmora::testing {
namespace {

struct Window {
    ComDirectory directory;
    WindowState state;
    std::vector<std::string> seen;  // the messages shown, and "shown" for the window
    WindowServices services{directory};

    Window() {
        services.showMessage = [this](std::string_view text) { seen.emplace_back(text); };
        services.showWindow = [this] { seen.emplace_back("shown"); };
    }
};

const std::vector<std::string> kNoCad = {"请先打开CAD软件！"}, kShown = {"shown"};

TEST(CrossProcess, NumberCommandFindsTheCadServerUnderEachProgIdAlone) {
    for (std::size_t i = 0; i < std::size(kCadProgIds); ++i) {
        SCOPED_TRACE(std::string(kCadProgIds[i]));
        KnowCadClasses(i % 2);  // the other names in turn known but not running, or not installed
        Window window;
        CadServer cad(std::string(kCadProgIds[i]), "worked");
        ASSERT_TRUE(cad.started);
        FilterMtext(window.state, window.services);
        EXPECT_EQ(window.seen, kShown);
        EXPECT_EQ(window.state.pileCount, 5);
        EXPECT_EQ(window.state.pileRegister.rows[4], (RegisterRow{"60", "5", "0", "5"}));
        EXPECT_EQ(Text(window.state.controls, TextBox::StartNumber), "6");
        window.state.cadSession = {};           // the server's objects are let go before it quits
        EXPECT_EQ(cad.Quit(), kWorkedDrawing);  // labelled, window maximised
        EXPECT_EQ(cad.front, "nnn");            // no view to bring it forward
    }
    // No CAD installed, then all names known but none running: the message only.
    for (bool known : {false, true}) {
        KnowCadClasses(known);
        Window window;
        FilterMtext(window.state, window.services);
        EXPECT_EQ(window.seen, kNoCad);
        EXPECT_EQ(window.state.pileCount, 0);
    }
}

TEST(CrossProcess, CadKilledMidCommandEndsTheCommand) {
    RegisterStandInClasses();
    Window window;
    CadServer cad("AutoCAD.Application", "killed");
    ASSERT_TRUE(cad.started);
    // A dead server fails each call at once: the command ends well before
    // ctest's limit however busy the machine is.
    FilterMtext(window.state, window.services);
    EXPECT_TRUE(cad.process.WaitForExit(60000));
    // The first pass was numbered; the second ended with the server.
    EXPECT_EQ(window.state.pileCount, 1);
    EXPECT_EQ(window.state.pileRegister.rows[0], (RegisterRow{"1", "2", "0", "1"}));
    EXPECT_EQ(window.state.pileRegister.rows[1], RegisterRow{});
    EXPECT_EQ(window.seen, kShown);
    // The dead server's references are still held; the next command finds
    // no AutoCAD and says so.
    window.seen.clear();
    FilterMtext(window.state, window.services);
    EXPECT_EQ(window.seen, kNoCad);
}

}  // namespace
}  // namespace velmora::testing
