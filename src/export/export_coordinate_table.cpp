#include "export/export_coordinate_table.h"

namespace velmora {

void ExportCoordinateTable(WindowState& state, const WindowServices& services) {
    (void)state;
    (void)services;
}

}  // namespace velmora
