#include "numbering/filter_mtext.h"

namespace velmora {

void FilterMtext(WindowState& state, const WindowServices& services) {
    (void)state;
    if (services.showWindow) services.showWindow();
}

}  // namespace velmora
