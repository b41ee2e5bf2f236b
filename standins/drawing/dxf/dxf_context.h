// The parts of a DXF drawing the workspace draws but does not keep as
// entities: block references (with their blocks, nested, and attributes),
// MTEXT, dimensions (their blocks), hatch boundaries, SOLID / TRACE /
// 3DFACE outlines, ellipses and splines. Collected from the checked groups
// of the first reading, then resolved into outlines and texts in world
// coordinates.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "standins/drawing/drawing.h"

namespace velmora::standins {

struct DxfPair {
    int code = 0;
    std::string_view value;
};

// A value without the blanks around it (and a line's carriage return).
inline std::string_view TrimDxf(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

// Coordinates beyond this are not drawings but damage.
constexpr double kMaxDxfMagnitude = 1e15;

// Limits against drawings that would expand without end.
constexpr int kMaxBlockDepth = 8;
constexpr std::size_t kMaxContextPoints = 4'000'000;
constexpr std::size_t kMaxContextShapes = 500'000;

struct ContextParts;  // the collected blocks and model-space parts

class DxfContext {
  public:
    DxfContext();
    ~DxfContext();
    DxfContext(DxfContext&&) noexcept;
    DxfContext& operator=(DxfContext&&) noexcept;

    // Entities between BLOCK and ENDBLK belong to that block. False for the
    // blocks of layouts, which are not drawn.
    bool BeginBlock(std::span<const DxfPair> groups);
    void EndBlock();
    // An entity of the open block, or of model space; false when its type
    // is not drawn. `invalid` is set when its numbers cannot be read; the
    // entity is then left out.
    bool Add(std::string_view type, std::span<const DxfPair> groups, bool& invalid);

    // Model space's parts in world coordinates, texts decoded by `decode`.
    // `capped` tells that the limits cut the drawing short.
    std::vector<ContextShape> Resolve(const std::function<std::string(std::string_view)>& decode,
                                      bool& capped) const;

  private:
    std::unique_ptr<ContextParts> parts_;
};

// True for the entity types DxfContext draws.
bool DrawnAsContext(std::string_view type);

// The plain text of an MTEXT: formatting codes removed, its first line.
std::string PlainMText(std::string_view text);

}  // namespace velmora::standins
