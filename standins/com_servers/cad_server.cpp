// The stand-in AutoCAD as a separate process: it registers its application
// object in the running object table under a ProgID and serves COM calls
// until told to quit, then writes the drawing's texts to a file.
//
//   velmora_cad_server --progid <ProgID> --scenario <name> --ready <event>
//                      --quit <event> --dump <file>
//
// Scenarios: "worked" (five points picked in two passes), "killed" (the
// process dies during the second pick), "grid:<n>" (n points, picked all
// at once and then nothing, over and over: one pass per Number command),
// "blocks" (block piles on two layers, a circle and a point: GetEntity
// picks the first block pile once, then is cancelled; each pick takes
// everything the filter admits, then nothing, over and over).
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "automation/com/apartment.h"
#include "automation/com/dispatch_adapter.h"
#include "standins/autocad/standin_cad.h"
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
        const int count = std::atoi(name.c_str() + 5);
        std::vector<EntityId> all;
        for (int i = 0; i < count; ++i) {
            all.push_back(AddPoint(drawing, {double(i % 40) * 2.0, double(i / 40) * 3.0, 0}));
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

void Dump(const CadHost& host, const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return;
    std::fprintf(file, "windowState %d\n", host.windowState);
    for (const Entity* text : Texts(host.drawing)) {
        const Point3 anchor = TextAnchor(*text);
        std::fprintf(file, "text %s|%.17g|%.17g|%.17g|%d|%.17g|%.17g|%.17g|%.17g\n",
                     text->text.c_str(), text->position.x, text->position.y, text->position.z,
                     text->alignment, anchor.x, anchor.y, anchor.z, text->height);
    }
    std::fclose(file);
}

HANDLE OpenEventByName(const std::string& name) {
    if (name.empty()) return nullptr;
    return OpenEventW(EVENT_MODIFY_STATE | SYNCHRONIZE, FALSE, Wide(name).c_str());
}

int Serve(int argc, char** argv) {
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
    IDispatch* application = ExposeObject(CadApplication(host));
    DWORD registration = 0;
    HRESULT hr =
        RegisterActiveObject(application, CadClassId(progId), ACTIVEOBJECT_STRONG, &registration);
    if (FAILED(hr)) {
        std::fprintf(stderr, "RegisterActiveObject failed: 0x%08lX\n",
                     static_cast<unsigned long>(hr));
        application->Release();
        return 1;
    }
    HANDLE ready = OpenEventByName(options["--ready"]);
    HANDLE quit = OpenEventByName(options["--quit"]);
    if (ready) SetEvent(ready);

    // Serve calls until the quit event, or for ten minutes at most.
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
    RevokeActiveObject(registration, nullptr);
    CoDisconnectObject(application, 0);
    application->Release();
    if (!options["--dump"].empty()) Dump(*host, options["--dump"]);
    if (ready) CloseHandle(ready);
    if (quit) CloseHandle(quit);
    return 0;
}

}  // namespace
}  // namespace velmora::standins

int main(int argc, char** argv) { return velmora::standins::Serve(argc, argv); }
