// The Export command: writes the pile register as a formatted coordinate
// table into a new Excel workbook and shows it to the user.
#pragma once

#include "app/window_state.h"

namespace velmora {

void ExportCoordinateTable(WindowState& state, const WindowServices& services);

}  // namespace velmora
