// Velmora.exe as a user runs it: started on its own, with the stand-in
// AutoCAD running and the stand-in Excel registered, driven only by window
// messages. Two scripted picks are numbered, the table is exported, the
// window is closed; the drawing and the workbook show the result.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>

#include "app/win32/main_window.h"
#include "app/win32/text.h"
#include "server_process.h"

namespace velmora::testing {
namespace {

// Waits up to timeoutMs for ready() to hold, checking every 100 ms.
template <class Ready>
bool WaitFor(Ready ready, DWORD timeoutMs) {
    for (DWORD waited = 0; waited < timeoutMs && !ready(); waited += 100) Sleep(100);
    return ready();
}

HWND ControlOf(HWND main, std::string_view name, int index = -1) {
    const std::string_view container = kControls[ControlAt(name, index)].container;
    HWND parent = container.empty() ? main : GetDlgItem(main, ControlId(ControlAt(container, -1)));
    return GetDlgItem(parent, ControlId(ControlAt(name, index)));
}

// The text of another process's window; empty while it does not answer.
std::string TextOf(HWND window) {
    wchar_t buffer[128] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 128, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                        500, &copied);
    return Narrow(buffer);
}

TEST(VelmoraProgram, NumbersTwoPicksAndExportsThroughItsWindow) {
    RegisterStandInClasses();
    CadServer cad("AutoCAD.Application", "worked");
    ASSERT_TRUE(cad.Started());
    const std::wstring dump = ExecutableFolder() + L"program-test-workbook.txt";
    DeleteFileW(dump.c_str());
    SetEnvironmentVariableW(L"VELMORA_EXCEL_DUMP", dump.c_str());

    const std::wstring exe = ExecutableFolder() + L"..\\Velmora.exe";
    std::wstring command = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process));
    struct Closer {
        PROCESS_INFORMATION& process;
        ~Closer() {
            TerminateProcess(process.hProcess, 9);  // fails once it has ended
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
    } closer{process};

    HWND main = nullptr;
    ASSERT_TRUE(WaitFor(
        [&] { return (main = FindThreadWindow(process.dwThreadId, kMainWindowClass)) != nullptr; },
        20000));
    // Shown and answering once its controls are made.
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(main) && TextOf(main) == "Velmora"; }, 20000));
    ASSERT_TRUE(WaitFor([&] { return TextOf(ControlOf(main, "Text1", 1)) == "1"; }, 5000));

    // "编号": two passes of picks, then the next start number is shown.
    PostMessageW(ControlOf(main, "Command1"), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return TextOf(ControlOf(main, "Text1", 1)) == "6"; }, 30000));

    // "导出桩坐标": a new workbook holds the table, one "row|column|value" a cell.
    PostMessageW(ControlOf(main, "Command3"), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return GetFileAttributesW(dump.c_str()) != INVALID_FILE_ATTRIBUTES; },
                        30000));
    std::set<std::string> cells;
    std::ifstream in(Narrow(dump), std::ios::binary);
    for (std::string line; std::getline(in, line);) cells.insert(line);
    for (const char* cell : {"1|1|工程桩坐标数据成果表",
                             "2|2|桩编号",
                             "3|1|1",
                             "3|2|1",
                             "3|3|10",
                             "3|4|40",
                             "4|1|2",
                             "4|2|2",
                             "4|3|10",
                             "4|4|20",
                             "5|1|3",
                             "5|2|3",
                             "5|3|30",
                             "5|4|20",
                             "6|1|4",
                             "6|2|4",
                             "6|3|50",
                             "6|4|5",
                             "7|1|5",
                             "7|2|5",
                             "7|3|60",
                             "7|4|5"}) {
        EXPECT_EQ(cells.count(cell), 1u) << cell;
    }
    for (const std::string& cell : cells) EXPECT_FALSE(cell.starts_with("8|2|")) << cell;

    // The close control ends the program; AutoCAD keeps running.
    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_EQ(WaitForSingleObject(process.hProcess, 15000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    std::vector<std::string> drawing = cad.Quit();
    ASSERT_FALSE(drawing.empty());
    drawing.pop_back();  // the call count
    EXPECT_EQ(drawing, kWorkedDrawing);
    SetEnvironmentVariableW(L"VELMORA_EXCEL_DUMP", nullptr);
    DeleteFileW(dump.c_str());
}

}  // namespace
}  // namespace velmora::testing
