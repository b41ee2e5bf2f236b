#include "standins/drawing/dxf/dxf_scan.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <vector>

namespace velmora::standins {

namespace {

// dxflib reads lines into a buffer of 1024 bytes.
constexpr std::size_t kMaxValueBytes = 1000;
// Groups of one entity: a polyline of hundreds of thousands of vertices.
constexpr std::size_t kMaxEntityGroups = 2'000'000;

struct Group {
    int code = 0;
    std::string_view value;
    long line = 0;       // of the value, 1-based
    std::size_t at = 0;  // offset of the code's line in the text
};

std::string Shown(std::string_view text) {
    constexpr std::size_t kShown = 40;
    std::size_t length = std::min(text.size(), kShown);
    // Never half a character.
    while (length < text.size() && length > 0 && (text[length] & 0xC0) == 0x80) --length;
    std::string shown(text.substr(0, length));
    if (length < text.size()) shown += "…";
    return "“" + shown + "”";
}

bool IsReal(int code) {
    return (code >= 10 && code <= 59) || (code >= 140 && code <= 147) ||
           (code >= 210 && code <= 239);
}
bool IsInteger(int code) { return (code >= 60 && code <= 99) || (code >= 270 && code <= 289); }

bool ValidNumber(int code, std::string_view value) {
    value = TrimDxf(value);
    if (IsReal(code)) {
        double number = 0;
        const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), number);
        return ec == std::errc() && end == value.data() + value.size() && std::isfinite(number) &&
               std::abs(number) <= kMaxDxfMagnitude;
    }
    if (IsInteger(code)) {
        if (!value.empty() && value.front() == '+') value.remove_prefix(1);
        long number = 0;
        const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), number);
        return ec == std::errc() && end == value.data() + value.size() && number >= -2147483647 &&
               number <= 2147483647;
    }
    return true;
}

// The groups kept of each entity type, besides layer, colour and extrusion.
bool Kept(std::string_view type, int code) {
    if (code == 8 || code == 62 || code == 210 || code == 220 || code == 230) return true;
    const bool point = code == 10 || code == 20 || code == 30;
    if (type == "POINT") return point;
    if (type == "LINE") return point || code == 11 || code == 21 || code == 31;
    if (type == "CIRCLE") return point || code == 40;
    if (type == "ARC") return point || code == 40 || code == 50 || code == 51;
    if (type == "TEXT")
        return point || code == 1 || code == 11 || code == 21 || code == 31 || code == 40 ||
               code == 41 || code == 50 || (code >= 71 && code <= 73);
    if (type == "LWPOLYLINE")
        return code == 10 || code == 20 || code == 42 || code == 38 || code == 70;
    if (type == "POLYLINE") return point || code == 66 || code == 70;
    if (type == "VERTEX") return point || code == 42 || code == 70;
    return false;
}

bool Handled(std::string_view type) {
    return type == "POINT" || type == "LINE" || type == "CIRCLE" || type == "ARC" ||
           type == "TEXT" || type == "LWPOLYLINE" || type == "POLYLINE";
}

class Reader {
  public:
    explicit Reader(std::string_view content) : text_(content), rest_(content) {}

    std::size_t Offset(std::string_view part) const {
        return std::size_t(part.data() - text_.data());
    }

    // The next pair; false at the end of the text, or with `error` set.
    bool Next(Group& group, std::string& error) {
        std::string_view codeLine, valueLine;
        if (!Line(codeLine)) return false;
        const long codeLineNumber = line_;
        group.at = Offset(codeLine);
        const std::string_view code = TrimDxf(codeLine);
        if (code.empty() && rest_.empty()) return false;  // a last empty line
        const auto [end, ec] = std::from_chars(code.data(), code.data() + code.size(), group.code);
        if (code.empty() || ec != std::errc() || end != code.data() + code.size() ||
            group.code < -5 || group.code > 1071) {
            error = "第 " + std::to_string(codeLineNumber) + " 行应为组码（整数），却是" +
                    Shown(codeLine);
            return false;
        }
        if (!Line(valueLine)) {
            error = "文件不完整：第 " + std::to_string(codeLineNumber) + " 行的组码之后没有值";
            return false;
        }
        group.value = valueLine;
        if (!group.value.empty() && group.value.back() == '\r') group.value.remove_suffix(1);
        group.line = line_;
        return true;
    }

  private:
    bool Line(std::string_view& line) {
        if (rest_.empty()) return false;
        const std::size_t end = rest_.find('\n');
        line = rest_.substr(0, end);
        rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
        ++line_;
        return true;
    }

    std::string_view text_, rest_;
    long line_ = 0;
};

// A handle's value, or 0 when it is none.
std::uint64_t HandleValue(std::string_view text) {
    std::uint64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    return ec == std::errc() && end == text.data() + text.size() ? value : 0;
}

double Coordinate(std::string_view text) {
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return std::isfinite(value) ? value : 0;
}

class Scanner {
  public:
    explicit Scanner(std::string_view content) : reader_(content) {
        const std::size_t end = content.find('\n');
        if (end != std::string_view::npos && end > 0 && content[end - 1] == '\r')
            out_.file.lineEnd = "\r\n";
    }

