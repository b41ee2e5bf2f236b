// Which entities a click or a window picks, as AutoCAD decides it: a click
// takes the nearest entity within the pick box, a window drawn left to
// right takes what lies wholly inside, one drawn right to left also what it
// crosses. A block reference is where its block is drawn and at its
// insertion point. A pick for a selection set takes only entities the
// filter admits, never the lines, arcs and polylines drawn for context;
// a pick of one entity (GetEntity) takes any.
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
// text near its anchor, a block reference near its shapes or its insertion
// point.
std::optional<EntityId> PickAt(const Drawing& drawing, const SelectionFilter& filter, double x,
                               double y, double tolerance);

std::vector<EntityId> PickInBox(const Drawing& drawing, const SelectionFilter& filter,
                                const Box& box, bool crossing);

// Any entity, lines, arcs and polylines too: the nearest one within the tolerance.
std::optional<EntityId> PickAnyAt(const Drawing& drawing, double x, double y, double tolerance);

}  // namespace velmora::standins
