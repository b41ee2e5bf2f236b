// Reading drawing files: any bytes at all, as the content of a DXF file.
// - Reading never crashes, hangs or runs out of memory; it either fails
//   with a reason or gives a drawing.
// - A file without its end marker is refused.
// - Every entity read, and every shape drawn as context, has finite
//   coordinates; the context stays within its limits; a shape that draws a
//   block reference names one of the drawing.
// - A drawing read and written as DXF R12 reads back with the same
//   entities at the same places, but for the block references, which R12
//   leaves out.
// - Texts without escapes come back unchanged through the escape writer.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "standins/drawing/dxf/dxf_context.h"
#include "standins/drawing/dxf/dxf_file.h"
#include "standins/drawing/dxf/dxf_text.h"
#include "standins/drawing/dxf/dxf_write.h"

namespace {

using namespace velmora::standins;

bool Finite(const Point3& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    const DxfRead read = ReadDxf(content);
    if (content.find("EOF") == std::string_view::npos) FUZZ_CHECK(!read.error.empty());
    if (!read.error.empty()) FUZZ_CHECK(read.drawing.entities.empty());
    for (const auto& [id, entity] : read.drawing.entities) {
        FUZZ_CHECK(Finite(entity.position));
        FUZZ_CHECK(Finite(entity.end));
        FUZZ_CHECK(Finite(entity.alignmentPoint));
        FUZZ_CHECK(std::isfinite(entity.radius) && std::isfinite(entity.height));
        for (const Vertex& v : entity.vertices) {
            FUZZ_CHECK(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.bulge));
        }
    }
    FUZZ_CHECK(read.drawing.context.size() <= kMaxContextShapes);
    for (const ContextShape& shape : read.drawing.context) {
        FUZZ_CHECK(std::isfinite(shape.at.x) && std::isfinite(shape.at.y));
        FUZZ_CHECK(std::isfinite(shape.height) && std::isfinite(shape.rotation));
        for (const Point2& p : shape.outline) FUZZ_CHECK(std::isfinite(p.x) && std::isfinite(p.y));
        const Entity* owner = FindEntity(read.drawing, shape.owner);
        FUZZ_CHECK(shape.owner == 0 || (owner && owner->kind == EntityKind::BlockReference));
    }
    if (read.error.empty()) {
        int leftOut = 0;
        const DxfRead again = ReadDxf(R12Text(read.drawing, leftOut));
        FUZZ_CHECK(again.error.empty() && leftOut == 0);
        std::vector<const Entity*> written;
        for (const auto& [id, entity] : read.drawing.entities)
            if (entity.kind != EntityKind::BlockReference) written.push_back(&entity);
        FUZZ_CHECK(again.drawing.entities.size() == written.size());
        auto before = written.begin();
        for (const auto& [id, entity] : again.drawing.entities) {
            FUZZ_CHECK(entity.kind == (*before)->kind);
            FUZZ_CHECK(entity.position == (*before)->position);
            ++before;
        }
    }
    if (content.find("\\U+") == std::string_view::npos) {
        FUZZ_CHECK(DecodeDxfText(EncodeDxfText(content)) == content);
    }
    return 0;
}