    DxfScan Run() {
        out_.entities = "0\nSECTION\n2\nENTITIES\n";
        bool ended = false;
        Group group;
        while (!failed() && reader_.Next(group, out_.error)) {
            if (group.code != 0) continue;  // stray groups between sections
            const std::string_view value = TrimDxf(group.value);
            if (value == "EOF") {
                ended = true;
                break;
            }
            if (value == "SECTION") Section();
        }
        if (!failed() && !ended) {
            out_.error = "文件不完整：缺少文件结束标记 EOF";
        }
        if (failed()) {
            out_.entities.clear();
            out_.skipped.clear();
            out_.fileOnly = 0;
            return std::move(out_);
        }
        out_.entities += "0\nENDSEC\n0\nEOF\n";
        return std::move(out_);
    }

  private:
    bool failed() const { return !out_.error.empty(); }

    // A section, from its name to its ENDSEC.
    void Section() {
        Group group;
        if (!reader_.Next(group, out_.error)) {
            if (!failed()) out_.error = "文件不完整：节（SECTION）之后文件结束";
            return;
        }
        const std::string name(TrimDxf(group.value));
        if (group.code != 2) {
            out_.error = "第 " + std::to_string(group.line) + " 行：节（SECTION）缺少名称";
            return;
        }
        std::vector<Group> entity;
        std::string variable, entry, entryHandle;
        while (reader_.Next(group, out_.error)) {
            const std::string_view value = TrimDxf(group.value);
            if (name == "HEADER") {
                if (group.code == 9) variable = value;
                Header(variable, group);
            } else if (group.code == 5 || group.code == 105) {
                out_.file.nextHandle = std::max(out_.file.nextHandle, HandleValue(value) + 1);
            }
            if (group.code == 0) entry = value, entryHandle.clear();
            if (group.code == 5) entryHandle = value;
            // The *Model_Space block record's handle is the owner of model-space entities.
            if (group.code == 2 && entry == "BLOCK_RECORD" && value.size() == 12 &&
                std::equal(value.begin(), value.end(), "*MODEL_SPACE",
                           [](char a, char b) { return std::toupper((unsigned char)a) == b; }))
                out_.file.modelSpace = entryHandle;
            if (group.code == 0) {
                if (name == "ENTITIES") Entity(entity);
                if (name == "BLOCKS") BlockEntity(entity);
                if (name == "ENTITIES" && value == "ENDSEC") out_.file.entitiesEnd = group.at;
                if (failed()) return;
                entity.clear();
                const std::string_view value = TrimDxf(group.value);
                if (value == "ENDSEC") {
                    EndPolyline();
                    return;
                }
                if (value == "EOF" || value == "SECTION") {
                    out_.error = "第 " + std::to_string(group.line) + " 行：节 " + name +
                                 " 没有以 ENDSEC 结束";
                    return;
                }
            }
            if (name != "ENTITIES" && name != "BLOCKS") continue;
            // Of an entity left out only its type and space matter.
            const std::string_view type = entity.empty() ? "" : TrimDxf(entity.front().value);
            const bool kept = entity.empty() || name == "BLOCKS" || Handled(type) ||
                              type == "VERTEX" || DrawnAsContext(type);
            if (!kept && group.code != 67) continue;
            if (entity.size() >= kMaxEntityGroups) {
                out_.error = "第 " + std::to_string(group.line) + " 行：实体过大（超过 " +
                             std::to_string(kMaxEntityGroups) + " 组）";
                return;
            }
            entity.push_back(group);
        }
        if (!failed()) out_.error = "文件不完整：节 " + name + " 没有结束（缺少 ENDSEC 和 EOF）";
    }

    void Header(const std::string& variable, const Group& group) {
        const std::string_view value = TrimDxf(group.value);
        if (variable == "$ACADVER" && group.code == 1) out_.version = value;
        if (variable == "$DWGCODEPAGE" && group.code == 3) out_.codePage = value;
        if (variable == "$HANDSEED" && group.code == 5) {
            out_.file.handSeedAt = reader_.Offset(group.value);
            out_.file.handSeedLength = group.value.size();
            out_.file.nextHandle = std::max(out_.file.nextHandle, HandleValue(value));
        }
        Point3* point = variable == "$UCSORG"    ? &out_.ucsOrigin
                        : variable == "$UCSXDIR" ? &out_.ucsXAxis
                        : variable == "$UCSYDIR" ? &out_.ucsYAxis
                                                 : nullptr;
        if (point && group.code == 10) point->x = Coordinate(value);
        if (point && group.code == 20) point->y = Coordinate(value);
        if (point && group.code == 30) point->z = Coordinate(value);
    }

    void Skip(std::string type) { ++out_.skipped[std::move(type)]; }

    static std::vector<DxfPair> Pairs(const std::vector<Group>& groups) {
        std::vector<DxfPair> pairs;
        pairs.reserve(groups.size());
        for (std::size_t i = 1; i < groups.size(); ++i)
            pairs.push_back({groups[i].code, groups[i].value});
        return pairs;
    }

