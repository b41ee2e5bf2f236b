#include "standins/drawing/sample_drawing.h"

namespace velmora::standins {

Drawing SamplePileDrawing() {
    Drawing drawing;
    constexpr double east = 512300, north = 3386400;

    // Point piles: four rows of eight, 6 m apart with 5 m between rows;
    // the second row wavers by a few centimetres, as set-out rows do.
    for (int row = 0; row < 4; ++row) {
        for (int i = 0; i < 8; ++i) {
            const double wobble = row == 1 ? 0.03 * ((i % 3) - 1) : 0;
            AddPoint(drawing, {east + 6.0 * i, north + 40 - 5.0 * row + wobble, 0});
        }
    }
    // Two piles drawn twice.
    AddPoint(drawing, {east + 12, north + 40, 0});
    AddPoint(drawing, {east + 30, north + 30, 0});

    // Circle piles: three rows of six, 6 m apart, the last row uneven.
    for (int row = 0; row < 3; ++row) {
        for (int i = 0; i < 6; ++i) {
            const double wobble = row == 2 ? 0.04 * ((i % 2) ? 1 : -1) : 0;
            AddCircle(drawing, {east + 60 + 6.0 * i, north + 40 - 6.0 * row + wobble, 0}, 0.6);
        }
    }
    AddCircle(drawing, {east + 72, north + 34, 0}, 0.6);

    // Context: the site boundary, two grid axes and a kerb curve.
    AddPolyline(drawing,
                {{east - 8, north + 2, 0, 0},
                 {east + 100, north + 2, 0, 0},
                 {east + 100, north + 46, 0, 0},
                 {east - 8, north + 46, 0, 0}},
                true);
    AddLine(drawing, {east - 4, north + 22.5, 0}, {east + 96, north + 22.5, 0});
    AddLine(drawing, {east + 51, north + 4, 0}, {east + 51, north + 44, 0});
    Entity kerb;
    kerb.kind = EntityKind::Arc;
    kerb.position = {east + 51, north + 22.5, 0};
    kerb.radius = 6;
    kerb.startAngle = 0;
    kerb.endAngle = 180;
    AddEntity(drawing, kerb);

    AddText(drawing, "桩位平面图", {east + 40, north + 50, 0}, 3.0);
    return drawing;
}

}  // namespace velmora::standins
