#include "standins/drawing/dxf/dxf_file.h"

#include <dxflib/dl_creationadapter.h>
#include <dxflib/dl_dxf.h>
#include <dxflib/dl_writer_ascii.h>
#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <system_error>

#include "standins/drawing/dxf/dxf_scan.h"
#include "standins/drawing/dxf/dxf_text.h"

namespace velmora::standins {

namespace {

namespace fs = std::filesystem;

// AutoCAD's text alignments 0 … 14 as DXF's horizontal (72) and vertical
// (73) justification.
constexpr std::array<std::array<int, 2>, 15> kJustification{{{0, 0},
                                                             {1, 0},
                                                             {2, 0},
                                                             {3, 0},
                                                             {4, 0},
                                                             {5, 0},
                                                             {0, 3},
                                                             {1, 3},
                                                             {2, 3},
                                                             {0, 2},
                                                             {1, 2},
                                                             {2, 2},
                                                             {0, 1},
                                                             {1, 1},
                                                             {2, 1}}};

int AlignmentOf(int horizontal, int vertical) {
    for (std::size_t i = 0; i < kJustification.size(); ++i) {
        if (kJustification[i][0] == horizontal && kJustification[i][1] == vertical) return int(i);
    }
    return 0;
}

// Builds the drawing from what dxflib reads. An entity whose extrusion
// points down (drawn mirrored) has its X turned back into world X.
class Builder : public DL_CreationAdapter {
  public:
    // Texts of files before AutoCAD 2007 are in the file's code page.
    Builder(Drawing& drawing, std::string codePage)
        : drawing_(drawing), codePage_(std::move(codePage)) {}

    void addPoint(const DL_PointData& d) override {
        Entity entity = Base(EntityKind::Point);
        entity.position = {d.x, d.y, d.z};
        Add(std::move(entity));
    }

    void addLine(const DL_LineData& d) override {
        Entity entity = Base(EntityKind::Line);
        entity.position = {d.x1, d.y1, d.z1};
        entity.end = {d.x2, d.y2, d.z2};
        Add(std::move(entity));
    }

    void addCircle(const DL_CircleData& d) override {
        Entity entity = Base(EntityKind::Circle);
        entity.position = Ocs({d.cx, d.cy, d.cz});
        entity.radius = d.radius;
        Add(std::move(entity));
    }

    void addArc(const DL_ArcData& d) override {
        Entity entity = Base(EntityKind::Arc);
        entity.position = Ocs({d.cx, d.cy, d.cz});
        entity.radius = d.radius;
        entity.startAngle = Mirrored() ? 180 - d.angle2 : d.angle1;
        entity.endAngle = Mirrored() ? 180 - d.angle1 : d.angle2;
        Add(std::move(entity));
    }

    void addText(const DL_TextData& d) override {
        Entity entity = Base(EntityKind::Text);
        entity.text = DecodeFileText(d.text, codePage_);
        entity.position = Ocs({d.ipx, d.ipy, d.ipz});
        entity.alignment = AlignmentOf(d.hJustification, d.vJustification);
        entity.alignmentPoint = std::isfinite(d.apx) && std::isfinite(d.apy)
                                    ? Ocs({d.apx, d.apy, std::isfinite(d.apz) ? d.apz : 0})
                                    : entity.position;
        entity.height = d.height;
        entity.widthFactor = d.xScaleFactor;
        entity.rotation = d.angle;
        Add(std::move(entity));
    }

    void addPolyline(const DL_PolylineData& d) override {
        Entity entity = Base(EntityKind::Polyline);
        entity.closed = (d.flags & 1) != 0;
        polylineMirrored_ = Mirrored();
        polyline_ = Add(std::move(entity));
    }

    void addVertex(const DL_VertexData& d) override {
        Entity* polyline = polyline_ ? FindEntity(drawing_, *polyline_) : nullptr;
        if (!polyline) return;
        const double sign = polylineMirrored_ ? -1 : 1;
        polyline->vertices.push_back({sign * d.x, d.y, d.z, sign * d.bulge});
        if (polyline->vertices.size() == 1) polyline->position = {sign * d.x, d.y, d.z};
    }

  private:
    Entity Base(EntityKind kind) {
        polyline_.reset();
        const DL_Attributes attributes = getAttributes();
        Entity entity;
        entity.kind = kind;
        entity.layer = DecodeFileText(attributes.getLayer(), codePage_);
        if (entity.layer.empty()) entity.layer = "0";
        entity.colour = attributes.getColor();
        return entity;
    }

