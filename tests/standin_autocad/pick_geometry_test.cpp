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

// A block reference is where its block's shapes are drawn and at its
// insertion point; a line is picked only by a pick of one entity.
TEST(PickGeometry, BlockReferencesByTheirShapesAndLinesByGetEntity) {
    Drawing drawing;
    const EntityId block = AddBlockReference(drawing, {50, 50, 0}, "ZH-1");
    const EntityId line = AddLine(drawing, {0, 0, 0}, {10, 0, 0});
    ContextShape square;  // the block's outline, 2 by 2 about the insertion point
    square.outline = {{49, 49}, {51, 49}, {51, 51}, {49, 51}};
    square.closed = true;
    square.minX = square.minY = 49, square.maxX = square.maxY = 51;
    square.owner = block;
    drawing.context.push_back(square);
    const SelectionFilter blocks = Filter({0}, {"INSERT"});

    struct Case {
        const char* name;
        std::optional<EntityId> picked, expected;
    };
    const Case clicks[] = {
        {"on its outline", PickAt(drawing, blocks, 51.05, 50.5, 0.1), block},
        {"on the closing side", PickAt(drawing, blocks, 49.02, 50.5, 0.1), block},
        {"at its insertion point", PickAt(drawing, blocks, 50, 50.05, 0.1), block},
        {"inside, away from both", PickAt(drawing, blocks, 50.6, 50.6, 0.1), std::nullopt},
        {"refused by the filter", PickAt(drawing, Filter({0}, {"CIRCLE"}), 51, 50.5, 0.1),
         std::nullopt},
        {"a line, for a selection set", PickAt(drawing, {}, 5, 0.05, 0.1), std::nullopt},
        {"a line, one entity", PickAnyAt(drawing, 5, 0.05, 0.1), line},
        {"a block, one entity", PickAnyAt(drawing, 49, 49.5, 0.1), block},
    };
    for (const Case& c : clicks) EXPECT_EQ(c.picked, c.expected) << c.name;

    const std::vector<EntityId> none, taken{block};
    EXPECT_EQ(PickInBox(drawing, blocks, {48, 48, 52, 52}, false), taken);
    EXPECT_EQ(PickInBox(drawing, blocks, {49.5, 48, 52, 52}, false), none);  // cuts its outline
    EXPECT_EQ(PickInBox(drawing, blocks, {50.5, 48, 52, 52}, true), taken);  // its outline only
    EXPECT_EQ(PickInBox(drawing, blocks, {50.5, 50.5, 50.9, 50.9}, true), none);  // inside it only
}

}  // namespace
}  // namespace velmora::standins
