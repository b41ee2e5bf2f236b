#include "standins/drawing/drawing.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <numbers>

namespace velmora::standins {

namespace {

EntityId Insert(Drawing& drawing, Entity entity) {
    entity.id = drawing.nextId++;
    const EntityId id = entity.id;
    drawing.entities.emplace(id, std::move(entity));
    return id;
}

Point3 Turn(Point3 p, double angle) {
    const double c = std::cos(angle), s = std::sin(angle);
    return {p.x * c - p.y * s, p.x * s + p.y * c, p.z};
}

}  // namespace

EntityId AddPoint(Drawing& drawing, Point3 at) {
    Entity entity;
    entity.kind = EntityKind::Point;
    entity.position = at;
    return Insert(drawing, std::move(entity));
}

EntityId AddCircle(Drawing& drawing, Point3 centre, double radius) {
    Entity entity;
    entity.kind = EntityKind::Circle;
    entity.position = centre;
    entity.radius = radius;
    return Insert(drawing, std::move(entity));
}

EntityId AddText(Drawing& drawing, std::string text, Point3 insertion, double height) {
    Entity entity;
    entity.kind = EntityKind::Text;
    entity.position = insertion;
    entity.text = std::move(text);
    entity.height = height;
    entity.alignmentPoint = insertion;
    return Insert(drawing, std::move(entity));
}

EntityId AddLine(Drawing& drawing, Point3 from, Point3 to) {
    Entity entity;
    entity.kind = EntityKind::Line;
    entity.position = from;
    entity.end = to;
    return Insert(drawing, std::move(entity));
}

EntityId AddPolyline(Drawing& drawing, std::vector<Vertex> vertices, bool closed) {
    Entity entity;
    entity.kind = EntityKind::Polyline;
    if (!vertices.empty()) entity.position = {vertices[0].x, vertices[0].y, vertices[0].z};
    entity.vertices = std::move(vertices);
    entity.closed = closed;
    return Insert(drawing, std::move(entity));
}

EntityId AddBlockReference(Drawing& drawing, Point3 at, std::string blockName,
                           std::string effectiveName) {
    Entity entity;
    entity.kind = EntityKind::BlockReference;
    entity.position = at;
    entity.effectiveName = effectiveName.empty() ? blockName : std::move(effectiveName);
    entity.blockName = std::move(blockName);
    return Insert(drawing, std::move(entity));
}

EntityId AddEntity(Drawing& drawing, Entity entity) { return Insert(drawing, std::move(entity)); }

bool IsContext(EntityKind kind) {
    return kind == EntityKind::Line || kind == EntityKind::Arc || kind == EntityKind::Polyline;
}

Entity* FindEntity(Drawing& drawing, EntityId id) {
    auto it = drawing.entities.find(id);
    return it == drawing.entities.end() ? nullptr : &it->second;
}

const Entity* FindEntity(const Drawing& drawing, EntityId id) {
    auto it = drawing.entities.find(id);
    return it == drawing.entities.end() ? nullptr : &it->second;
}

bool EraseEntity(Drawing& drawing, EntityId id) { return drawing.entities.erase(id) > 0; }

namespace {

// An entity kind's DXF type and its AutoCAD object name, in EntityKind's order.
struct KindNames {
    std::string_view type;
    std::string_view object;
};
constexpr KindNames kKindNames[] = {
    {"POINT", "AcDbPoint"},
    {"CIRCLE", "AcDbCircle"},
    {"TEXT", "AcDbText"},
    {"LINE", "AcDbLine"},
    {"ARC", "AcDbArc"},
    {"LWPOLYLINE", "AcDbPolyline"},
    {"INSERT", "AcDbBlockReference"},
};
static_assert(std::size(kKindNames) == static_cast<std::size_t>(EntityKind::BlockReference) + 1);

KindNames NamesOf(EntityKind kind) {
    const auto at = static_cast<std::size_t>(kind);
    return at < std::size(kKindNames) ? kKindNames[at] : KindNames{};
}

}  // namespace

std::string_view TypeName(EntityKind kind) { return NamesOf(kind).type; }

std::string_view ObjectName(EntityKind kind) { return NamesOf(kind).object; }

Point3 TextAnchor(const Entity& text) {
    return text.alignment == 0 ? text.position : text.alignmentPoint;
}

std::vector<Point2> EntityOutline(const Entity& entity) {
    std::vector<Point2> points;
    if (entity.kind == EntityKind::Line) {
        return {{entity.position.x, entity.position.y}, {entity.end.x, entity.end.y}};
    }
    if (entity.kind == EntityKind::Arc) {
        AppendArc(points, {entity.position.x, entity.position.y}, entity.radius,
                  entity.startAngle * std::numbers::pi / 180,
                  ArcSweep(entity.startAngle, entity.endAngle), true);
        return points;
    }
    const auto& vertices = entity.vertices;
    if (entity.kind != EntityKind::Polyline || vertices.empty()) return points;
    points.push_back({vertices[0].x, vertices[0].y});
    for (std::size_t i = 0; i + 1 < vertices.size(); ++i)
        AppendBulge(points, {vertices[i + 1].x, vertices[i + 1].y}, vertices[i].bulge);
    if (entity.closed && vertices.size() > 2)
        AppendBulge(points, {vertices[0].x, vertices[0].y}, vertices.back().bulge);
    return points;
}

void RenumberEntities(Drawing& drawing, EntityId first) {
    std::map<EntityId, Entity> entities;
    std::map<EntityId, EntityId> renumbered;
    for (auto& [id, entity] : drawing.entities) {
        entity.id = first++;
        renumbered.emplace(id, entity.id);
        entities.emplace(entity.id, std::move(entity));
    }
    drawing.entities = std::move(entities);
    drawing.nextId = first;
    for (ContextShape& shape : drawing.context) {
        const auto found = renumbered.find(shape.owner);
        shape.owner = found == renumbered.end() ? 0 : found->second;
    }
}

std::vector<const Entity*> Texts(const Drawing& drawing) {
    std::vector<const Entity*> texts;
    for (const auto& [id, entity] : drawing.entities) {
        if (entity.kind == EntityKind::Text) texts.push_back(&entity);
    }
    return texts;
}

Point3 WorldToUcs(const Ucs& ucs, Point3 world) {
    return Turn({world.x - ucs.origin.x, world.y - ucs.origin.y, world.z - ucs.origin.z},
                -ucs.rotation);
}

Point3 UcsToWorld(const Ucs& ucs, Point3 local) {
    const Point3 turned = Turn(local, ucs.rotation);
    return {turned.x + ucs.origin.x, turned.y + ucs.origin.y, turned.z + ucs.origin.z};
}

Point3 WorldToUcsDirection(const Ucs& ucs, Point3 world) { return Turn(world, -ucs.rotation); }

Point3 UcsToWorldDirection(const Ucs& ucs, Point3 local) { return Turn(local, ucs.rotation); }

void AppendArc(std::vector<Point2>& points, Point2 centre, double radius, double start,
               double sweep, bool withStart) {
    const int steps = CurveSteps(sweep, 4);
    for (int i = withStart ? 0 : 1; i <= steps; ++i) {
        const double angle = start + sweep * i / steps;
        points.push_back(
            {centre.x + radius * std::cos(angle), centre.y + radius * std::sin(angle)});
    }
}

// Clamped as a double: a sweep beyond int's range, or NaN, never reaches
// the conversion.
int CurveSteps(double sweep, int least) {
    const double steps = std::abs(sweep) / (std::numbers::pi / 36);
    if (!(steps >= least)) return least;
    return steps >= 72 ? 72 : int(steps);
}

void AppendBulge(std::vector<Point2>& points, Point2 to, double bulge) {
    const Point2 from = points.back();
    const double chord = std::hypot(to.x - from.x, to.y - from.y);
    if (std::abs(bulge) < 1e-12 || chord < 1e-12) {
        points.push_back(to);
        return;
    }
    const double sweep = 4 * std::atan(bulge);
    // The centre lies on the chord's perpendicular bisector.
    const double toCentre = chord / (2 * std::tan(sweep / 2));
    const Point2 centre{(from.x + to.x) / 2 - (to.y - from.y) / chord * toCentre,
                        (from.y + to.y) / 2 + (to.x - from.x) / chord * toCentre};
    AppendArc(points, centre, std::hypot(from.x - centre.x, from.y - centre.y),
              std::atan2(from.y - centre.y, from.x - centre.x), sweep, false);
}

double ArcSweep(double startDegrees, double endDegrees) {
    double sweep = std::fmod(endDegrees - startDegrees, 360.0);
    if (sweep <= 0) sweep += 360;
    return sweep * std::numbers::pi / 180;
}

}  // namespace velmora::standins
