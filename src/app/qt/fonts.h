// Fonts of the Qt view: the window's default font and 宋体 10.5 pt for the
// controls that ask for it, with an installed Chinese face standing in where
// 宋体 is missing so that no caption shows as boxes.
#pragma once

#include <QFont>

#include "window/control_table.h"

namespace velmora {

// Registers a Chinese face as the substitute for 宋体 when 宋体 itself is not
// installed. Call once, after the application object exists.
void InstallChineseFontSubstitutes();

// The window's default font: the toolkit's face at 9 pt.
QFont WindowDefaultFont();

// The font a control of the table asks for.
QFont FontFor(ControlFont font);

}  // namespace velmora
