// How the Number command ends, and what does not end it.
#include <gtest/gtest.h>

#include "automation/status.h"
#include "numbering_harness.h"

namespace velmora::testing {
namespace {

TEST(NumberingEnds, WhenNoPileIsPickedOrThePickIsCancelled) {
    {  // Nothing picked: the window is shown, nothing changes.
        NumberingHarness h;
        h.Point(1, 1);
        h.Run();
        EXPECT_EQ(h.shown, 1);
        EXPECT_TRUE(h.Labels().empty());
        EXPECT_EQ(Text1(h.state.controls, 1), "1");
        EXPECT_TRUE(h.changed.empty());
        EXPECT_EQ(h.state.pileCount, 0);
    }
    {  // Cancelled in the second pass: the first pass keeps its labels and rows.
        NumberingHarness h;
        h.Picks({std::vector{h.Point(1, 1)}, std::nullopt, std::vector{h.Point(2, 2)}});
        h.Run();
        EXPECT_EQ(h.shown, 1);
        EXPECT_EQ(h.Labels().size(), 1u);
        EXPECT_EQ(h.state.pileCount, 1);
        EXPECT_EQ(Text1(h.state.controls, 1), "2");
    }
}

TEST(NumberingEnds, OnAnExceptionRecordedInThePass) {
    {  // Maximising fails with 0x80020009: the first pick is taken but not numbered.
        // (A set "Ssd" left by an earlier command is there to delete, so no
        // later failure replaces that status before the test.)
        NumberingHarness h;
        h.Run();
        h.shown = 0;
        standins::FailEveryCall(h.cad->failures, "WindowState", status::kDispException);
        int picks = 0;
        const EntityId pile = h.Point(1, 1);
        h.cad->picker = [&](const standins::PickRequest&) -> standins::Pick {
            return ++picks < 5 ? standins::Pick{std::vector{pile}} : standins::Pick{};
        };
        h.Run();
        EXPECT_EQ(picks, 1);
        EXPECT_EQ(h.shown, 1);
        EXPECT_TRUE(h.Labels().empty());
    }
    {  // 0x80020009 while the second pass sizes its table: that pick is not numbered.
        auto twoPasses = [](NumberingHarness& h) {
            h.Picks({std::vector{h.Point(1, 1)}, std::vector{h.Point(2, 2)}});
        };
        NumberingHarness h;
        twoPasses(h);
        h.cad->failures.failCall = CallNumber(twoPasses, "Get Count", 4);
        h.cad->failures.failCallStatus = status::kDispException;
        h.Run();
        EXPECT_EQ(h.Labels().size(), 1u);
        EXPECT_EQ(h.shown, 1);
        EXPECT_EQ(h.state.pileCount, 1);
    }
}

TEST(NumberingEnds, WhenAutoCadOrItsDocumentIsMissing) {
    {  // No AutoCAD: one message, nothing else.
        NumberingHarness h;
        standins::CloseCad(*h.cad);
        h.Run();
        EXPECT_EQ(h.messages, std::vector<std::string>{"请先打开CAD软件！"});
        EXPECT_EQ(h.shown, 0);
        EXPECT_EQ(h.cad->callCount, 0);
    }
    {  // No active document: the count cannot be read and the command ends.
        NumberingHarness h;
        standins::FailEveryCall(h.cad->failures, "ActiveDocument", status::kFail);
        bool picked = false;
        h.cad->picker = [&](const standins::PickRequest&) -> standins::Pick {
            picked = true;
            return std::vector<EntityId>{};
        };
        h.Run();
        EXPECT_FALSE(picked);
        EXPECT_EQ(h.shown, 1);
        EXPECT_TRUE(h.messages.empty());
    }
    {  // AutoCAD goes away during a pick; the next command finds none.
        NumberingHarness h;
        const EntityId pile = h.Point(1, 1);
        h.cad->picker = [&](const standins::PickRequest&) -> standins::Pick {
            standins::CloseCad(*h.cad);
            return std::vector{pile};
        };
        h.Run();
        EXPECT_EQ(h.shown, 1);
        EXPECT_TRUE(h.Labels().empty());
        h.Run();
        EXPECT_EQ(h.messages.size(), 1u);
    }
}

}  // namespace
}  // namespace velmora::testing
