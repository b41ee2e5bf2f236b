#include "standins/drawing/dxf/dxf_context.h"

#include <algorithm>
#include <cctype>
#include <numbers>

#include "standins/drawing/dxf/dxf_context_parts.h"
#include "standins/drawing/dxf/dxf_text.h"

namespace velmora::standins {

namespace {

constexpr double kPi = std::numbers::pi;
const Affine kMirror = Scale(-1, 1);  // an extrusion pointing down

std::string Upper(std::string_view text) {
    std::string upper(TrimDxf(text));
    for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

bool Mirrored(DxfFields& f) { return f.Real(230, 1) < 0; }

// Adds a part to the open block, or to model space, within the limits.
void Put(ContextParts& parts, ContextPart part, bool mirrored) {
    std::vector<ContextPart>* target = parts.Target();
    if (!target || parts.full) return;
    parts.points += part.points.size();
    if (++parts.count > kMaxContextShapes || parts.points > kMaxContextPoints) {
        parts.full = true;
        return;
    }
    if (!parts.inBlock) part.owner = parts.owner;
    if (mirrored) {
        for (P2& p : part.points) p = kMirror(p);
        part.at = kMirror(part.at);
        part.rotation = kPi - part.rotation;
        part.place = kMirror.After(part.place);
        part.columnStep = kMirror(part.columnStep);
        part.rowStep = kMirror(part.rowStep);
    }
    target->push_back(std::move(part));
}

void Line(DxfFields& f, ContextParts& parts) {
    Put(parts, Outline({f.Point(10), f.Point(11)}, false), false);
}

void Circle(DxfFields& f, ContextParts& parts) {
    std::vector<P2> points;
    AppendArc(points, f.Point(10), f.Real(40), 0, 2 * kPi, true);
    Put(parts, Outline(std::move(points), false), Mirrored(f));
}

void Arc(DxfFields& f, ContextParts& parts) {
    std::vector<P2> points;
    const double start = f.Real(50);
    const double sweep = ArcSweep(start, f.Real(51));
    AppendArc(points, f.Point(10), f.Real(40), start * kPi / 180, sweep, true);
    Put(parts, Outline(std::move(points), false), Mirrored(f));
}

// LWPOLYLINE vertices: each X starts a vertex, its Y and bulge follow.
void LightPolyline(DxfFields& f, ContextParts& parts) {
    std::vector<P2> corners;
    std::vector<double> bulges;
    for (const DxfGroup& group : f.All()) {
        if (group.code == 10) corners.push_back({f.Real(group), 0}), bulges.push_back(0);
        if (corners.empty()) continue;
        if (group.code == 20) corners.back().y = f.Real(group);
        if (group.code == 42) bulges.back() = f.Real(group);
    }
    Put(parts, Outline(Bulged(corners, bulges, (f.Integer(70) & 1) != 0), false), Mirrored(f));
}

// A POLYLINE waits for its vertices; meshes keep theirs to themselves.
void Polyline(DxfFields& f, ContextParts& parts) {
    const int flags = f.Integer(70);
    parts.mesh = (flags & (16 | 64)) != 0;
    ContextPart polyline;
    polyline.closed = (flags & 1) != 0;
    parts.bulges.clear();
    parts.polyline = std::move(polyline);
    parts.polylineMirrored = Mirrored(f) && !(flags & 8);  // 3D polylines are in world
}

void Vertex(DxfFields& f, ContextParts& parts) {
    if (!parts.polyline || parts.mesh || (f.Integer(70) & 64)) return;
    const P2 corner = f.Point(10);
    const double bulge = f.Real(42);
    auto& points = parts.polyline->points;
    if (points.empty())
        points.push_back(corner);
    else if (points.size() <= kMaxContextPoints)  // what one entity may hold
        AppendBulge(points, corner, parts.bulges.back());
    parts.bulges.push_back(bulge);
}

void SeqEnd(DxfFields&, ContextParts& parts) {
    if (!parts.polyline) return;  // an INSERT's attributes end, or nothing
    ContextPart polyline = std::move(*parts.polyline);
    parts.polyline.reset();
    if (polyline.closed && polyline.points.size() > 2) {
        const P2 first = polyline.points.front();
        AppendBulge(polyline.points, first, parts.bulges.back());
    }
    polyline.closed = false;
    Put(parts, std::move(polyline), parts.polylineMirrored);
}

ContextPart TextPart(DxfFields& f) {
    ContextPart part;
    part.kind = ContextPart::Kind::Text;
    part.text = std::string(f.Text(1));
    part.height = f.Real(40);
    part.rotation = f.Real(50) * kPi / 180;
    const int horizontal = f.Integer(72), vertical = f.Integer(73);
    part.at = (horizontal != 0 || vertical != 0) && f.Has(11) ? f.Point(11) : f.Point(10);
    part.horizontal = horizontal == 1 || horizontal == 4 ? 1 : horizontal == 2 ? 2 : 0;
    return part;
}

void Text(DxfFields& f, ContextParts& parts) { Put(parts, TextPart(f), Mirrored(f)); }

void Attribute(DxfFields& f, ContextParts& parts) {
    if (f.Integer(70) & 1) return;  // invisible
    Put(parts, TextPart(f), Mirrored(f));
}

void MText(DxfFields& f, ContextParts& parts) {
    std::string raw;
    for (const DxfGroup& group : f.All())
        if (group.code == 3) raw += group.value;
    raw += f.Text(1);
    ContextPart part;
    part.kind = ContextPart::Kind::Text;
    part.text = PlainMText(raw);
    part.height = f.Real(40);
    part.rotation = f.Has(11) ? std::atan2(f.Real(21), f.Real(11)) : f.Real(50) * kPi / 180;
    const int attachment = std::clamp(f.Integer(71, 1), 1, 9);
    part.horizontal = (attachment - 1) % 3;
    // The first line's baseline: a line's height below a top attachment,
    // half of it below a middle one.
    const double drop = part.height * (attachment <= 3 ? 1 : attachment <= 6 ? 0.5 : 0);
    const P2 at = f.Point(10);
    part.at = {at.x + drop * std::sin(part.rotation), at.y - drop * std::cos(part.rotation)};
    Put(parts, std::move(part), false);
}

void Insert(DxfFields& f, ContextParts& parts) {
    ContextPart part;
    part.kind = ContextPart::Kind::Insert;
    part.block = Upper(f.Text(2));
    const double rotation = f.Real(50) * kPi / 180;
    const P2 at = f.Point(10);
    part.place = Move(at).After(Rotate(rotation)).After(Scale(f.Real(41, 1), f.Real(42, 1)));
    part.columns = std::max(1, f.Integer(70, 1));
    part.rows = std::max(1, f.Integer(71, 1));
    part.columnStep = Rotate(rotation)({f.Real(44), 0});
    part.rowStep = Rotate(rotation)({0, f.Real(45)});
    Put(parts, std::move(part), Mirrored(f));
}

// A dimension draws its block where it stands.
void Dimension(DxfFields& f, ContextParts& parts) {
    ContextPart part;
    part.kind = ContextPart::Kind::Insert;
    part.block = Upper(f.Text(2));
    part.fromBase = false;
    Put(parts, std::move(part), false);
}

void Hatch(DxfFields& f, ContextParts& parts) {
    const bool mirrored = Mirrored(f);
    for (ContextPart& part : HatchParts(f)) Put(parts, std::move(part), mirrored);
}

// SOLID and TRACE run 1-2-4-3 round their outline, 3DFACE 1-2-3-4.
ContextPart Corners(DxfFields& f, bool face) {
    const P2 p1 = f.Point(10), p2 = f.Point(11), p3 = f.Point(12);
    const P2 p4 = f.Has(13) ? f.Point(13) : p3;
    return Outline(face ? std::vector{p1, p2, p3, p4} : std::vector{p1, p2, p4, p3}, true);
}

void Solid(DxfFields& f, ContextParts& parts) { Put(parts, Corners(f, false), Mirrored(f)); }

void Face(DxfFields& f, ContextParts& parts) { Put(parts, Corners(f, true), false); }

void Ellipse(DxfFields& f, ContextParts& parts) {
    std::vector<P2> points;
    const double start = f.Real(41, 0);
    double end = f.Real(42, 2 * kPi);
    if (end <= start) end += 2 * kPi;
    AppendEllipse(points, f.Point(10), f.Point(11), f.Real(40, 1), start, end);
    Put(parts, Outline(std::move(points), false), false);
}

// Through its fit points, else its control points.
void Spline(DxfFields& f, ContextParts& parts) {
    std::vector<P2> control, fit;
    for (const DxfGroup& group : f.All()) {
        if (group.code == 10) control.push_back({f.Real(group), 0});
        if (group.code == 20 && !control.empty()) control.back().y = f.Real(group);
        if (group.code == 11) fit.push_back({f.Real(group), 0});
        if (group.code == 21 && !fit.empty()) fit.back().y = f.Real(group);
    }
    Put(parts, Outline(fit.size() >= 2 ? fit : control, (f.Integer(70) & 1) != 0), false);
}

// A block's point marks a place; attribute definitions show in INSERTs.
void Nothing(DxfFields&, ContextParts&) {}

struct Drawn {
    std::string_view type;
    void (*read)(DxfFields&, ContextParts&);
    bool modelSpace;  // drawn in model space too (else only in blocks)
};

constexpr Drawn kDrawn[] = {{"LINE", Line, false},         {"CIRCLE", Circle, false},
                            {"ARC", Arc, false},           {"LWPOLYLINE", LightPolyline, false},
                            {"POLYLINE", Polyline, false}, {"VERTEX", Vertex, false},
                            {"SEQEND", SeqEnd, false},     {"TEXT", Text, false},
                            {"POINT", Nothing, false},     {"ATTDEF", Nothing, false},
                            {"ATTRIB", Attribute, true},   {"MTEXT", MText, true},
                            {"INSERT", Insert, true},      {"DIMENSION", Dimension, true},
                            {"HATCH", Hatch, true},        {"SOLID", Solid, true},
                            {"TRACE", Solid, true},        {"3DFACE", Face, true},
                            {"ELLIPSE", Ellipse, true},    {"SPLINE", Spline, true}};

const Drawn* DrawnOf(std::string_view type) {
    const auto found = std::find_if(std::begin(kDrawn), std::end(kDrawn),
                                    [&](const Drawn& drawn) { return drawn.type == type; });
    return found == std::end(kDrawn) ? nullptr : found;
}

}  // namespace

std::vector<P2> Bulged(const std::vector<P2>& corners, const std::vector<double>& bulges,
                       bool closed) {
    std::vector<P2> points;
    for (std::size_t i = 0; i < corners.size() && points.size() <= kMaxContextPoints; ++i) {
        if (i == 0)
            points.push_back(corners[0]);
        else
            AppendBulge(points, corners[i], bulges[i - 1]);
    }
    if (closed && corners.size() > 2) AppendBulge(points, corners[0], bulges.back());
    return points;
}

void AppendEllipse(std::vector<P2>& points, P2 centre, P2 major, double ratio, double t0,
                   double t1) {
    if (points.size() > kMaxContextPoints) return;
    const P2 minor{-major.y * ratio, major.x * ratio};
    const int steps = CurveSteps(t1 - t0, 8);
    for (int i = 0; i <= steps; ++i) {
        const double t = t0 + (t1 - t0) * i / steps;
        points.push_back({centre.x + major.x * std::cos(t) + minor.x * std::sin(t),
                          centre.y + major.y * std::cos(t) + minor.y * std::sin(t)});
    }
}

bool DrawnAsContext(std::string_view type) {
    const Drawn* drawn = DrawnOf(type);
    return drawn && drawn->modelSpace;
}

DxfContext::DxfContext() : parts_(std::make_unique<ContextParts>()) {}
DxfContext::~DxfContext() = default;
DxfContext::DxfContext(DxfContext&&) noexcept = default;
DxfContext& DxfContext::operator=(DxfContext&&) noexcept = default;

bool DxfContext::BeginBlock(DxfFields& f) {
    const std::string name = Upper(f.Text(2));
    parts_->inBlock = true;
    parts_->polyline.reset();
    // Layouts are not drawn here; model space's own entities come from ENTITIES.
    if (name.empty() || name.starts_with("*MODEL_SPACE") || name.starts_with("*PAPER_SPACE")) {
        parts_->open = nullptr;
        return false;
    }
    ContextBlock& block = parts_->blocks[name];
    block = {};
    block.base = f.Point(10);
    parts_->open = &block;
    return true;
}

void DxfContext::EndBlock() {
    parts_->inBlock = false;
    parts_->open = nullptr;
    parts_->polyline.reset();
}

void DxfContext::Own(EntityId owner) { parts_->owner = owner; }

bool DxfContext::Add(std::string_view type, DxfFields& f) {
    // Anything but its vertices and its end drops a POLYLINE still open.
    if (type != "VERTEX" && type != "SEQEND") parts_->polyline.reset();
    const Drawn* drawn = DrawnOf(type);
    if (!drawn) return false;
    drawn->read(f, *parts_);
    return true;
}

}  // namespace velmora::standins
