// Starting and stopping processes from a test: the stand-in AutoCAD server
// announces itself through a named event once it is in the running object
// table, and writes its drawing's texts to a file when it quits.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "automation/com/win32_com.h"
#include "cad/connect_cad.h"
#include "export/export_coordinate_table.h"
#include "standins/com_servers/registration.h"
#include "text/utf16.h"

namespace velmora::testing {

// The folder the test executable (and the servers built beside it) is in.
inline std::wstring ExecutableFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::filesystem::path(path).parent_path().wstring() + L"\\";
}

// A process started by the test; ended, if it still runs, when it goes.
struct ChildProcess {
    PROCESS_INFORMATION info{};
    bool started = false;

    explicit ChildProcess(std::wstring command) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &startup, &info);
    }
    ~ChildProcess() {
        if (!started) return;
        TerminateProcess(info.hProcess, 9);  // fails once it has ended
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
    ChildProcess(const ChildProcess&) = delete;
    // True when the process has ended within timeoutMs.
    bool WaitForExit(DWORD timeoutMs) const {
        return started && WaitForSingleObject(info.hProcess, timeoutMs) == WAIT_OBJECT_0;
    }
};

class CadServer {
  public:
    // Starts the server under progId with the given scenario and waits until
    // it is registered. Check started before use.
    CadServer(const std::string& progId, const std::string& scenario)
        : process(L"\"" + ExecutableFolder() + L"velmora_cad_server.exe\" --progid \"" +
                  Wide(progId) + L"\" --scenario " + Wide(scenario) + L" --ready velmora-ready-" +
                  tag_ + L" --quit velmora-quit-" + tag_ + L" --dump \"" + dumpPath_ + L"\"") {
        const HANDLE waits[2] = {ready_, process.info.hProcess};
        started =
            process.started && WaitForMultipleObjects(2, waits, FALSE, 30000) == WAIT_OBJECT_0;
    }
    ~CadServer() {
        if (!process.WaitForExit(0)) SetEvent(quit_), process.WaitForExit(10000);
        CloseHandle(ready_);
        CloseHandle(quit_);
        DeleteFileW(dumpPath_.c_str());
    }
    // Asks the server to quit and returns the lines it wrote ("windowState
    // 3", "text 1|x|y|z|alignment|ax|ay|az|height" per text).
    std::vector<std::string> Quit() {
        SetEvent(quit_);
        std::vector<std::string> lines;
        std::ifstream file;
        if (process.WaitForExit(20000)) file.open(std::filesystem::path(dumpPath_));
        for (std::string line; std::getline(file, line);) lines.push_back(line);
        return lines;
    }

  private:
    const std::wstring tag_ =
        std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount64());
    const HANDLE ready_ = CreateEventW(nullptr, TRUE, FALSE, (L"velmora-ready-" + tag_).c_str());
    const HANDLE quit_ = CreateEventW(nullptr, TRUE, FALSE, (L"velmora-quit-" + tag_).c_str());
    const std::wstring dumpPath_ =
        (std::filesystem::temp_directory_path() / (L"velmora-cad-" + tag_ + L".txt")).wstring();

  public:
    ChildProcess process;
    bool started = false;  // and registered
};

// What the "worked" scenario's drawing holds once the five piles are
// numbered with the default settings, as Quit() reports it.
inline const std::vector<std::string> kWorkedDrawing = {
    "windowState 3",
    "text 1|10|40|0|1|10|38.75|0|2.5",
    "text 2|10|20|0|1|10|18.75|0|2.5",
    "text 3|30|20|0|1|30|18.75|0|2.5",
    "text 4|50|5|0|1|50|3.75|0|2.5",
    "text 5|60|5|0|1|60|3.75|0|2.5",
};

// Makes all the CAD ProgIDs known (none running until a server registers
// itself), or none, as on a machine without CAD.
inline void KnowCadClasses(bool known) {
    for (std::string_view progId : kCadProgIds) {
        if (known) standins::RegisterProgId(progId, standins::CadClassId(progId));
        if (!known) standins::UnregisterProgId(progId, standins::CadClassId(progId));
    }
}

// Every stand-in ProgID known: all the CAD ones, and the stand-in Excel
// server under "Excel.Application" only.
inline void RegisterStandInClasses() {
    KnowCadClasses(true);
    for (auto name : kExcelProgIds) standins::UnregisterProgId(name, standins::kExcelClassId);
    standins::RegisterProgId("Excel.Application", standins::kExcelClassId,
                             L"\"" + ExecutableFolder() + L"velmora_excel_server.exe\"");
}

}  // namespace velmora::testing
