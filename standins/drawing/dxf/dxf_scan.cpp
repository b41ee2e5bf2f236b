#include "standins/drawing/dxf/dxf_scan.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <vector>

#include "standins/drawing/dxf/dxf_entities.h"
#include "standins/drawing/dxf/dxf_groups.h"

namespace velmora::standins {

namespace {

// Groups of one entity: a polyline of hundreds of thousands of vertices.
constexpr std::size_t kMaxEntityGroups = 2'000'000;

// A handle's value, or 0 when it is none.
std::uint64_t HandleValue(std::string_view text) {
    std::uint64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    return ec == std::errc() && end == text.data() + text.size() ? value : 0;
}

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

bool IsModelSpace(std::string_view name) {
    constexpr std::string_view kName = "*MODEL_SPACE";
    return name.size() == kName.size() &&
           std::equal(name.begin(), name.end(), kName.begin(),
                      [](char a, char b) { return std::toupper((unsigned char)a) == b; });
}

enum class Section { Header, Entities, Blocks, Other };

class Scanner {
  public:
    explicit Scanner(std::string_view content) : reader_(content) {
        const std::size_t end = content.find('\n');
        if (end != std::string_view::npos && end > 0 && content[end - 1] == '\r')
            out_.file.lineEnd = "\r\n";
    }

    DxfScan Run() {
        bool ended = false;
        DxfGroup group;
        while (!failed() && reader_.Next(group, out_.error)) {
            if (group.code != 0) continue;  // stray groups between sections
            const std::string_view value = TrimDxf(group.value);
            if (value == "EOF") {
                ended = true;
                break;
            }
            if (value == "SECTION") ReadSection();
        }
        if (!failed() && !ended) {
            out_.error = "文件不完整：缺少文件结束标记 EOF";
        }
        NameDynamicBlocks();
        if (!failed()) return std::move(out_);
        DxfScan scan;
        scan.error = std::move(out_.error);
        return scan;
    }

  private:
    enum class Polyline { None, Kept, Skipped };

    struct BlockRecord {
        std::string_view name;
        std::uint64_t handle = 0, dynamic = 0;  // dynamic: the record it was made from
        bool inRepTag = false;                  // within its AcDbBlockRepBTag XDATA
    };

    bool failed() const { return !out_.error.empty(); }

    // A section, from its name to its ENDSEC.
    void ReadSection() {
        DxfGroup group;
        if (!reader_.Next(group, out_.error)) {
            if (!failed()) out_.error = "文件不完整：节（SECTION）之后文件结束";
            return;
        }
        const std::string name(TrimDxf(group.value));
        if (group.code != 2) {
            out_.error = "第 " + std::to_string(group.line) + " 行：节（SECTION）缺少名称";
            return;
        }
        section_ = name == "HEADER"     ? Section::Header
                   : name == "ENTITIES" ? Section::Entities
                   : name == "BLOCKS"   ? Section::Blocks
                                        : Section::Other;
        entry_ = entryHandle_ = {};
        while (reader_.Next(group, out_.error)) {
            Note(group);
            if (failed() || (group.code == 0 && SectionEnds(group, name))) return;
            Collect(group);
        }
        if (!failed()) out_.error = "文件不完整：节 " + name + " 没有结束（缺少 ENDSEC 和 EOF）";
    }

    // A group 0 ends the entity before it, and at ENDSEC the section; true
    // when the section ends (or reading failed).
    bool SectionEnds(const DxfGroup& group, const std::string& name) {
        Flush();
        const std::string_view value = TrimDxf(group.value);
        if (value == "ENDSEC") {
            if (section_ == Section::Entities) out_.file.entitiesEnd = group.at;
            EndPolyline();
            return true;
        }
        if (value == "EOF" || value == "SECTION") {
            if (!failed())
                out_.error =
                    "第 " + std::to_string(group.line) + " 行：节 " + name + " 没有以 ENDSEC 结束";
            return true;
        }
        return failed();
    }

    // What every group tells: header variables, the handles in use, and
    // the handle of the *Model_Space block record (the owner of model-space
    // entities).
    void Note(const DxfGroup& group) {
        const std::string_view value = TrimDxf(group.value);
        if (section_ == Section::Header)
            HeaderGroup(group, value);
        else if (group.code == 5 || group.code == 105)
            out_.file.nextHandle = std::max(out_.file.nextHandle, HandleValue(value) + 1);
        if (group.code == 0) {
            entry_ = value, entryHandle_ = {};
            if (entry_ == "BLOCK_RECORD") records_.emplace_back();
        }
        if (group.code == 5) entryHandle_ = value;
        if (entry_ == "BLOCK_RECORD") NoteBlockRecord(group.code, value);
    }

    // A block record's name and handle, the *Model_Space one's kept for
    // saving; for an anonymous block made from a dynamic block, the handle
    // of that block's record (XDATA 1001 AcDbBlockRepBTag … 1005 <handle>).
    void NoteBlockRecord(int code, std::string_view value) {
        BlockRecord& record = records_.back();
        if (code == 5) record.handle = HandleValue(value);
        if (code == 2 && record.name.empty()) {
            record.name = value;
            if (IsModelSpace(value)) out_.file.modelSpace = entryHandle_;
        }
        if (code == 1001) record.inRepTag = value == "AcDbBlockRepBTag";
        if (code == 1005 && record.inRepTag) record.dynamic = HandleValue(value);
    }

