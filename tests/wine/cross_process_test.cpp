// The commands end to end over real COM: the stand-in AutoCAD in its own
// process found through the running object table, the stand-in Excel
// started by local-server activation. Expectations as for the in-process
// runs of the same commands.
#include <gtest/gtest.h>

#include <chrono>

#include "automation/com/com_directory.h"
#include "automation/com/dispatch_adapter.h"
#include "export/export_coordinate_table.h"
#include "numbering/filter_mtext.h"
#include "registration.h"
#include "server_process.h"
#include "window/control_values.h"

namespace velmora::testing {
namespace {

struct Window {
    ComDirectory directory;
    WindowState state;
    WindowServices services;
    std::vector<std::string> messages;
    int shown = 0;

    Window() {
        services.directory = &directory;
        services.showMessage = [this](std::string_view text) { messages.emplace_back(text); };
        services.showWindow = [this] { ++shown; };
        services.textChanged = [](int) {};
    }
};

TEST(CrossProcess, NumberCommandAgainstTheCadServer) {
    RegisterStandInClasses();
    Window window;
    {
        // Registered only under a versioned ProgID: found by the fallback.
        CadServer cad("AutoCAD.Application.18", "worked");
        ASSERT_TRUE(cad.Started());
        FilterMtext(window.state, window.services);

        EXPECT_TRUE(window.messages.empty());
        EXPECT_EQ(window.shown, 1);
        EXPECT_EQ(window.state.pileCount, 5);
        const std::vector<RegisterRow> expected = {
            {"10", "40", "0", "1"}, {"10", "20", "0", "2"}, {"30", "20", "0", "3"},
            {"50", "5", "0", "4"},  {"60", "5", "0", "5"},
        };
        for (int row = 0; row < 5; ++row)
            EXPECT_EQ(window.state.pileRegister.rows[row], expected[row]);
        EXPECT_EQ(Text1(window.state.controls, 1), "6");

        // Drop the references to the server's objects before it quits.
        window.state.cadSession = {};
        std::vector<std::string> drawing = cad.Quit();
        ASSERT_FALSE(drawing.empty());
        EXPECT_EQ(drawing.back().rfind("calls ", 0), 0u);
        drawing.pop_back();
        EXPECT_EQ(drawing, kWorkedDrawing);
    }
    // AutoCAD is gone: the next command says so, once, and does nothing else.
    FilterMtext(window.state, window.services);
    EXPECT_EQ(window.messages, std::vector<std::string>{"请先打开CAD软件！"});
    EXPECT_EQ(window.shown, 1);
    EXPECT_EQ(window.state.pileCount, 5);
}

TEST(CrossProcess, CadKilledMidCommandEndsTheCommand) {
    RegisterStandInClasses();
    Window window;
    CadServer cad("AutoCAD.Application", "killed");
    ASSERT_TRUE(cad.Started());
    const auto start = std::chrono::steady_clock::now();
    FilterMtext(window.state, window.services);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_TRUE(cad.WaitForExit(5000));

    // The first pass was numbered; the second ended with the server.
    EXPECT_EQ(window.state.pileCount, 1);
    EXPECT_EQ(window.state.pileRegister.rows[0], (RegisterRow{"1", "2", "0", "1"}));
    EXPECT_EQ(window.state.pileRegister.rows[1], RegisterRow{});
    EXPECT_EQ(window.shown, 1);
    EXPECT_TRUE(window.messages.empty());
    // The dead server's references are still held; the next command finds
    // no AutoCAD and says so.
    FilterMtext(window.state, window.services);
    EXPECT_EQ(window.messages, std::vector<std::string>{"请先打开CAD软件！"});
}

TEST(CrossProcess, ExportIntoTheExcelServer) {
    RegisterStandInClasses();
    Window window;
    window.state.pileRegister.rows[0] = {"1.0625", "2.5004", "0", "ZH-1"};
    window.state.pileRegister.rows[1] = {"-12.3456", "7", "0", "桩2号"};
    window.state.pileCount = 2;
    ExportCoordinateTable(window.state, window.services);
    EXPECT_TRUE(window.messages.empty());

    // Read the table back from the other process, through the same interface.
    const Object& excel = window.state.excelApplication;
    ASSERT_TRUE(excel);
    const Object sheet = GetObject(excel, "ActiveSheet");
    auto cell = [&](int row, int column) {
        return Get(
            GetObject(sheet, "Cells", {Variant(std::int16_t(row)), Variant(std::int16_t(column))}),
            "Value");
    };
    EXPECT_EQ(cell(1, 1), Variant("工程桩坐标数据成果表"));
    EXPECT_EQ(cell(2, 2), Variant("桩编号"));
    EXPECT_EQ(cell(3, 1).ToDouble(), 1.0);
    EXPECT_EQ(cell(3, 2), Variant("ZH-1"));
    EXPECT_EQ(cell(3, 3).ToDouble(), 1.062);
    EXPECT_EQ(cell(3, 4).ToDouble(), 2.5);
    EXPECT_EQ(cell(4, 2), Variant("桩2号"));
    EXPECT_EQ(cell(4, 3).ToDouble(), -12.346);
    EXPECT_TRUE(cell(5, 1).IsEmpty());
    EXPECT_EQ(Get(excel, "Visible"), Variant(true));
    EXPECT_EQ(Get(GetObject(sheet, "Range", {Variant("A1:D1")}), "MergeCells"), Variant(true));

    // A second export starts a second Excel with the same table.
    const Object first = window.state.excelApplication;
    ExportCoordinateTable(window.state, window.services);
    EXPECT_NE(window.state.excelApplication, first);
    EXPECT_EQ(Get(GetObject(GetObject(window.state.excelApplication, "ActiveSheet"), "Cells",
                            {Variant(std::int16_t(4)), Variant(std::int16_t(2))}),
                  "Value"),
              Variant("桩2号"));
    EXPECT_TRUE(window.messages.empty());
}

TEST(CrossProcess, ExcelThatCannotBeCreatedShowsTheMessage) {
    Window window;
    window.state.pileRegister.rows[0] = {"1", "2", "0", "1"};
    window.state.pileCount = 1;
    // Not installed at all, then a class registered with no server behind it.
    standins::UnregisterProgId("Excel.Application", standins::kExcelClassId);
    ExportCoordinateTable(window.state, window.services);
    standins::RegisterProgId("Excel.Application", standins::kExcelClassId);
    ExportCoordinateTable(window.state, window.services);
    EXPECT_EQ(window.messages,
              (std::vector<std::string>(2, "软件没有检测到EXCEL，请确认EXCEL安装完整版！")));
    EXPECT_FALSE(window.state.excelApplication);
    RegisterStandInClasses();
}

}  // namespace
}  // namespace velmora::testing
