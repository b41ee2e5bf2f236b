#include "standins/drawing/dxf/dxf_entities.h"

#include <algorithm>
#include <numbers>

namespace velmora::standins {

namespace {

int AlignmentOf(int horizontal, int vertical) {
    for (std::size_t i = 0; i < kDxfJustification.size(); ++i) {
        if (kDxfJustification[i][0] == horizontal && kDxfJustification[i][1] == vertical)
            return int(i);
    }
    return 0;
}

bool Mirrored(DxfFields& f) { return f.Real(230, 1) < 0; }

// A point in the entity's own coordinates, in world coordinates.
Point3 Ocs(DxfFields& f, Point3 p) {
    if (Mirrored(f)) p.x = -p.x;
    return p;
}

Point3 Point(DxfFields& f, int code) {
    return {f.Real(code), f.Real(code + 10), f.Real(code + 20)};
}

Entity Base(EntityKind kind, DxfFields& f) {
    Entity entity;
    entity.kind = kind;
    entity.fromFile = true;
    if (f.Has(8)) entity.layer = TrimDxf(f.Text(8));
    if (entity.layer.empty()) entity.layer = "0";
    entity.colour = f.Integer(62, 256);
    return entity;
}

Entity PointEntity(DxfFields& f) {
    Entity entity = Base(EntityKind::Point, f);
    entity.position = Point(f, 10);
    return entity;
}

Entity Line(DxfFields& f) {
    Entity entity = Base(EntityKind::Line, f);
    entity.position = Point(f, 10);
    entity.end = Point(f, 11);
    return entity;
}

Entity Circle(DxfFields& f) {
    Entity entity = Base(EntityKind::Circle, f);
    entity.position = Ocs(f, Point(f, 10));
    entity.radius = f.Real(40);
    return entity;
}

// Mirrored, an arc runs from 180° less its end to 180° less its start.
Entity Arc(DxfFields& f) {
    Entity entity = Circle(f);
    entity.kind = EntityKind::Arc;
    const double start = f.Real(50), end = f.Real(51);
    entity.startAngle = Mirrored(f) ? 180 - end : start;
    entity.endAngle = Mirrored(f) ? 180 - start : end;
    return entity;
}

// Left-aligned texts stand at their insertion point, others at their
// alignment point (the insertion point when it is not given).
Entity Text(DxfFields& f) {
    Entity entity = Base(EntityKind::Text, f);
    entity.text = TrimDxf(f.Text(1));
    entity.position = Ocs(f, Point(f, 10));
    entity.alignment = AlignmentOf(f.Integer(72), f.Integer(73));
    entity.alignmentPoint =
        f.Has(11) && f.Has(21) ? Ocs(f, {f.Real(11), f.Real(21), f.Real(31)}) : entity.position;
    entity.height = f.Real(40, 2.5);
    entity.widthFactor = f.Real(41, 1);
    entity.rotation = f.Real(50) * 2 * std::numbers::pi / 360.0;
    return entity;
}

// Each X starts a vertex; its Y and bulge follow (those before the first X
// belong to none).
Entity LightPolyline(DxfFields& f) {
    Entity entity = Base(EntityKind::Polyline, f);
    entity.closed = (f.Integer(70) & 1) != 0;
    const double sign = Mirrored(f) ? -1 : 1;
    for (const DxfGroup& group : f.All()) {
        if (group.code != 10 && group.code != 20 && group.code != 42) continue;
        const double value = f.Real(group);
        if (group.code == 10) entity.vertices.push_back({sign * value, 0, 0, 0});
        if (entity.vertices.empty()) continue;
        if (group.code == 20) entity.vertices.back().y = value;
        if (group.code == 42) entity.vertices.back().bulge = sign * value;
    }
    if (!entity.vertices.empty()) entity.position = {entity.vertices[0].x, entity.vertices[0].y, 0};
    return entity;
}

Entity Polyline(DxfFields& f) {
    Entity entity = Base(EntityKind::Polyline, f);
    entity.closed = (f.Integer(70) & 1) != 0;
    return entity;
}

struct Kept {
    std::string_view type;
    Entity (*build)(DxfFields&);
};

constexpr Kept kKept[] = {{"POINT", PointEntity}, {"LINE", Line}, {"CIRCLE", Circle},
                          {"ARC", Arc},           {"TEXT", Text}, {"LWPOLYLINE", LightPolyline},
                          {"POLYLINE", Polyline}};

const Kept* KeptOf(std::string_view type) {
    const auto found = std::find_if(std::begin(kKept), std::end(kKept),
                                    [&](const Kept& kept) { return kept.type == type; });
    return found == std::end(kKept) ? nullptr : found;
}

}  // namespace

bool KeptEntity(std::string_view type) { return KeptOf(type) != nullptr; }

void DxfEntities::Add(std::string_view type, DxfFields& f) {
    polyline_ = nullptr;
    const Kept* kept = KeptOf(type);
    if (!kept) return;
    const EntityId id = AddEntity(drawing_, kept->build(f));
    if (type != "POLYLINE") return;
    polyline_ = FindEntity(drawing_, id);
    polylineMirrored_ = Mirrored(f);
}

EntityId DxfEntities::AddBlockReference(DxfFields& f) {
    polyline_ = nullptr;
    Entity entity = Base(EntityKind::BlockReference, f);
    entity.position = Ocs(f, Point(f, 10));
    entity.blockName = TrimDxf(f.Text(2));
    return AddEntity(drawing_, std::move(entity));
}

// A face record of a polyface mesh (flag 128 without 64) is no vertex.
void DxfEntities::AddVertex(DxfFields& f) {
    const int flags = f.Integer(70);
    if (!polyline_ || ((flags & 128) && !(flags & 64))) return;
    const double sign = polylineMirrored_ ? -1 : 1;
    const Point3 at = Point(f, 10);
    polyline_->vertices.push_back({sign * at.x, at.y, at.z, sign * f.Real(42)});
    if (polyline_->vertices.size() == 1) polyline_->position = {sign * at.x, at.y, at.z};
}

}  // namespace velmora::standins
