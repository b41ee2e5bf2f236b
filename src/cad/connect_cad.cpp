#include "cad/connect_cad.h"

#include "cad/bring_forward.h"

namespace velmora {

bool ConnectCad(CadSession& session, ContinueOnFailure& runner, const WindowServices& services) {
    bool found = false;
    for (std::string_view progId : kCadProgIds) {
        // A lookup that failed leaves no trace for the next one: each starts
        // with LastError clear, and a found program ends the lookups.
        runner.Clear();
        found =
            runner.Run([&] { session.cadApplication = services.directory->FindRunning(progId); });
        if (found) break;
    }
    if (!found) {
        if (services.showMessage) services.showMessage(kNoCadMessage);
        return false;
    }
    runner.Run([&] { session.cadDocument = GetObject(session.cadApplication, "ActiveDocument"); });
    runner.Run([&] { Put(session.cadApplication, "WindowState", Variant(3)); });
    BringCadForward(session, services);
    return true;
}

}  // namespace velmora