    // An entity the workspace only draws; false when it cannot.
    bool Context(const std::string& type, const std::vector<Group>& groups) {
        bool invalid = false;
        if (!context_.Add(type, Pairs(groups), invalid)) return false;
        if (invalid) Skip(type + "（数值无效）");
        return true;
    }

    // An entry of the BLOCKS section: a block's start or end, or one of its entities.
    void BlockEntity(const std::vector<Group>& groups) {
        if (groups.empty()) return;
        const std::string type(TrimDxf(groups.front().value));
        if (type == "BLOCK") {
            blockDrawn_ = context_.BeginBlock(Pairs(groups));
        } else if (type == "ENDBLK") {
            context_.EndBlock();
            blockDrawn_ = false;
        } else if (blockDrawn_ && !Context(type, groups)) {
            Skip(type);
        }
    }

    void EndPolyline() {
        if (polyline_ == Polyline::Kept) out_.entities += "0\nSEQEND\n";
        polyline_ = Polyline::None;
    }

    void Entity(const std::vector<Group>& groups) {
        if (groups.empty()) return;
        const std::string type(TrimDxf(groups.front().value));
        bool paperSpace = false;
        int flags = 0;
        for (const Group& group : groups) {
            if (group.code == 67) paperSpace = TrimDxf(group.value) == "1";
            if (group.code == 70) {
                const std::string_view value = TrimDxf(group.value);
                std::from_chars(value.data(), value.data() + value.size(), flags);
            }
        }
        if (type == "VERTEX" && polyline_ != Polyline::None) {
            if (polyline_ == Polyline::Kept) Emit(type, groups);
            return;
        }
        if (type == "SEQEND" && polyline_ != Polyline::None) {
            EndPolyline();
            return;
        }
        EndPolyline();
        if (type == "VERTEX" || type == "SEQEND") return;  // outside a polyline: nothing to keep
        if (paperSpace) {  // kept in the file, not shown with model space
            ++out_.fileOnly;
            if (type == "POLYLINE") polyline_ = Polyline::Skipped;
            return;
        }
        if (!Handled(type)) {
            if (Context(type, groups))
                ++out_.fileOnly;
            else
                Skip(type);
            return;
        }
        if (type == "POLYLINE") {
            // Polygon meshes and polyface meshes are not outlines.
            if (flags & (16 | 64)) {
                Skip("POLYLINE（网格）");
                polyline_ = Polyline::Skipped;
                return;
            }
            polyline_ = Polyline::Kept;
        }
        Emit(type, groups);
    }

    void Emit(const std::string& type, const std::vector<Group>& groups) {
        std::string text = "0\n" + type + "\n";
        std::string vertices;
        int vertexCount = 0;
        for (std::size_t i = 1; i < groups.size(); ++i) {
            const Group& group = groups[i];
            if (!Kept(type, group.code)) continue;
            if (group.value.size() > kMaxValueBytes) {
                out_.error = "第 " + std::to_string(group.line) + " 行过长（超过 " +
                             std::to_string(kMaxValueBytes) + " 个字符）";
                return;
            }
            if (!ValidNumber(group.code, group.value)) {
                out_.error = "第 " + std::to_string(group.line) + " 行：" + Shown(group.value) +
                             " 不是有效的数值";
                return;
            }
            const std::string pair =
                std::to_string(group.code) + "\n" +
                std::string(group.code == 1 || group.code == 8 ? group.value
                                                               : TrimDxf(group.value)) +
                "\n";
            if (type == "LWPOLYLINE" &&
                (group.code == 10 || group.code == 20 || group.code == 42)) {
                // Vertex groups count only from a vertex's X on; the count
                // dxflib sizes its table by is the number of X groups.
                if (group.code == 10) ++vertexCount;
                if (vertexCount > 0) vertices += pair;
                continue;
            }
            text += pair;
        }
        if (type == "LWPOLYLINE") text += "90\n" + std::to_string(vertexCount) + "\n" + vertices;
        out_.entities += text;
    }

    enum class Polyline { None, Kept, Skipped };

    Reader reader_;
    DxfScan out_;
    DxfContext& context_ = out_.context;
    bool blockDrawn_ = false;  // within a block that is drawn where it is referenced
    Polyline polyline_ = Polyline::None;
};

}  // namespace

DxfScan ScanDxf(std::string_view content) {
    if (content.starts_with("AutoCAD Binary DXF")) {
        DxfScan scan;
        scan.error = "这是二进制 DXF 文件，只能读取文本（ASCII）DXF";
        return scan;
    }
    const bool bom = content.starts_with("\xEF\xBB\xBF");
    if (bom) content.remove_prefix(3);
    if (TrimDxf(content).empty()) {
        DxfScan scan;
        scan.error = "文件是空的";
        return scan;
    }
    DxfScan scan = Scanner(content).Run();
    // Offsets count in the whole text.
    if (bom && scan.file.entitiesEnd > 0) scan.file.entitiesEnd += 3;
    if (bom && scan.file.handSeedLength > 0) scan.file.handSeedAt += 3;
    return scan;
}

}  // namespace velmora::standins
