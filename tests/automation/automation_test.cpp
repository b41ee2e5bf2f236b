#include <gtest/gtest.h>

#include "automation/variant.h"
#include "status_of.h"

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

}  // namespace
}  // namespace velmora
