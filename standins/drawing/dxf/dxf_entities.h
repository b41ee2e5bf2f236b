// The entities of model space the workspace keeps, built from their
// groups: points, circles, texts, lines, arcs and polylines (LWPOLYLINE,
// and POLYLINE with the VERTEX entities up to its SEQEND), and block
// references. An entity whose
// extrusion points down (drawn mirrored) has its X, its angles and its
// bulges turned back into world coordinates. Texts and layers are kept as
// the file holds them: they are decoded once the whole file is read.
#pragma once

#include <array>
#include <string_view>

#include "standins/drawing/drawing.h"
#include "standins/drawing/dxf/dxf_groups.h"

namespace velmora::standins {

// AutoCAD's text alignments 0 … 14 as DXF's horizontal (72) and vertical
// (73) justification.
constexpr std::array<std::array<int, 2>, 15> kDxfJustification{{{0, 0},
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

// POINT, LINE, CIRCLE, ARC, TEXT, LWPOLYLINE and POLYLINE.
bool KeptEntity(std::string_view type);

class DxfEntities {
  public:
    explicit DxfEntities(Drawing& drawing) : drawing_(drawing) {}

    // Adds an entity of a kept type; a POLYLINE takes the vertices that follow.
    void Add(std::string_view type, DxfFields& f);
    void AddVertex(DxfFields& f);
    // A block reference of model space (INSERT): its layer, insertion point
    // and block name, the block itself left to the drawn context.
    EntityId AddBlockReference(DxfFields& f);
    void EndPolyline() { polyline_ = nullptr; }

  private:
    Drawing& drawing_;
    Entity* polyline_ = nullptr;  // the POLYLINE taking vertices
    bool polylineMirrored_ = false;
};

}  // namespace velmora::standins
