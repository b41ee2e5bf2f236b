// Velmora.exe as a user runs it: started on its own, with the stand-in
// AutoCAD running and the stand-in Excel registered, driven only by window
// messages. Two scripted picks are numbered, the table is exported, the
// window is closed; the drawing and the workbook show the result.
#include <gtest/gtest.h>

#include <cstdio>

#include "app/win32/main_window.h"
#include "server_process.h"
#include "window_probe.h"

namespace velmora::testing {
namespace {

HWND ControlOf(HWND main, std::string_view name, int index = -1) {
    const std::string_view container = kControls[ControlAt(name, index)].container;
    HWND parent = container.empty() ? main : GetDlgItem(main, ControlId(ControlAt(container, -1)));
    return GetDlgItem(parent, ControlId(ControlAt(name, index)));
}

TEST(VelmoraProgram, NumbersTwoPicksAndExportsThroughItsWindow) {
    RegisterStandInClasses();
    CadServer cad("AutoCAD.Application", "worked", L"velmora_logged_cad_server.exe");
    ASSERT_TRUE(cad.started);
    const std::wstring dump = ExecutableFolder() + L"program-test-workbook.txt";
    DeleteFileW(dump.c_str());
    SetEnvironmentVariableW(L"VELMORA_EXCEL_DUMP", dump.c_str());
    ChildProcess program(L"\"" + ExecutableFolder() + L"..\\Velmora.exe\"");
    ASSERT_TRUE(program.started);
    HWND main = nullptr;
    ASSERT_TRUE(WaitFor(
        [&] { return (main = FindThreadWindow(program.info.dwThreadId, kMainWindowClass)); },
        20000));
    // Shown and answering once its controls are made.
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(main) && TextOf(main) == "Velmora"; }, 20000));
    const auto startNumber = [&] { return TextOf(ControlOf(main, "Text1", 1)); };
    ASSERT_TRUE(WaitFor([&] { return startNumber() == "1"; }, 5000));

    // "编号": two passes of picks, then the next start number is shown.
    PostMessageW(ControlOf(main, "Command1"), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return startNumber() == "6"; }, 30000));

    // "导出桩坐标": a new workbook holds the table, one "row|column|value" a cell.
    PostMessageW(ControlOf(main, "Command3"), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return GetFileAttributesW(dump.c_str()) != INVALID_FILE_ATTRIBUTES; },
                        30000));
    std::string cells;
    std::ifstream in(std::filesystem::path(dump), std::ios::binary);
    for (std::string line; std::getline(in, line);) cells += line + ";";
    EXPECT_EQ(cells,
              "1|1|工程桩坐标数据成果表;2|1|序号;2|2|桩编号;2|3|坐标X;2|4|坐标Y;"
              "3|1|1;3|2|1;3|3|10;3|4|40;4|1|2;4|2|2;4|3|10;4|4|20;5|1|3;5|2|3;5|3|30;5|4|20;"
              "6|1|4;6|2|4;6|3|50;6|4|5;7|1|5;7|2|5;7|3|60;7|4|5;");

    // The close control ends the program; AutoCAD keeps running.
    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit(15000));
    DWORD exitCode = 1;
    GetExitCodeProcess(program.info.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(cad.Quit(), kWorkedDrawing);
    // AutoCAD was handed the foreground before the first pick and kept it;
    // each pass's labels were one undo group.
    EXPECT_EQ(cad.front, "yyy");
    std::string marked;  // the foreground step, the picks, the undo marks and the labels
    for (const std::string& call : cad.calls) {
        for (const char* step : {"HWND", "Screen", "Start", "AddText", "End"}) {
            if (call.find(step) != std::string::npos) marked += std::string(step) + " ";
        }
    }
    EXPECT_EQ(marked,
              "HWND Screen Start AddText AddText AddText End "
              "Screen Start AddText AddText End Screen ");
    for (const std::string& call : cad.calls) std::printf("[ AutoCAD  ] %s\n", call.c_str());
    SetEnvironmentVariableW(L"VELMORA_EXCEL_DUMP", nullptr);
    DeleteFileW(dump.c_str());
}

}  // namespace
}  // namespace velmora::testing
