// The Number command: one or more passes of picking piles in AutoCAD,
// numbering them in the chosen order, labelling each in the drawing and
// recording its coordinates in the window's pile register.
#pragma once

#include "window/window_state.h"

namespace velmora {

void FilterMtext(WindowState& state, const WindowServices& services);

}  // namespace velmora