    void NameDynamicBlocks() {
        std::map<std::uint64_t, std::string_view> names;
        for (const BlockRecord& record : records_)
            if (record.handle != 0) names.emplace(record.handle, record.name);
        for (const BlockRecord& record : records_) {
            const auto found = names.find(record.dynamic);
            if (record.dynamic != 0 && found != names.end() && !found->second.empty())
                out_.dynamicBlocks.emplace(Upper(record.name), found->second);
        }
    }

    void HeaderGroup(const DxfGroup& group, std::string_view value) {
        if (group.code == 9) variable_ = value;
        if (variable_ == "$ACADVER" && group.code == 1) out_.version = value;
        if (variable_ == "$DWGCODEPAGE" && group.code == 3) out_.codePage = value;
        if (variable_ == "$HANDSEED" && group.code == 5) {
            out_.file.handSeedAt = reader_.Offset(group.value);
            out_.file.handSeedLength = group.value.size();
            out_.file.nextHandle = std::max(out_.file.nextHandle, HandleValue(value));
        }
        Point3* point = variable_ == "$UCSORG"    ? &out_.ucsOrigin
                        : variable_ == "$UCSXDIR" ? &out_.ucsXAxis
                        : variable_ == "$UCSYDIR" ? &out_.ucsYAxis
                                                  : nullptr;
        if (!point || group.code % 10 != 0 || group.code < 10 || group.code > 30) return;
        double& axis = group.code == 10 ? point->x : group.code == 20 ? point->y : point->z;
        const auto number = DxfReal(group.value);
        if (!number) out_.error = NotANumber(group);
        axis = number.value_or(0);
    }

    // The groups of the entity being read: all of them for what is read,
    // only its space (67) for what is left out.
    void Collect(const DxfGroup& group) {
        if (section_ != Section::Entities && section_ != Section::Blocks) return;
        if (group.code == 0) {
            const std::string_view type = TrimDxf(group.value);
            keepAll_ = section_ == Section::Blocks || KeptEntity(type) || type == "VERTEX" ||
                       DrawnAsContext(type);
        } else if (entity_.empty() || (!keepAll_ && group.code != 67)) {
            return;  // stray groups before the first entity, or not needed
        }
        if (entity_.size() >= kMaxEntityGroups) {
            out_.error = "第 " + std::to_string(group.line) + " 行：实体过大（超过 " +
                         std::to_string(kMaxEntityGroups) + " 组）";
            return;
        }
        entity_.push_back(group);
    }

    // The entity collected is complete: it is read.
    void Flush() {
        if (entity_.empty()) return;
        const std::string_view type = TrimDxf(entity_.front().value);
        DxfFields f(std::span<const DxfGroup>(entity_).subspan(1));
        if (section_ == Section::Entities)
            ModelSpaceEntity(type, f);
        else
            BlockEntity(type, f);
        if (f.Bad() && !failed()) out_.error = NotANumber(*f.Bad());
        entity_.clear();
    }

    void Skip(std::string_view type) {
        const auto found = out_.skipped.find(type);
        if (found != out_.skipped.end())
            ++found->second;
        else
            out_.skipped.emplace(type, 1);
    }

    // An entry of the BLOCKS section: a block's start or end, or one of its entities.
    void BlockEntity(std::string_view type, DxfFields& f) {
        if (type == "BLOCK") {
            blockDrawn_ = context_.BeginBlock(f);
        } else if (type == "ENDBLK") {
            context_.EndBlock();
            blockDrawn_ = false;
        } else if (blockDrawn_ && !context_.Add(type, f)) {
            Skip(type);
        }
    }

    void EndPolyline() {
        entities_.EndPolyline();
        polyline_ = Polyline::None;
    }

    // An entity of the ENTITIES section.
    void ModelSpaceEntity(std::string_view type, DxfFields& f) {
        const bool vertex = type == "VERTEX" || type == "SEQEND";
        if (vertex && polyline_ != Polyline::None) {
            if (type == "SEQEND")
                EndPolyline();
            else if (polyline_ == Polyline::Kept)
                entities_.AddVertex(f);
            return;
        }
        EndPolyline();
        if (vertex) return;  // outside a polyline: nothing to keep
        // Attributes belong to the block reference before them.
        if (type != "ATTRIB") context_.Own(0);
        if (f.Integer(67) == 1) {  // paper space: kept in the file, not shown with model space
            ++out_.fileOnly;
            if (type == "POLYLINE") polyline_ = Polyline::Skipped;
            return;
        }
        // A block reference is picked as an entity and drawn as its block.
        if (type == "INSERT") context_.Own(entities_.AddBlockReference(f));
        if (KeptEntity(type)) {
            Keep(type, f);
        } else if (context_.Add(type, f)) {
            ++out_.fileOnly;
        } else {
            Skip(type);
        }
    }

    void Keep(std::string_view type, DxfFields& f) {
        // Polygon meshes and polyface meshes are not outlines.
        if (type == "POLYLINE" && (f.Integer(70) & (16 | 64))) {
            Skip("POLYLINE（网格）");
            polyline_ = Polyline::Skipped;
            return;
        }
        entities_.Add(type, f);
        if (type == "POLYLINE") polyline_ = Polyline::Kept;
    }

    DxfGroupReader reader_;
    DxfScan out_;
    DxfEntities entities_{out_.drawing};
    DxfContext& context_ = out_.context;
    Section section_ = Section::Other;
    std::vector<DxfGroup> entity_;          // the entity being collected
    bool keepAll_ = false;                  // all its groups, not only its space
    std::string variable_;                  // the HEADER variable being read
    std::string_view entry_, entryHandle_;  // the table entry being read, and its handle
    std::vector<BlockRecord> records_;
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
