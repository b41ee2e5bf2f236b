// Which entities a click or a window picks.
#include "standins/drawing/pick_geometry.h"

#include <gtest/gtest.h>

namespace velmora::standins {
namespace {

SelectionFilter Filter(Int16Array codes, VariantArray values) {
    return ReadSelectionFilter(codes, values);
}

TEST(PickGeometry, ClicksAndWindowsTakeOnlyAdmittedEntities) {
    Drawing drawing;
    const EntityId point = AddPoint(drawing, {10, 10, 0});
    const EntityId circle = AddCircle(drawing, {20, 10, 0}, 1);
    const EntityId text = AddText(drawing, "T", {10, 10.5, 0}, 1);
    const SelectionFilter points = Filter({-4, 0, -4}, {"<or", "POINT", "or>"});
    const SelectionFilter circles = Filter({0}, {"CIRCLE"});

    EXPECT_EQ(PickAt(drawing, points, 10.2, 10.2, 0.5), point);
    EXPECT_EQ(PickAt(drawing, points, 10.2, 10.2, 0.1), std::nullopt);
    EXPECT_EQ(PickAt(drawing, {}, 10, 10.45, 0.5), text);        // the nearest one
    EXPECT_EQ(PickAt(drawing, circles, 21.1, 10, 0.2), circle);  // near the curve
    EXPECT_EQ(PickAt(drawing, circles, 20.1, 10, 0.0), circle);  // or within it
    EXPECT_EQ(PickAt(drawing, circles, 21.3, 10, 0.2), std::nullopt);
    EXPECT_EQ(PickAt(drawing, circles, 10, 10, 0.5), std::nullopt);

    // Left to right: wholly inside only. Right to left: crossing as well.
    const Box cutsCircle{9, 9, 20, 11};
    EXPECT_EQ(PickInBox(drawing, {}, cutsCircle, false), (std::vector{point, text}));
    EXPECT_EQ(PickInBox(drawing, circles, cutsCircle, false), std::vector<EntityId>{});
    EXPECT_EQ(PickInBox(drawing, circles, cutsCircle, true), std::vector{circle});
    EXPECT_EQ(PickInBox(drawing, circles, {19.5, 9.5, 20.5, 10.5}, true), std::vector<EntityId>{});
    EXPECT_EQ(PickInBox(drawing, points, {0, 0, 30, 30}, true), std::vector{point});
}

}  // namespace
}  // namespace velmora::standins
