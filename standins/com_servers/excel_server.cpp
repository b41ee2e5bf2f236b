// The stand-in Excel as a local server for "Excel.Application": COM starts
// it on demand (with -Embedding) and asks its class object for a new
// application. "velmora_excel_server -RegServer" registers it. Like Excel, every creation gets a
// process of its own; the process ends when the last reference to its objects is released.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iomanip>
#include <string>

#include "automation/com/apartment.h"
#include "automation/com/dispatch_adapter.h"
#include "standins/com_servers/handles.h"
#include "standins/com_servers/registration.h"
#include "standins/excel/standin_excel.h"

namespace velmora::standins {
namespace {

std::atomic<long> serverLocks{0};
std::atomic<bool> handedOut{false};

// For tests of a whole program that holds the application itself: when
// VELMORA_EXCEL_DUMP names a file, the active sheet's values are written
// there as "row|column|value" lines each time the application is shown.
void DumpShownValues(const ExcelModel& model) {
    const char* path = std::getenv("VELMORA_EXCEL_DUMP");
    if (!path || !*path || model.activeWorkbook < 0) return;
    const Workbook& book = model.workbooks.at(static_cast<size_t>(model.activeWorkbook));
    if (book.sheets.empty()) return;
    // Written beside and moved into place, so a reader never sees half of it.
    const std::string part = std::string(path) + ".part";
    std::ofstream out(part, std::ios::binary | std::ios::trunc);
    out << std::setprecision(15);
    for (const auto& [key, value] : book.sheets.front().values) {
        out << key.first << '|' << key.second << '|';
        if (const auto* number = std::get_if<double>(&value)) out << *number;
        if (const auto* text = std::get_if<std::string>(&value)) out << *text;
        if (const auto* flag = std::get_if<bool>(&value)) out << (*flag ? "TRUE" : "FALSE");
        out << '\n';
    }
    out.close();
    MoveFileExA(part.c_str(), path, MOVEFILE_REPLACE_EXISTING);
}

class ExcelClassFactory final : public IClassFactory {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // A static instance that lives as long as the process.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        try {
            auto instance = std::make_shared<ExcelInstance>();
            instance->onVisible = DumpShownValues;
            Microsoft::WRL::ComPtr<IDispatch> application;
            application.Attach(ExposeObject(MakeExcelApplication(instance)));
            const HRESULT hr = application->QueryInterface(iid, out);
            if (SUCCEEDED(hr)) handedOut = true;
            return hr;
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        serverLocks += lock ? 1 : -1;
        return S_OK;
    }
};

ExcelClassFactory factory;

// Registers this program as "Excel.Application".
int RegisterServer() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring command = L"\"" + std::wstring(path) + L"\"";
    return RegisterProgId(kExcelProgId, kExcelClassId, command) ? 0 : 1;
}

// Serves until the application handed out is released by everyone, or
// gives up after a minute when nobody asked for one.
void ServeUntilReleased() {
    const ULONGLONG idleDeadline = GetTickCount64() + 60000;
    for (;;) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 200, QS_ALLINPUT);
        MSG message;
        bool quit = false;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) quit = true;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (quit) return;
        if (handedOut && CurrentAdapterCounts().live == 0 && serverLocks == 0) return;
        if (!handedOut && GetTickCount64() > idleDeadline) return;
    }
}

int Serve(int argc, char** argv) {
    bool embedding = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-Embedding" || arg == "/Embedding") embedding = true;
        if (arg == "-RegServer" || arg == "/RegServer") return RegisterServer();
    }
    if (!embedding) {
        std::fprintf(stderr,
                     "velmora_excel_server is started by COM (-Embedding), "
                     "or registers itself with -RegServer\n");
        return 2;
    }
    ComApartment apartment;
    DWORD cookie = 0;
    const HRESULT hr = CoRegisterClassObject(kExcelClassId, &factory, CLSCTX_LOCAL_SERVER,
                                             REGCLS_SINGLEUSE, &cookie);
    if (FAILED(hr)) {
        std::fprintf(stderr, "CoRegisterClassObject failed: 0x%08lX\n",
                     static_cast<unsigned long>(hr));
        return 1;
    }
    const Registration registration(cookie, RevokeClass);
    ServeUntilReleased();
    return 0;
}

}  // namespace
}  // namespace velmora::standins

int main(int argc, char** argv) { return velmora::standins::Serve(argc, argv); }
