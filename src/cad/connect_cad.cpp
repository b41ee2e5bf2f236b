#include "cad/connect_cad.h"

namespace velmora {

bool ConnectCad(CadSession& session, ContinueOnFailure& runner, const WindowServices& services) {
    runner.Clear();
    bool found = false;
    bool lastLookupFailed = false;
    for (std::size_t i = 0; i < std::size(kCadProgIds); ++i) {
        // Each versioned ProgID is tried only when the lookup before it failed.
        if (i > 0) {
            if (runner.LastError() == status::kOk) break;
            runner.Clear();
        }
        lastLookupFailed = !runner.Run(
            [&] { session.cadApplication = services.directory->FindRunning(kCadProgIds[i]); });
        found = !lastLookupFailed;
    }
    if (!found && lastLookupFailed) {
        if (services.showMessage) services.showMessage(kNoCadMessage);
        return false;
    }
    runner.Run([&] { session.cadDocument = GetObject(session.cadApplication, "ActiveDocument"); });
    runner.Run([&] { Put(session.cadApplication, "WindowState", Variant(3)); });
    return true;
}

}  // namespace velmora
