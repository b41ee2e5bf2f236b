// The CAD program comes to the front for the pick: Velmora, the foreground
// program at the moment of the click, hands the foreground on to AutoCAD's
// main window, as AutoCAD's own pick examples activate the application
// before SelectOnScreen.
#pragma once

#include "window/window_state.h"

namespace velmora {

// Reads the application's HWND and hands it to the view to bring to the
// front. Every failure (a program without the member, a handle that is no
// number) is ignored: it never reaches a command's LastError.
void BringCadForward(const CadSession& session, const WindowServices& services);

}  // namespace velmora
