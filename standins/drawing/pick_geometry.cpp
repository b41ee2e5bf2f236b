#include "standins/drawing/pick_geometry.h"

#include <algorithm>
#include <cmath>

namespace velmora::standins {

namespace {

double Distance(const Entity& entity, double x, double y) {
    const Point3 at = entity.kind == EntityKind::Text ? TextAnchor(entity) : entity.position;
    const double toCentre = std::hypot(at.x - x, at.y - y);
    // A click anywhere within a circle takes it, as well as one near its curve.
    return entity.kind == EntityKind::Circle ? std::max(toCentre - entity.radius, 0.0) : toCentre;
}

bool Inside(const Box& box, double x, double y) {
    return x >= box.minX && x <= box.maxX && y >= box.minY && y <= box.maxY;
}

bool WhollyInside(const Entity& entity, const Box& box) {
    const Point3 c = entity.kind == EntityKind::Text ? TextAnchor(entity) : entity.position;
    const double r = entity.kind == EntityKind::Circle ? entity.radius : 0;
    return Inside(box, c.x - r, c.y - r) && Inside(box, c.x + r, c.y + r);
}

bool Crosses(const Entity& entity, const Box& box) {
    if (WhollyInside(entity, box)) return true;
    if (entity.kind != EntityKind::Circle) return false;
    // The curve meets the box when the box's nearest point lies within the
    // radius and its farthest corner lies outside it.
    const Point3& c = entity.position;
    const double nx = std::clamp(c.x, box.minX, box.maxX), ny = std::clamp(c.y, box.minY, box.maxY);
    const double fx = std::max(std::abs(c.x - box.minX), std::abs(c.x - box.maxX));
    const double fy = std::max(std::abs(c.y - box.minY), std::abs(c.y - box.maxY));
    return std::hypot(c.x - nx, c.y - ny) <= entity.radius && std::hypot(fx, fy) >= entity.radius;
}

}  // namespace

std::optional<EntityId> PickAt(const Drawing& drawing, const SelectionFilter& filter, double x,
                               double y, double tolerance) {
    std::optional<EntityId> best;
    double bestDistance = tolerance;
    for (const auto& [id, entity] : drawing.entities) {
        if (IsContext(entity.kind) || !Admits(filter, entity)) continue;
        const double distance = Distance(entity, x, y);
        if (distance <= bestDistance) {
            bestDistance = distance;
            best = id;
        }
    }
    return best;
}

std::vector<EntityId> PickInBox(const Drawing& drawing, const SelectionFilter& filter,
                                const Box& box, bool crossing) {
    std::vector<EntityId> picked;
    for (const auto& [id, entity] : drawing.entities) {
        if (IsContext(entity.kind) || !Admits(filter, entity)) continue;
        if (crossing ? Crosses(entity, box) : WhollyInside(entity, box)) picked.push_back(id);
    }
    return picked;
}

}  // namespace velmora::standins
