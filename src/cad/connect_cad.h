// Attaching to the running AutoCAD at the start of every Number command.
#pragma once

#include "automation/runner.h"
#include "window/window_state.h"

namespace velmora {

// The ProgIDs tried in order; a later one only after the one before failed.
inline constexpr std::string_view kCadProgIds[] = {
    "AutoCAD.Application",    "AutoCAD.Application.16", "AutoCAD.Application.17",
    "AutoCAD.Application.18", "AutoCAD.Application.19", "AutoCAD.Application.20",
};

inline constexpr std::string_view kNoCadMessage = "请先打开CAD软件！";

// Fills the session with the running application and its active document
// and maximises AutoCAD's window. Returns false when no AutoCAD runs: the
// message has been shown and the command ends. Failures of ActiveDocument
// and WindowState are not reported; they stay in the runner's LastError.
bool ConnectCad(CadSession& session, ContinueOnFailure& runner, const WindowServices& services);

}  // namespace velmora
