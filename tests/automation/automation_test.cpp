#include <gtest/gtest.h>

#include "automation/variant.h"
#include "fake_object.h"
#include "status_of.h"
#include "tap.h"

namespace velmora {
namespace {

using testing::StatusOf;

TEST(Variant, KeepsElementTypeAndFailsOnWrongKind) {
    Variant point(DoubleArray{1.0, 2.0, 0.0});
    EXPECT_EQ(point.Kind(), VariantKind::DoubleArray);
    EXPECT_EQ(Describe(point), "r8[1,2,0]");
    EXPECT_EQ(Describe(Variant(std::int16_t{-4})), "i2:-4");
    EXPECT_EQ(Describe(Variant(3)), "i4:3");
    EXPECT_NE(Variant(std::int16_t{3}), Variant(3));  // same number, different type

    // An i2 array is not a point.
    EXPECT_EQ(StatusOf([] {
                  (void)Variant(Int16Array{1, 2, 3}).AsDoubleArray();
              }),
              status::kTypeMismatch);
    // Results from other applications may hold a point as variants of doubles.
    Variant loose(VariantArray{Variant(1.5), Variant(std::int16_t{2}), Variant(0.0)});
    EXPECT_EQ(loose.ToDoubleArray(), (DoubleArray{1.5, 2.0, 0.0}));
    EXPECT_THROW((void)Variant("x").ToDouble(), Failure);
    // A VARIANT_BOOL true is -1 as a number, as automation servers read it.
    EXPECT_EQ(Variant(true).ToInt32(), -1);
    EXPECT_EQ(Variant(true).ToDouble(), -1.0);
    EXPECT_EQ(Variant(false).ToInt32(), 0);
}

// Arguments by reference: what the member leaves arrives, a failed call
// leaves them as they were, and a tap in between logs the call and keeps
// the objects left in them behind it.
TEST(CallWithResults, ArgumentsHoldWhatTheMemberLeftThere) {
    auto log = std::make_shared<testing::CallLog>();
    auto utility = testing::MakeFake("utility", log), entity = testing::MakeFake("entity", log);
    entity->Returns("Layer", Variant("桩位"));
    utility->OnCallWithResults("GetEntity", [entity](std::span<Variant> args) -> Variant {
        args[0] = Object(entity);
        args[1] = DoubleArray{1, 2, 0};
        if (args.size() > 2 && args[2] == Variant("Esc")) Fail(status::kDispException);
        return {};
    });
    utility->OnCall("Prompt", [](auto) { return Variant(); });
    auto tap = std::make_shared<testing::Tap>();
    tap->logging = true;
    const Object tapped = testing::Tapped(utility, tap);

    std::vector<Variant> args = {Variant(), Variant(), "选择："};
    EXPECT_EQ(CallWithResults(tapped, "getentity", args), Variant());
    EXPECT_EQ(args[1], Variant(DoubleArray{1, 2, 0}));
    EXPECT_EQ(args[2], Variant("选择："));
    EXPECT_EQ(Get(args[0].AsObject(), "Layer"), Variant("桩位"));
    EXPECT_EQ(tap->log, (std::vector<std::string>{
                            "CallWithResults getentity(empty, empty, \"选择：\")", "Get Layer"}));

    struct Case {
        const char* name;
        Object object;
        std::string member;
        std::uint32_t status;
    };
    const Case cases[] = {
        {"a failed call", tapped, "GetEntity", status::kDispException},
        {"no results of its own", tapped, "Prompt", status::kOk},
        {"an unknown member", tapped, "GetPoint", status::kUnknownName},
        {"an empty reference", Object{}, "GetEntity", status::kObjectRequired},
    };
    for (const Case& c : cases) {
        std::vector<Variant> kept = {Variant(), 2.5, "Esc"};
        EXPECT_EQ(StatusOf([&] { CallWithResults(c.object, c.member, kept); }), c.status) << c.name;
        EXPECT_EQ(kept, (std::vector<Variant>{Variant(), 2.5, "Esc"})) << c.name;
    }
}

}  // namespace
}  // namespace velmora
