#include "standins/drawing/dxf/dxf_write.h"

#include <cmath>
#include <cstdio>
#include <numbers>

#include "standins/drawing/dxf/dxf_entities.h"
#include "standins/drawing/dxf/dxf_groups.h"
#include "standins/drawing/dxf/dxf_text.h"

namespace velmora::standins {

namespace {

bool Finite(Point3 p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

const std::array<int, 2>& Justification(const Entity& e) {
    const bool known = e.alignment >= 0 && e.alignment < int(kDxfJustification.size());
    return kDxfJustification[known ? e.alignment : 0];
}

std::string Hex(std::uint64_t value) {
    char hex[32];
    std::snprintf(hex, sizeof hex, "%llX", static_cast<unsigned long long>(value));
    return hex;
}

// A new text in the form the file's version needs: from AutoCAD R13 on
// with handle, owner and subclass markers; in files of 2007 and later in
// UTF-8, before in the file's code page.
void Label(DxfWriter& out, const DrawingFile& file, const std::string& codePage, const Entity& e,
           std::uint64_t handle) {
    const bool objects = file.version >= "AC1012";
    const auto text = [&](std::string_view t) {
        return file.version >= "AC1021" ? std::string(t) : EncodeDxfText(t, codePage);
    };
    out.Group(0, "TEXT");
    if (file.handSeedLength > 0 || objects) out.Group(5, Hex(handle));
    if (objects && !file.modelSpace.empty()) out.Group(330, file.modelSpace);
    if (objects) out.Group(100, "AcDbEntity");
    out.Group(8, text(e.layer));
    if (e.colour != 256) out.Integer(62, e.colour);
    if (objects) out.Group(100, "AcDbText");
    out.Point(10, e.position);
    out.Real(40, e.height);
    out.Group(1, text(e.text));
    if (e.rotation != 0) out.Real(50, e.rotation * 180 / 3.141592653589793);
    if (e.widthFactor != 1) out.Real(41, e.widthFactor);
    const auto& [horizontal, vertical] = Justification(e);
    if (horizontal != 0) out.Integer(72, horizontal);
    if (e.alignment > 0 && e.alignment < int(kDxfJustification.size()))
        out.Point(11, e.alignmentPoint);
    if (objects) out.Group(100, "AcDbText");
    if (vertical != 0) out.Integer(73, vertical);
}

// Layer, colour (unless by layer) and line type, as R12 writes them.
void Attributes(DxfWriter& out, const Entity& e) {
    out.Group(8, EncodeDxfText(e.layer));
    if (e.colour != 256) out.Integer(62, e.colour);
    out.Group(6, "BYLAYER");
}

void R12Text(DxfWriter& out, const Entity& e) {
    const auto& [horizontal, vertical] = Justification(e);
    out.Point(10, e.position);
    out.Real(40, e.height);
    out.Group(1, EncodeDxfText(e.text));
    out.Real(50, e.rotation / (2 * std::numbers::pi) * 360.0);
    out.Real(41, e.widthFactor);
    out.Group(7, "STANDARD");
    out.Integer(71, 0);
    out.Integer(72, horizontal);
    out.Point(11, e.alignmentPoint);
    out.Integer(73, vertical);
}

// A polyline's vertices follow it, each on the polyline's layer; bulges
// too small to bend anything are not written.
void R12Polyline(DxfWriter& out, const Entity& e) {
    out.Integer(66, 1);
    out.Integer(70, e.closed ? 1 : 0);
    out.Point(10, {});
    const std::string layer = EncodeDxfText(e.layer);
    for (const Vertex& v : e.vertices) {
        out.Group(0, "VERTEX");
        out.Group(8, layer);
        out.Point(10, {v.x, v.y, v.z});
        if (std::abs(v.bulge) > 1e-10) out.Real(42, v.bulge);
    }
    out.Group(0, "SEQEND");
}

void R12Entity(DxfWriter& out, const Entity& e) {
    out.Group(0, e.kind == EntityKind::Polyline ? std::string_view("POLYLINE") : TypeName(e.kind));
    Attributes(out, e);
    if (e.kind == EntityKind::Text) return R12Text(out, e);
    if (e.kind == EntityKind::Polyline) return R12Polyline(out, e);
    out.Point(10, e.position);
    if (e.kind == EntityKind::Line) out.Point(11, e.end);
    if (e.kind == EntityKind::Circle || e.kind == EntityKind::Arc) out.Real(40, e.radius);
    if (e.kind == EntityKind::Arc) out.Real(50, e.startAngle), out.Real(51, e.endAngle);
}

}  // namespace

bool Writable(const Entity& e) {
    bool finite = Finite(e.position) && std::isfinite(e.radius) && std::isfinite(e.height) &&
                  std::isfinite(e.rotation) && std::isfinite(e.widthFactor) &&
                  std::isfinite(e.startAngle) && std::isfinite(e.endAngle);
    if (e.kind == EntityKind::Text) finite = finite && Finite(e.alignmentPoint);
    if (e.kind == EntityKind::Line) finite = finite && Finite(e.end);
    for (const Vertex& v : e.vertices) {
        finite = finite && std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z) &&
                 std::isfinite(v.bulge);
    }
    return finite;
}

std::string FileWithLabels(const Drawing& drawing) {
    const DrawingFile& file = *drawing.file;
    std::uint64_t handle = std::max<std::uint64_t>(file.nextHandle, 1);
    std::string labels;
    DxfWriter out(labels, file.lineEnd);
    for (const auto& [id, e] : drawing.entities) {
        if (!e.fromFile) Label(out, file, drawing.codePage, e, handle++);
    }
    const std::string_view text = file.text;
    std::string whole;
    whole.reserve(text.size() + labels.size() + 16);
    std::size_t from = 0;
    if (file.handSeedLength > 0) {
        whole.append(text.substr(0, file.handSeedAt)).append(Hex(handle));
        from = file.handSeedAt + file.handSeedLength;
    }
    whole.append(text.substr(from, file.entitiesEnd - from)).append(labels);
    whole.append(text.substr(file.entitiesEnd));
    return whole;
}

std::string R12Text(const Drawing& drawing, int& leftOut) {
    std::string text;
    text.reserve(64 + drawing.entities.size() * 160);
    DxfWriter out(text);
    out.Group(0, "SECTION");
    out.Group(2, "HEADER");
    out.Group(9, "$ACADVER");
    out.Group(1, "AC1009");
    out.Group(9, "$DWGCODEPAGE");
    out.Group(3, drawing.codePage);
    out.Group(0, "ENDSEC");
    out.Group(0, "SECTION");
    out.Group(2, "ENTITIES");
    for (const auto& [id, entity] : drawing.entities) {
        // A block reference needs its block, which only the file's own text
        // holds: like everything else only the file held, it is not written
        // here (the window asks for another file name first).
        if (entity.kind == EntityKind::BlockReference) continue;
        if (Writable(entity))
            R12Entity(out, entity);
        else
            ++leftOut;
    }
    out.Group(0, "ENDSEC");
    out.Group(0, "EOF");
    return text;
}

}  // namespace velmora::standins