    EntityId Add(Entity entity) { return AddEntity(drawing_, std::move(entity)); }

    bool Mirrored() {
        const DL_Extrusion* extrusion = getExtrusion();
        return extrusion && extrusion->getDirection()[2] < 0;
    }

    Point3 Ocs(Point3 p) {
        if (Mirrored()) p.x = -p.x;
        return p;
    }

    Drawing& drawing_;
    std::string codePage_;
    std::optional<EntityId> polyline_;
    bool polylineMirrored_ = false;
};

// A number in its shortest form that reads back to the same double,
// whatever its size.
std::string RealText(double value) {
    std::array<char, 64> text{};
    const auto result = std::to_chars(text.data(), text.data() + text.size() - 1, value);
    std::string number(text.data(), result.ptr);
    if (number.find_first_of(".en") == std::string::npos) number += ".0";
    return number;
}

class Writer : public DL_WriterA {
  public:
    explicit Writer(const char* path) : DL_WriterA(path, DL_Codes::AC1009) {}

    void dxfReal(int code, double value) const override { dxfString(code, RealText(value)); }
};

bool Finite(Point3 p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

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

void WriteEntity(DL_Dxf& dxf, Writer& writer, const Entity& e) {
    const DL_Attributes attributes(EncodeDxfText(e.layer), e.colour, -1, "BYLAYER", 1.0);
    const Point3& p = e.position;
    switch (e.kind) {
        case EntityKind::Point:
            dxf.writePoint(writer, DL_PointData(p.x, p.y, p.z), attributes);
            break;
        case EntityKind::Circle:
            dxf.writeCircle(writer, DL_CircleData(p.x, p.y, p.z, e.radius), attributes);
            break;
        case EntityKind::Arc:
            dxf.writeArc(writer, DL_ArcData(p.x, p.y, p.z, e.radius, e.startAngle, e.endAngle),
                         attributes);
            break;
        case EntityKind::Line:
            dxf.writeLine(writer, DL_LineData(p.x, p.y, p.z, e.end.x, e.end.y, e.end.z),
                          attributes);
            break;
        case EntityKind::Text: {
            const int alignment =
                e.alignment >= 0 && e.alignment < int(kJustification.size()) ? e.alignment : 0;
            const Point3& a = e.alignmentPoint;
            dxf.writeText(writer,
                          DL_TextData(p.x, p.y, p.z, a.x, a.y, a.z, e.height, e.widthFactor, 0,
                                      kJustification[alignment][0], kJustification[alignment][1],
                                      EncodeDxfText(e.text), "STANDARD", e.rotation),
                          attributes);
            break;
        }
        case EntityKind::Polyline:
            dxf.writePolyline(writer,
                              DL_PolylineData(int(e.vertices.size()), 0, 0, e.closed ? 1 : 0),
                              attributes);
            for (const Vertex& v : e.vertices) {
                dxf.writeVertex(writer, DL_VertexData(v.x, v.y, v.z, v.bulge));
            }
            dxf.writePolylineEnd(writer);
            break;
    }
}

// The written file is whole when it ends with the end-of-file marker.
bool EndsWithEof(const fs::path& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return false;
    const std::streamoff size = in.tellg();
    if (size < 4) return false;
    in.seekg(size - 4);
    std::string tail(4, '\0');
    in.read(tail.data(), 4);
    return in && tail == "EOF\n";
}

bool SyncToDisk(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

// The saved user coordinate system when it turns about Z only (all the
// stand-in has); world when absent, degenerate or tilted.
Ucs SavedUcs(const DxfScan& scan) {
    const Point3 x = scan.ucsXAxis, y = scan.ucsYAxis;
    const double length = std::hypot(x.x, x.y);
    Ucs ucs;
    if (!(length > 1e-9) || std::abs(x.z) > 1e-9 * length || std::abs(y.z) > 1e-9 * length ||
        std::abs(y.x + x.y * std::hypot(y.x, y.y) / length) > 1e-9 * length ||
        std::abs(y.y - x.x * std::hypot(y.x, y.y) / length) > 1e-9 * length ||
        !(std::hypot(y.x, y.y) > 1e-9))
        return ucs;
    ucs.origin = scan.ucsOrigin;
    ucs.rotation = std::atan2(x.y, x.x);
    return ucs;
}

DxfRead ReadText(std::string content) {
    DxfRead read;
    DxfScan scan = ScanDxf(content);
    if (!scan.error.empty()) {
        read.error = std::move(scan.error);
        return read;
    }
    read.skipped = std::move(scan.skipped);
    read.fileOnly = scan.fileOnly;
    if (!scan.codePage.empty()) read.drawing.codePage = scan.codePage;
    read.drawing.ucs = SavedUcs(scan);
    std::istringstream stream(std::move(scan.entities));
    const bool utf8 = scan.version >= "AC1021";
    const std::string textCodePage = utf8 ? std::string() : read.drawing.codePage;
    Builder builder(read.drawing, textCodePage);
    DL_Dxf dxf;
    if (!dxf.in(stream, &builder)) {
        read.error = "dxflib 无法读取该文件";
        return read;
    }
    for (auto& [id, entity] : read.drawing.entities) entity.fromFile = true;
    bool capped = false;
    read.drawing.context = scan.context.Resolve(
        [&](std::string_view text) { return DecodeFileText(text, textCodePage); }, capped);
    if (capped) ++read.skipped["INSERT（图块嵌套或数量超出上限的部分）"];
    if (scan.file.entitiesEnd > 0) {
        auto file = std::make_shared<DrawingFile>(std::move(scan.file));
        file->text = std::move(content);
        file->version = scan.version;
        file->entityCount = read.drawing.entities.size();
        read.drawing.file = std::move(file);
    }
    return read;
}

std::string Pair(int code, std::string_view value, const std::string& lineEnd) {
    std::string code3 = std::to_string(code);
    if (code3.size() < 3) code3.insert(0, 3 - code3.size(), ' ');
    return code3 + lineEnd + std::string(value) + lineEnd;
}

// A new text in the form the file's version needs: from AutoCAD R13 on
// with handle, owner and subclass markers; in files of 2007 and later in
// UTF-8, before in the file's code page.
std::string FileText(const DrawingFile& file, const std::string& codePage, const Entity& e,
                     std::uint64_t handle) {
    const std::string& n = file.lineEnd;
    const bool objects = file.version >= "AC1012";
    const auto text = [&](std::string_view t) {
        return file.version >= "AC1021" ? std::string(t) : EncodeDxfText(t, codePage);
    };
    char hex[32];
    std::snprintf(hex, sizeof hex, "%llX", static_cast<unsigned long long>(handle));
    std::string out = Pair(0, "TEXT", n);
    if (file.handSeedLength > 0 || objects) out += Pair(5, hex, n);
    if (objects && !file.modelSpace.empty()) out += Pair(330, file.modelSpace, n);
    if (objects) out += Pair(100, "AcDbEntity", n);
    out += Pair(8, text(e.layer), n);
    if (e.colour != 256) out += Pair(62, std::to_string(e.colour), n);
    if (objects) out += Pair(100, "AcDbText", n);
    out += Pair(10, RealText(e.position.x), n) + Pair(20, RealText(e.position.y), n) +
           Pair(30, RealText(e.position.z), n) + Pair(40, RealText(e.height), n) +
           Pair(1, text(e.text), n);
    if (e.rotation != 0) out += Pair(50, RealText(e.rotation * 180 / 3.141592653589793), n);
    if (e.widthFactor != 1) out += Pair(41, RealText(e.widthFactor), n);
    const int alignment =
        e.alignment >= 0 && e.alignment < int(kJustification.size()) ? e.alignment : 0;
    if (kJustification[alignment][0] != 0)
        out += Pair(72, std::to_string(kJustification[alignment][0]), n);
    if (alignment != 0) {
        const Point3& a = e.alignmentPoint;
        out += Pair(11, RealText(a.x), n) + Pair(21, RealText(a.y), n) + Pair(31, RealText(a.z), n);
    }
    if (objects) out += Pair(100, "AcDbText", n);
    if (kJustification[alignment][1] != 0)
        out += Pair(73, std::to_string(kJustification[alignment][1]), n);
    return out;
}

// The file's text with the drawing's new texts at the end of ENTITIES and
// $HANDSEED past their handles.
std::string FileWithLabels(const Drawing& drawing) {
    const DrawingFile& file = *drawing.file;
    std::uint64_t handle = std::max<std::uint64_t>(file.nextHandle, 1);
    std::string labels;
    for (const auto& [id, e] : drawing.entities) {
        if (!e.fromFile) labels += FileText(file, drawing.codePage, e, handle++);
    }
    const std::string_view text = file.text;
    std::string out;
    out.reserve(text.size() + labels.size() + 16);
    std::size_t from = 0;
    if (file.handSeedLength > 0) {
        char hex[32];
        std::snprintf(hex, sizeof hex, "%llX", static_cast<unsigned long long>(handle));
        out.append(text.substr(0, file.handSeedAt)).append(hex);
        from = file.handSeedAt + file.handSeedLength;
    }
    out.append(text.substr(from, file.entitiesEnd - from)).append(labels);
    out.append(text.substr(file.entitiesEnd));
    return out;
}

bool WriteAll(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), std::streamsize(text.size()));
    out.close();
    return bool(out);
}

}  // namespace

bool SavesWhole(const Drawing& drawing) {
    if (!drawing.file || drawing.file->entitiesEnd == 0) return false;
    std::size_t kept = 0;
    for (const auto& [id, e] : drawing.entities) {
        if (e.fromFile && e.edited) return false;
        if (!e.fromFile && (e.kind != EntityKind::Text || !Writable(e))) return false;
        kept += e.fromFile;
    }
    return kept == drawing.file->entityCount;
}

DxfRead ReadDxf(std::string_view content) { return ReadText(std::string(content)); }

DxfRead LoadDxf(const std::string& path) {
    DxfRead read;
    auto fail = [&](const std::string& reason) {
        read.error = "无法打开图形文件“" + path + "”：" + reason;
        return std::move(read);
    };
    std::error_code ec;
    if (!fs::is_regular_file(path, ec))
        return fail(fs::exists(path, ec) ? "不是文件" : "文件不存在");
    const auto size = fs::file_size(path, ec);
    if (ec) return fail(ec.message());
    if (size > kMaxDxfBytes) return fail("文件过大（超过 128 MB）");
    std::ifstream in(path, std::ios::binary);
    if (!in) return fail(std::strerror(errno));
    std::string content(size, '\0');
    in.read(content.data(), std::streamsize(size));
    content.resize(std::size_t(in.gcount()));
    read = ReadText(std::move(content));
    if (!read.error.empty()) return fail(read.error);
    return read;
}

DxfSave SaveDxf(const Drawing& drawing, const std::string& path) {
    DxfSave save;
    std::error_code ec;
    fs::path target(path);
    if (fs::is_symlink(target, ec)) target = fs::canonical(target, ec);
    const fs::path temporary =
        target.parent_path() / ("." + target.filename().string() + ".velmora-tmp");
    auto fail = [&](const std::string& reason) {
        fs::remove(temporary, ec);
        save.error = "无法保存图形文件“" + path + "”：" + reason;
        return save;
    };
    if (target.filename().empty()) return fail("没有文件名");
    const bool whole = SavesWhole(drawing);
    if (whole) {
        if (!WriteAll(temporary, FileWithLabels(drawing)))
            return fail(std::string("无法写入该文件（") + std::strerror(errno) + "）");
    } else {
        Writer writer(temporary.c_str());
        if (writer.openFailed())
            return fail(std::string("无法写入该文件夹（") + std::strerror(errno) + "）");
        DL_Dxf dxf;
        // dxflib takes the version its entities are written in from out(),
        // which also opens a writer of its own; that one goes nowhere.
        delete dxf.out("/dev/null", DL_Codes::AC1009);
        writer.sectionHeader();
        writer.dxfString(9, "$ACADVER");
        writer.dxfString(1, "AC1009");
        writer.dxfString(9, "$DWGCODEPAGE");
        writer.dxfString(3, drawing.codePage);
        writer.sectionEnd();
        writer.sectionEntities();
        for (const auto& [id, entity] : drawing.entities) {
            if (!Writable(entity)) {
                ++save.leftOut;
                continue;
            }
            WriteEntity(dxf, writer, entity);
        }
        writer.sectionEnd();
        writer.dxfEOF();
        writer.close();
    }
    if (!SyncToDisk(temporary) || (!whole && !EndsWithEof(temporary)))
        return fail("写入不完整（磁盘已满？）");
    if (fs::exists(target, ec))
        fs::permissions(temporary, fs::status(target, ec).permissions(), ec);
    fs::rename(temporary, target, ec);
    if (ec) return fail(ec.message());
    return save;
}

}  // namespace velmora::standins
