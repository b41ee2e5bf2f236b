// Which entities a click or a window picks, as AutoCAD decides it: a click
// takes the nearest entity within the pick box, a window drawn left to
// right takes what lies wholly inside, one drawn right to left also what it
// crosses. Only entities the filter admits are ever taken, never the lines,
// arcs and polylines drawn for context.
#pragma once

#include <optional>
#include <vector>

#include "standins/drawing/drawing.h"
#include "standins/drawing/selection_filter.h"

namespace velmora::standins {

struct Box {
    double minX, minY, maxX, maxY;
};

// A point is picked near its location, a circle within or near its curve, a
// text near its anchor.
std::optional<EntityId> PickAt(const Drawing& drawing, const SelectionFilter& filter, double x,
                               double y, double tolerance);

std::vector<EntityId> PickInBox(const Drawing& drawing, const SelectionFilter& filter,
                                const Box& box, bool crossing);

}  // namespace velmora::standins
