// Velmora.exe as a user runs it: started on its own, with the stand-in
// AutoCAD running and the stand-in Excel registered, driven only by window
// messages. Two scripted picks are numbered, the table is exported, the
// window is closed; the drawing and the workbook show the result.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "app/win32/main_window.h"
#include "app/win32/text.h"
#include "server_process.h"

namespace velmora::testing {
namespace {

// Waits up to timeoutMs for ready() to hold, checking every 100 ms.
template <class Ready>
bool WaitFor(Ready ready, DWORD timeoutMs) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 100) {
        if (ready()) return true;
        Sleep(100);
    }
    return ready();
}

HWND ControlOf(HWND main, std::string_view name, int index = -1) {
    const ControlSpec& entry = kControls[ControlAt(name, index)];
    HWND parent = entry.container.empty()
                      ? main
                      : GetDlgItem(main, ControlId(ControlAt(entry.container, -1)));
    return GetDlgItem(parent, ControlId(ControlAt(name, index)));
}

// The text of another process's control; empty while it does not answer.
std::string TextOf(HWND control) {
    wchar_t buffer[128] = {};
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(control, WM_GETTEXT, 128, reinterpret_cast<LPARAM>(buffer),
                             SMTO_ABORTIFHUNG, 500, &copied)) {
        return {};
    }
    return Narrow(buffer);
}

std::map<std::pair<int, int>, std::string> ReadCells(const std::wstring& path) {
    std::map<std::pair<int, int>, std::string> cells;
    std::ifstream in(Narrow(path), std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string row, column, value;
        std::getline(fields, row, '|');
        std::getline(fields, column, '|');
        std::getline(fields, value);
        cells[{std::stoi(row), std::stoi(column)}] = value;
    }
    return cells;
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
            if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(process.hProcess, 9);
            }
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
    HWND startNumber = ControlOf(main, "Text1", 1);
    ASSERT_TRUE(WaitFor([&] { return TextOf(startNumber) == "1"; }, 5000));

    // "编号": two passes of picks, then the next start number is shown.
    PostMessageW(ControlOf(main, "Command1"), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return TextOf(startNumber) == "6"; }, 30000)) << TextOf(startNumber);

    // "导出桩坐标": a new workbook holds the table.
    PostMessageW(ControlOf(main, "Command3"), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return GetFileAttributesW(dump.c_str()) != INVALID_FILE_ATTRIBUTES; },
                        30000));
    auto cells = ReadCells(dump);
    EXPECT_EQ(cells[std::pair(1, 1)], "工程桩坐标数据成果表");
    EXPECT_EQ(cells[std::pair(2, 2)], "桩编号");
    const std::vector<std::vector<std::string>> rows = {{"1", "1", "10", "40"},
                                                        {"2", "2", "10", "20"},
                                                        {"3", "3", "30", "20"},
                                                        {"4", "4", "50", "5"},
                                                        {"5", "5", "60", "5"}};
    for (int row = 0; row < 5; ++row) {
        for (int column = 0; column < 4; ++column) {
            EXPECT_EQ(cells[std::pair(row + 3, column + 1)], rows[row][column])
                << "row " << row + 3 << " column " << column + 1;
        }
    }
    EXPECT_EQ(cells.count(std::pair(8, 2)), 0u);

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
