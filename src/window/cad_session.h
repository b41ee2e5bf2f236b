// The window's two AutoCAD references. Each is replaced only by a successful
// assignment; the window releases both when it unloads.
#pragma once

#include "automation/object.h"

namespace velmora {

struct CadSession {
    Object cadApplication;
    Object cadDocument;
};

}  // namespace velmora
