// The parts of a DXF drawing the workspace draws but does not keep as
// entities: block references (with their blocks, nested, and attributes),
// MTEXT, dimensions (their blocks), hatch boundaries, SOLID / TRACE /
// 3DFACE outlines, ellipses and splines. Collected from the groups of the
// reading, then resolved into outlines and texts in world coordinates.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "standins/drawing/drawing.h"
#include "standins/drawing/dxf/dxf_groups.h"

namespace velmora::standins {

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
    bool BeginBlock(DxfFields& f);
    void EndBlock();
    // An entity of the open block, or of model space; false when its type
    // is not drawn.
    bool Add(std::string_view type, DxfFields& f);
    // The model-space parts added from now on draw this block reference
    // (its block, its attributes); 0 for none.
    void Own(EntityId owner);

    // Model space's parts in world coordinates, texts decoded by `decode`,
    // each shape with the block reference it draws.
    // `capped` tells that the limits cut the drawing short.
    std::vector<ContextShape> Resolve(const std::function<std::string(std::string_view)>& decode,
                                      bool& capped) const;

  private:
    std::unique_ptr<ContextParts> parts_;
};

// True for the entity types of model space DxfContext draws.
bool DrawnAsContext(std::string_view type);

}  // namespace velmora::standins
