// The commands end to end over real COM: the stand-in AutoCAD in its own
// process found through the running object table, the stand-in Excel
// started by local-server activation, each known under one ProgID at a time.
#include <gtest/gtest.h>

#include <chrono>

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
    WindowServices services{&directory, [this](std::string_view text) { seen.emplace_back(text); },
                            [this] { seen.emplace_back("shown"); }, [](int) {}};

    // With the first piles of these two recorded.
    explicit Window(std::int16_t piles = 0) {
        const RegisterRow rows[] = {{"1.0625", "2.5004", "0", "ZH-1"},
                                    {"-12.3456", "7", "0", "桩2号"}};
        std::copy(rows, rows + piles, state.pileRegister.rows.begin());
        state.pileCount = piles;
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
        EXPECT_EQ(Text1(window.state.controls, 1), "6");
        window.state.cadSession = {};           // the server's objects are let go before it quits
        EXPECT_EQ(cad.Quit(), kWorkedDrawing);  // labelled, window maximised
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

TEST(CrossProcess, AutoCadIsUsedWhenACompatibleProgramRunsToo) {
    RegisterStandInClasses();
    CadServer zwcad("ZWCAD.Application", "worked");
    CadServer autocad("AutoCAD.Application.24", "worked");
    ASSERT_TRUE(zwcad.started && autocad.started);
    Window window;
    FilterMtext(window.state, window.services);
    window.state.cadSession = {};
    EXPECT_EQ(autocad.Quit(), kWorkedDrawing);
    EXPECT_EQ(zwcad.Quit(), std::vector<std::string>{"windowState 1"});
    EXPECT_EQ(zwcad.calls, "calls 0");
}

TEST(CrossProcess, CadKilledMidCommandEndsTheCommand) {
    RegisterStandInClasses();
    Window window;
    CadServer cad("AutoCAD.Application", "killed");
    ASSERT_TRUE(cad.started);
    const auto start = std::chrono::steady_clock::now();
    FilterMtext(window.state, window.services);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_TRUE(cad.process.WaitForExit(5000));
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

// Rows 1 to 5 of the sheet, read back from the other process: cells end
// with "|", rows with ";"; then whether it is shown and A1:D1 merged.
std::string TableOf(const Object& excel) {
    const Object sheet = GetObject(excel, "ActiveSheet");
    std::string text;
    for (std::int16_t cell = 0; cell < 20; ++cell) {
        const std::int16_t row = cell / 4 + 1, column = cell % 4 + 1;
        text += Describe(Get(GetObject(sheet, "Cells", {row, column}), "Value"));
        text += cell % 4 < 3 ? "|" : ";";
    }
    return text + Describe(Get(excel, "Visible")) +
           Describe(Get(GetObject(sheet, "Range", {"A1:D1"}), "MergeCells"));
}

TEST(CrossProcess, ExportWritesTheSameTableIntoEachSpreadsheetProgram) {
    for (std::string_view progId : kExcelProgIds) {
        SCOPED_TRACE(std::string(progId));
        RegisterExcelAs(progId);
        Window window(2);
        Object earlier;
        for (int run = 0; run < 2; ++run) {  // each export starts a program of its own
            ExportCoordinateTable(window.state, window.services);
            const Object excel = window.state.excelApplication;
            ASSERT_TRUE(excel);
            EXPECT_NE(std::exchange(earlier, excel), excel);
            EXPECT_EQ(TableOf(excel),
                      R"("工程桩坐标数据成果表"|empty|empty|empty;"序号"|"桩编号"|"坐标X"|"坐标Y";)"
                      R"(r8:1|"ZH-1"|r8:1.0620000000000001|r8:2.5;r8:2|"桩2号"|r8:-12.346|r8:7;)"
                      "empty|empty|empty|empty;truetrue");  // shown, A1:D1 merged
        }
        EXPECT_TRUE(window.seen.empty());
    }
    // No spreadsheet program at all, then a class registered with no server
    // behind it: the message each time, and no application.
    Window window(1);
    RegisterExcelAs("");
    ExportCoordinateTable(window.state, window.services);
    standins::RegisterProgId("Excel.Application", standins::kExcelClassId);
    ExportCoordinateTable(window.state, window.services);
    EXPECT_EQ(window.seen,
              (std::vector<std::string>(2, "软件没有检测到EXCEL，请确认EXCEL安装完整版！")));
    EXPECT_FALSE(window.state.excelApplication);
    RegisterStandInClasses();
}

}  // namespace
}  // namespace velmora::testing
