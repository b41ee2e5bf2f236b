// The stand-in AutoCAD as a separate process (cad_serving.h).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>

#include "automation/com/apartment.h"
#include "automation/com/dispatch_adapter.h"
#include "standins/autocad/standin_cad.h"
#include "standins/com_servers/cad_serving.h"
#include "standins/com_servers/handles.h"
#include "standins/com_servers/registration.h"
#include "standins/drawing/pick_geometry.h"
#include "text/utf16.h"

namespace velmora::standins {
namespace {

std::map<std::string, std::string> ReadOptions(int argc, char** argv) {
    std::map<std::string, std::string> options;
    for (int i = 1; i + 1 < argc; i += 2) options[argv[i]] = argv[i + 1];
    return options;
}

// Block piles: a dynamic block's anonymous reference and two plain ones,
// one on another layer; a circle and a point on the piles' layer.
void BlockPiles(CadHost& host) {
    Drawing& drawing = host.drawing;
    const EntityId first = AddBlockReference(drawing, {10, 20, 0}, "*U1", "ZH-1");
    AddBlockReference(drawing, {30, 20, 0}, "ZH-1");
    AddBlockReference(drawing, {50, 20, 0}, "ZH-1");
    AddCircle(drawing, {10, 40, 0}, 0.5);
    AddPoint(drawing, {30, 40, 0});
    for (auto& [id, entity] : drawing.entities) entity.layer = id == first + 2 ? "其他" : "桩位";
    host.entityPicker = ScriptedEntityPicker({EntityPick{first, {10.25, 20.5, 0}}});
    auto picks = std::make_shared<long>(0);
    host.picker = [picks](const PickRequest& request) -> Pick {
        if (++*picks % 2 == 0) return std::vector<EntityId>{};
        return PickInBox(request.drawing, request.filter, {-1e9, -1e9, 1e9, 1e9}, true);
    };
}

std::shared_ptr<CadHost> MakeScenario(const std::string& name) {
    auto host = NewCadHost();
    Drawing& drawing = host->drawing;
    if (name == "worked") {
        const EntityId a = AddPoint(drawing, {30, 20, 0}), b = AddPoint(drawing, {10, 40, 0});
        const EntityId c = AddPoint(drawing, {10, 20, 0}), d = AddPoint(drawing, {60, 5, 0});
        const EntityId e = AddPoint(drawing, {50, 5, 0});
        host->picker = ScriptedPicker({std::vector{a, b, c}, std::vector{d, e}});
    } else if (name == "killed") {
        const EntityId a = AddPoint(drawing, {1, 2, 0});
        auto picks = std::make_shared<int>(0);
        host->picker = [a, picks](const PickRequest&) -> Pick {
            // AutoCAD crashes while the user picks the second time.
            if (++*picks == 2) TerminateProcess(GetCurrentProcess(), 3);
            return std::vector{a};
        };
    } else if (name == "blocks") {
        BlockPiles(*host);
    } else if (name.rfind("grid:", 0) == 0) {
        const int count = std::max(std::atoi(name.c_str() + 5), 0);
        std::vector<EntityId> all;
        all.reserve(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            // Rows of 40 points 2 apart, the rows 3 apart.
            const int row = i / 40;
            const int column = i % 40;
            all.push_back(AddPoint(drawing, {double(column) * 2.0, double(row) * 3.0, 0}));
        }
        // Every other pick takes them all, so each command numbers one pass.
        auto picks = std::make_shared<long>(0);
        host->picker = [all, picks](const PickRequest&) -> Pick {
            if (++*picks % 2 == 0) return std::vector<EntityId>{};
            return all;
        };
    }
    return host;
}

// AutoCAD's main window, whose HWND the application gives. Shown without
// taking the foreground: only the client's hand-over brings it forward.
HWND OpenMainWindow() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"VelmoraStandInCad";
    RegisterClassExW(&windowClass);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"AutoCAD - [Drawing1.dwg]",
                                  WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr, nullptr,
                                  windowClass.hInstance, nullptr);
    if (window) ShowWindow(window, SW_SHOWNOACTIVATE);
    return window;
}

