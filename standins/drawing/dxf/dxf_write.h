// The text a drawing is saved as: the file it was read from with the new
// labels added, or the drawing's entities as DXF R12. Both are written
// with DxfWriter.
#pragma once

#include <string>

#include "standins/drawing/drawing.h"

namespace velmora::standins {

// Whether an entity's numbers can be written: all of them finite.
bool Writable(const Entity& entity);

// The file's text with the drawing's new texts at the end of ENTITIES and
// $HANDSEED past their handles. The drawing must have a file.
std::string FileWithLabels(const Drawing& drawing);

// The drawing's entities as DXF R12; those that cannot be written are
// left out and counted in `leftOut`.
std::string R12Text(const Drawing& drawing, int& leftOut);

}  // namespace velmora::standins
