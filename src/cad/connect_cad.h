// Attaching to the running AutoCAD at the start of every Number command.
#pragma once

#include "automation/runner.h"
#include "window/window_state.h"

namespace velmora {

// The ProgIDs looked up, in this order, each only after the one before it
// failed: AutoCAD's own names (.16 AutoCAD 2004 to .25 AutoCAD 2025), then
// the programs that answer to the same members: 中望CAD, 浩辰CAD, BricsCAD.
inline constexpr std::string_view kCadProgIds[] = {
    "AutoCAD.Application",
    "AutoCAD.Application.16",
    "AutoCAD.Application.17",
    "AutoCAD.Application.18",
    "AutoCAD.Application.19",
    "AutoCAD.Application.20",
    "AutoCAD.Application.21",
    "AutoCAD.Application.22",
    "AutoCAD.Application.23",
    "AutoCAD.Application.24",
    "AutoCAD.Application.25",
    "ZWCAD.Application",
    "ZWCAD.Application.2025",
    "ZWCAD.Application.2024",
    "ZWCAD.Application.2023",
    "ZWCAD.Application.2022",
    "ZWCAD.Application.2021",
    "ZWCAD.Application.2020",
    "GStarCAD.Application",
    "Gcad.Application",
    "GStarCAD.Application.26",
    "GStarCAD.Application.25",
    "GStarCAD.Application.24",
    "BricscadApp.AcadApplication",
    "BricscadApp.AcadApplication.25.0",
    "BricscadApp.AcadApplication.24.0",
    "BricscadApp.AcadApplication.23.0",
    "BricscadApp.AcadApplication.22.0",
    "BricscadApp.AcadApplication.21.0",
};

inline constexpr std::string_view kNoCadMessage = "请先打开CAD软件！";

// Fills the session with the running application and its active document,
// maximises its window and brings it to the front (BringCadForward).
// Returns false when none of the ProgIDs finds a running program: the
// message has been shown and the command ends. Failures of ActiveDocument
// and WindowState are not reported; they stay in the runner's LastError.
bool ConnectCad(CadSession& session, ContinueOnFailure& runner, const WindowServices& services);

}  // namespace velmora
