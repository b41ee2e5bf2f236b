// AutoCAD failing under the Number command: every position of a pass
// unreadable. The pass numbers nothing, the command goes on, and every
// reference taken to an AutoCAD object is let go by the unload (counted on
// the stand-in, whose objects each hold their application).
#include <gtest/gtest.h>

#include "automation/failure.h"
#include "automation/status.h"
#include "desk.h"

namespace velmora::testing {
namespace {

void ExpectAllReleased(Desk& h) {
    h.window->Unload();
    EXPECT_EQ(h.CadReferences(), 0) << "AutoCAD objects still held after unload";
    h.window.reset();
    EXPECT_EQ(h.CadReferences(), 0) << "held after the window went";
}

TEST(Faults, EveryPositionOfAPassUnreadable) {
    for (std::uint32_t failure : {status::kDispException, status::kFail}) {
        Desk h;
        h.Picks({std::vector{h.Point(1, 1), h.Point(2, 1)}, std::vector{h.Point(70, 80)},
                 std::nullopt});  // then cancelled
        h.cadTap->failMember["Coordinates"] = failure;
        // Reads work again from the second pick on.
        auto picker = h.cad->picker;
        int picks = 0;
        h.cad->picker = [&, picker](const standins::PickRequest& request) {
            if (++picks == 2) h.cadTap->failMember.clear();
            return picker(request);
        };
        h.Set(1, "7");
        h.Run();

        // The first pass numbers nothing and the command goes on; the
        // second numbers its pile from the number in the box.
        EXPECT_EQ(h.shown, 1);
        const std::vector<Label> labels = h.Labels();
        ASSERT_EQ(labels.size(), 1u);
        EXPECT_EQ(labels[0].text, "7");
        EXPECT_EQ(labels[0].insertion, (Point3{70, 80, 0}));
        EXPECT_EQ(h.Row(0), (RegisterRow{"70", "80", "0", "7"}));
        EXPECT_EQ(h.State().pileCount, 1);
        EXPECT_EQ(Text(h.State().controls, TextBox::StartNumber), "8");
        ExpectAllReleased(h);
    }
}

}  // namespace
}  // namespace velmora::testing