// Notes, for each pick, whether the main window was in front when it began
// ("y" or "n", in order).
void NoteFrontAtPicks(CadHost& host, HWND window, const std::shared_ptr<std::string>& front) {
    host.windowHandle = reinterpret_cast<INT_PTR>(window);
    host.picker = [picker = std::move(host.picker), window, front](const PickRequest& request) {
        *front += GetForegroundWindow() == window ? 'y' : 'n';
        return picker ? picker(request) : Pick(std::vector<EntityId>{});
    };
}

struct CloseFile {
    void operator()(FILE* file) const { std::fclose(file); }
};

struct DestroyOnClose {
    void operator()(HWND window) const { DestroyWindow(window); }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, DestroyOnClose>;

void Dump(const CadHost& host, const std::string& path, const std::string& front,
          const CadServing& serving) {
    const std::unique_ptr<FILE, CloseFile> file(std::fopen(path.c_str(), "wb"));
    if (!file) return;
    std::fprintf(file.get(), "windowState %d\n", host.windowState);
    std::fprintf(file.get(), "front %s\n", front.c_str());
    for (const Entity* text : Texts(host.drawing)) {
        const Point3 anchor = TextAnchor(*text);
        std::fprintf(file.get(), "text %s|%.17g|%.17g|%.17g|%d|%.17g|%.17g|%.17g|%.17g\n",
                     text->text.c_str(), text->position.x, text->position.y, text->position.z,
                     text->alignment, anchor.x, anchor.y, anchor.z, text->height);
    }
    if (serving.dumpMore) serving.dumpMore(file.get());
}

UniqueHandle OpenEventByName(const std::string& name) {
    if (name.empty()) return nullptr;
    return UniqueHandle(OpenEventW(EVENT_MODIFY_STATE | SYNCHRONIZE, FALSE, Wide(name).c_str()));
}

// Serves calls until the quit event (if any) is set, or for ten minutes at most.
void ServeCalls(HANDLE quit) {
    const ULONGLONG deadline = GetTickCount64() + 600000;
    for (bool running = true; running && GetTickCount64() < deadline;) {
        const DWORD handles = quit ? 1 : 0;
        const DWORD woken =
            MsgWaitForMultipleObjects(handles, quit ? &quit : nullptr, FALSE, 1000, QS_ALLINPUT);
        if (quit && woken == WAIT_OBJECT_0) break;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) running = false;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

}  // namespace

int ServeCad(int argc, char** argv, const CadServing& serving) {
    auto options = ReadOptions(argc, argv);
    const std::string progId = options["--progid"];
    if (progId.empty()) {
        std::fprintf(stderr, "usage: velmora_cad_server --progid <ProgID> ...\n");
        return 2;
    }
    ComApartment apartment;
    // Clients find the server by ProgID: make sure that ProgID is known.
    RegisterProgId(progId, CadClassId(progId));
    auto host = MakeScenario(options["--scenario"]);
    const UniqueWindow window(OpenMainWindow());
    auto front = std::make_shared<std::string>();
    NoteFrontAtPicks(*host, window.get(), front);
    Object exposed = CadApplication(host);
    if (serving.expose) exposed = serving.expose(std::move(exposed));
    Microsoft::WRL::ComPtr<IDispatch> application;
    application.Attach(ExposeObject(exposed));
    DWORD cookie = 0;
    const HRESULT hr =
        RegisterActiveObject(application.Get(), CadClassId(progId), ACTIVEOBJECT_STRONG, &cookie);
    if (FAILED(hr)) {
        std::fprintf(stderr, "RegisterActiveObject failed: 0x%08lX\n",
                     static_cast<unsigned long>(hr));
        return 1;
    }
    {
        const Registration running(cookie, RevokeRunning);
        const UniqueHandle ready = OpenEventByName(options["--ready"]);
        const UniqueHandle quit = OpenEventByName(options["--quit"]);
        if (ready) SetEvent(ready.get());
        ServeCalls(quit.get());
    }
    CoDisconnectObject(application.Get(), 0);
    application.Reset();
    if (!options["--dump"].empty()) Dump(*host, options["--dump"], *front, serving);
    return 0;
}

}  // namespace velmora::standins
