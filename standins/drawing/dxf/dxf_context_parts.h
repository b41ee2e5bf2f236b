// What DxfContext collects before resolving it: the parts of blocks and of
// model space, each in its own space's coordinates. Shared by the reading
// of entities (dxf_context.cpp, dxf_hatch.cpp) and the resolving
// (dxf_resolve.cpp).
#pragma once

#include <cmath>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "standins/drawing/drawing.h"
#include "standins/drawing/dxf/dxf_groups.h"

namespace velmora::standins {

using P2 = Point2;

// x' = a x + b y + tx, y' = c x + d y + ty.
struct Affine {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
    P2 operator()(P2 p) const { return {a * p.x + b * p.y + tx, c * p.x + d * p.y + ty}; }
    P2 Turn(P2 v) const { return {a * v.x + b * v.y, c * v.x + d * v.y}; }
    // This after `inner`.
    Affine After(const Affine& m) const {
        return {a * m.a + b * m.c, a * m.b + b * m.d,        c * m.a + d * m.c,
                c * m.b + d * m.d, a * m.tx + b * m.ty + tx, c * m.tx + d * m.ty + ty};
    }
};

inline Affine Move(P2 by) { return {1, 0, 0, 1, by.x, by.y}; }
inline Affine Rotate(double radians) {
    const double c = std::cos(radians), s = std::sin(radians);
    return {c, -s, s, c, 0, 0};
}
inline Affine Scale(double x, double y) { return {x, 0, 0, y, 0, 0}; }

// One part of a block or of model space, in that space's coordinates.
struct ContextPart {
    enum class Kind { Outline, Text, Insert } kind = Kind::Outline;
    std::vector<P2> points;
    bool closed = false;
    std::string text;
    P2 at;
    double height = 0, rotation = 0;
    int horizontal = 0;
    // A block reference: its block placed by `place` (after the block's base
    // is moved to the origin), repeated in a grid.
    std::string block;
    Affine place;
    bool fromBase = true;  // dimensions draw their blocks where they stand
    int columns = 1, rows = 1;
    P2 columnStep, rowStep;
    EntityId owner = 0;  // in model space, the block reference the part draws
};

struct ContextBlock {
    P2 base;
    std::vector<ContextPart> parts;
};

struct ContextParts {
    std::map<std::string, ContextBlock> blocks;  // by upper-case name
    std::vector<ContextPart> model;
    ContextBlock* open = nullptr;
    bool inBlock = false;                 // between BLOCK and ENDBLK
    std::optional<ContextPart> polyline;  // a POLYLINE waiting for its vertices
    std::vector<double> bulges;           // of those vertices
    bool mesh = false, polylineMirrored = false;
    EntityId owner = 0;  // of the model-space parts added now
    // What was collected, within limits; `full` once they were reached.
    std::size_t points = 0, count = 0;
    bool full = false;

    std::vector<ContextPart>* Target() {
        return inBlock ? (open ? &open->parts : nullptr) : &model;
    }
};

inline ContextPart Outline(std::vector<P2> points, bool closed) {
    ContextPart part;
    part.points = std::move(points);
    part.closed = closed;
    return part;
}

// Corners joined by segments bent by their bulges, back to the first when closed.
std::vector<P2> Bulged(const std::vector<P2>& corners, const std::vector<double>& bulges,
                       bool closed);
// An ellipse's arc from parameter t0 to t1.
void AppendEllipse(std::vector<P2>& points, P2 centre, P2 major, double ratio, double t0,
                   double t1);
// A hatch's boundary paths as closed outlines, in the order they are written.
std::vector<ContextPart> HatchParts(DxfFields& f);

}  // namespace velmora::standins
