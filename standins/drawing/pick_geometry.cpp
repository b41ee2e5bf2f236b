#include "standins/drawing/pick_geometry.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <unordered_map>

namespace velmora::standins {

namespace {

// The shapes that draw each block reference.
using Shapes = std::unordered_map<EntityId, std::vector<const ContextShape*>>;

Shapes ShapesByOwner(const Drawing& drawing) {
    Shapes shapes;
    for (const ContextShape& shape : drawing.context)
        if (shape.owner != 0) shapes[shape.owner].push_back(&shape);
    return shapes;
}

const std::vector<const ContextShape*>& ShapesOf(const Shapes& shapes, EntityId id) {
    static const std::vector<const ContextShape*> none;
    const auto found = shapes.find(id);
    return found == shapes.end() ? none : found->second;
}

double ToSegment(Point2 p, Point2 a, Point2 b) {
    const double dx = b.x - a.x, dy = b.y - a.y, length = dx * dx + dy * dy;
    const double t =
        length > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length, 0.0, 1.0) : 0;
    return std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy);
}

double ToOutline(Point2 p, const std::vector<Point2>& outline, bool closed) {
    double nearest = HUGE_VAL;
    for (std::size_t i = 0; i + 1 < outline.size(); ++i)
        nearest = std::min(nearest, ToSegment(p, outline[i], outline[i + 1]));
    if (closed && outline.size() > 2)
        nearest = std::min(nearest, ToSegment(p, outline.back(), outline[0]));
    if (outline.size() == 1) nearest = std::hypot(p.x - outline[0].x, p.y - outline[0].y);
    return nearest;
}

double ToShape(Point2 p, const ContextShape& shape) {
    if (shape.outline.empty()) return std::hypot(p.x - shape.at.x, p.y - shape.at.y);
    return ToOutline(p, shape.outline, shape.closed);
}

double Distance(const Entity& entity, const Shapes& shapes, double x, double y) {
    const Point2 p{x, y};
    const Point3 at = entity.kind == EntityKind::Text ? TextAnchor(entity) : entity.position;
    const double toAt = std::hypot(at.x - x, at.y - y);
    switch (entity.kind) {
        case EntityKind::Circle:  // a click anywhere within a circle takes it
            return std::max(toAt - entity.radius, 0.0);
        case EntityKind::Line:
        case EntityKind::Arc:
        case EntityKind::Polyline:
            return ToOutline(p, EntityOutline(entity), false);
        case EntityKind::BlockReference: {
            double nearest = toAt;
            for (const ContextShape* shape : ShapesOf(shapes, entity.id))
                nearest = std::min(nearest, ToShape(p, *shape));
            return nearest;
        }
        default:
            return toAt;
    }
}

bool Inside(const Box& box, double x, double y) {
    return x >= box.minX && x <= box.maxX && y >= box.minY && y <= box.maxY;
}

// Whether the segment meets the box: clipped to it, something is left.
bool SegmentMeets(const Box& box, Point2 a, Point2 b) {
    double t0 = 0, t1 = 1;
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x - box.minX, box.maxX - a.x, a.y - box.minY, box.maxY - a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) t0 = std::max(t0, t);
        if (p[i] > 0) t1 = std::min(t1, t);
    }
    return t0 <= t1;
}

// A text by its anchor, as a text entity is taken.
bool ShapeInside(const ContextShape& shape, const Box& box) {
    if (shape.outline.empty()) return Inside(box, shape.at.x, shape.at.y);
    return Inside(box, shape.minX, shape.minY) && Inside(box, shape.maxX, shape.maxY);
}

bool ShapeCrosses(const ContextShape& shape, const Box& box) {
    if (shape.outline.empty()) return Inside(box, shape.at.x, shape.at.y);
    for (std::size_t i = 0; i + 1 < shape.outline.size(); ++i)
        if (SegmentMeets(box, shape.outline[i], shape.outline[i + 1])) return true;
    return shape.outline.size() == 1 && Inside(box, shape.outline[0].x, shape.outline[0].y);
}

bool WhollyInside(const Entity& entity, const Shapes& shapes, const Box& box) {
    const Point3 c = entity.kind == EntityKind::Text ? TextAnchor(entity) : entity.position;
    const double r = entity.kind == EntityKind::Circle ? entity.radius : 0;
    if (!Inside(box, c.x - r, c.y - r) || !Inside(box, c.x + r, c.y + r)) return false;
    const auto& owned = ShapesOf(shapes, entity.id);
    return std::all_of(owned.begin(), owned.end(),
                       [&box](const ContextShape* shape) { return ShapeInside(*shape, box); });
}

bool Crosses(const Entity& entity, const Shapes& shapes, const Box& box) {
    if (WhollyInside(entity, shapes, box)) return true;
    if (entity.kind == EntityKind::BlockReference) {
        const auto& owned = ShapesOf(shapes, entity.id);
        return Inside(box, entity.position.x, entity.position.y) ||
               std::any_of(owned.begin(), owned.end(),
                           [&box](const ContextShape* shape) { return ShapeCrosses(*shape, box); });
    }
    if (entity.kind != EntityKind::Circle) return false;
    // The curve meets the box when the box's nearest point lies within the
    // radius and its farthest corner lies outside it.
    const Point3& c = entity.position;
    const double nx = std::clamp(c.x, box.minX, box.maxX), ny = std::clamp(c.y, box.minY, box.maxY);
    const double fx = std::max(std::abs(c.x - box.minX), std::abs(c.x - box.maxX));
    const double fy = std::max(std::abs(c.y - box.minY), std::abs(c.y - box.maxY));
    return std::hypot(c.x - nx, c.y - ny) <= entity.radius && std::hypot(fx, fy) >= entity.radius;
}

std::optional<EntityId> Nearest(const Drawing& drawing, double x, double y, double tolerance,
                                const std::function<bool(const Entity&)>& takes) {
    const Shapes shapes = ShapesByOwner(drawing);
    std::optional<EntityId> best;
    double bestDistance = tolerance;
    for (const auto& [id, entity] : drawing.entities) {
        if (!takes(entity)) continue;
        const double distance = Distance(entity, shapes, x, y);
        if (distance <= bestDistance) {
            bestDistance = distance;
            best = id;
        }
    }
    return best;
}

}  // namespace

std::optional<EntityId> PickAt(const Drawing& drawing, const SelectionFilter& filter, double x,
                               double y, double tolerance) {
    return Nearest(drawing, x, y, tolerance, [&filter](const Entity& entity) {
        return !IsContext(entity.kind) && Admits(filter, entity);
    });
}

std::optional<EntityId> PickAnyAt(const Drawing& drawing, double x, double y, double tolerance) {
    return Nearest(drawing, x, y, tolerance, [](const Entity&) { return true; });
}

std::vector<EntityId> PickInBox(const Drawing& drawing, const SelectionFilter& filter,
                                const Box& box, bool crossing) {
    const Shapes shapes = ShapesByOwner(drawing);
    std::vector<EntityId> picked;
    for (const auto& [id, entity] : drawing.entities) {
        if (IsContext(entity.kind) || !Admits(filter, entity)) continue;
        if (crossing ? Crosses(entity, shapes, box) : WhollyInside(entity, shapes, box))
            picked.push_back(id);
    }
    return picked;
}

}  // namespace velmora::standins
