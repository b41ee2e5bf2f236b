// Starting and stopping the stand-in servers from a test: the AutoCAD
// server announces itself through a named event once it is in the running
// object table, and writes its drawing's texts to a file when it quits.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "automation/com/win32_com.h"

namespace velmora::testing {

// The folder the test executable (and the servers built beside it) is in.
std::wstring ExecutableFolder();

class CadServer {
  public:
    // Starts the server under progId with the given scenario and waits until
    // it is registered. Check Started() before use.
    CadServer(const std::string& progId, const std::string& scenario);
    ~CadServer();
    CadServer(const CadServer&) = delete;
    CadServer& operator=(const CadServer&) = delete;

    bool Started() const { return started_; }
    // Asks the server to quit and returns the lines it wrote ("windowState
    // 3", "text 1|x|y|z|alignment|ax|ay|az|height" per text, and last
    // "calls N", the automation calls it answered).
    std::vector<std::string> Quit();
    // True when the process has ended within timeoutMs.
    bool WaitForExit(DWORD timeoutMs);

  private:
    PROCESS_INFORMATION process_{};
    HANDLE ready_ = nullptr;
    HANDLE quit_ = nullptr;
    std::wstring dumpPath_;
    bool started_ = false;
};

// What the "worked" scenario's drawing holds once the five piles are
// numbered with the default settings, as Quit() reports it (less the count).
inline const std::vector<std::string> kWorkedDrawing = {
    "windowState 3",
    "text 1|10|40|0|1|10|38.75|0|2.5",
    "text 2|10|20|0|1|10|18.75|0|2.5",
    "text 3|30|20|0|1|30|18.75|0|2.5",
    "text 4|50|5|0|1|50|3.75|0|2.5",
    "text 5|60|5|0|1|60|3.75|0|2.5",
};

// The first top-level window of the thread with the given class name, or null.
HWND FindThreadWindow(DWORD thread, const std::wstring& className);

// Makes every stand-in ProgID known: all the CAD ProgIDs (none running until
// a server registers itself), and "Excel.Application" served by the stand-in
// Excel server.
void RegisterStandInClasses();
// Makes all the CAD ProgIDs known, or none, as on a machine without CAD.
void KnowCadClasses(bool known);
// The stand-in Excel server known under this one spreadsheet ProgID only;
// under none when it is empty.
void RegisterExcelAs(std::string_view progId);

}  // namespace velmora::testing
