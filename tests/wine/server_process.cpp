#include "server_process.h"

#include <cstdio>
#include <fstream>

#include "automation/com/utf16.h"
#include "cad/connect_cad.h"
#include "export/export_coordinate_table.h"
#include "registration.h"

namespace velmora::testing {

namespace {

std::string Narrow(const std::wstring& wide) {
    return Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

}  // namespace

std::wstring ExecutableFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

HWND FindThreadWindow(DWORD thread, const std::wstring& className) {
    std::pair<const std::wstring*, HWND> search{&className, nullptr};
    EnumThreadWindows(
        thread,
        [](HWND window, LPARAM context) -> BOOL {
            auto& [wanted, found] =
                *reinterpret_cast<std::pair<const std::wstring*, HWND>*>(context);
            wchar_t name[64] = {};
            GetClassNameW(window, name, 64);
            if (*wanted != name) return TRUE;
            found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.second;
}

void RegisterStandInClasses() {
    KnowCadClasses(true);
    RegisterExcelAs("Excel.Application");
}

void KnowCadClasses(bool known) {
    for (std::string_view progId : kCadProgIds) {
        if (known) standins::RegisterProgId(progId, standins::CadClassId(progId));
        if (!known) standins::UnregisterProgId(progId, standins::CadClassId(progId));
    }
}

void RegisterExcelAs(std::string_view progId) {
    for (auto name : kExcelProgIds) standins::UnregisterProgId(name, standins::kExcelClassId);
    const std::wstring server = L"\"" + ExecutableFolder() + L"velmora_excel_server.exe\"";
    if (!progId.empty()) standins::RegisterProgId(progId, standins::kExcelClassId, server);
}

CadServer::CadServer(const std::string& progId, const std::string& scenario) {
    const std::wstring tag =
        std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount64());
    const std::wstring readyName = L"velmora-ready-" + tag;
    const std::wstring quitName = L"velmora-quit-" + tag;
    ready_ = CreateEventW(nullptr, TRUE, FALSE, readyName.c_str());
    quit_ = CreateEventW(nullptr, TRUE, FALSE, quitName.c_str());
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    dumpPath_ = std::wstring(temp) + L"velmora-cad-" + tag + L".txt";

    std::wstring command = L"\"" + ExecutableFolder() + L"velmora_cad_server.exe\" --progid \"" +
                           standins::Widen(progId) + L"\" --scenario " + standins::Widen(scenario) +
                           L" --ready " + readyName + L" --quit " + quitName + L" --dump \"" +
                           dumpPath_ + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process_)) {
        return;
    }
    const HANDLE waits[2] = {ready_, process_.hProcess};
    started_ = WaitForMultipleObjects(2, waits, FALSE, 30000) == WAIT_OBJECT_0;
}

CadServer::~CadServer() {
    if (process_.hProcess) {
        if (!WaitForExit(0)) {
            SetEvent(quit_);
            if (!WaitForExit(10000)) TerminateProcess(process_.hProcess, 1);
        }
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }
    if (ready_) CloseHandle(ready_);
    if (quit_) CloseHandle(quit_);
    DeleteFileW(dumpPath_.c_str());
}

bool CadServer::WaitForExit(DWORD timeoutMs) {
    return process_.hProcess && WaitForSingleObject(process_.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

std::vector<std::string> CadServer::Quit() {
    SetEvent(quit_);
    std::vector<std::string> lines;
    if (!WaitForExit(20000)) return lines;
    std::ifstream file(Narrow(dumpPath_));
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
}

}  // namespace velmora::testing
