// Values crossing a real IDispatch in both directions: the adapter exposes
// a fake, ComObject drives it, and every kind must come back as it went.
#include <gtest/gtest.h>

#include "automation/com/com_object.h"
#include "automation/com/com_value.h"
#include "automation/com/dispatch_adapter.h"
#include "automation/com/utf16.h"
#include "automation/failure.h"
#include "automation/status.h"
#include "fake_object.h"
#include "status_of.h"
#include "through_com.h"

namespace velmora {
namespace {

using testing::MakeFake;
using testing::ThroughCom;

TEST(ComValues, EveryKindRoundTripsThroughIDispatch) {
    auto log = std::make_shared<testing::CallLog>();
    auto echo = MakeFake("echo", log);
    echo->OnCall("Echo", [](std::span<const Variant> args) { return args[0]; });
    echo->Stores("Value");
    {
        Object com = ThroughCom(echo);
        const std::vector<Variant> values = {
            Variant(),
            Variant(true),
            Variant(false),
            Variant(std::int16_t{-32768}),
            Variant(std::int32_t{2147483647}),
            Variant(-0.1),
            Variant(22.857142857142858),
            Variant("工程桩坐标数据成果表"),
            Variant(""),
            Variant(std::string("a\0b", 3)),
            Variant("emoji 😀 and é"),
            Variant(Int16Array{0, 10, 8}),
            Variant(DoubleArray{1.5, -2.25, 0.0}),
            Variant(DoubleArray{}),
            Variant(VariantArray{Variant(std::int16_t{0}), Variant("点"), Variant(2.5)}),
            Variant(VariantArray{Variant(VariantArray{Variant(1.0)})}),
        };
        for (const Variant& value : values) {
            EXPECT_EQ(Call(com, "Echo", {value}), value) << Describe(value);
            Put(com, "Value", value);
            EXPECT_EQ(echo->Stored("Value"), value) << Describe(value);
        }

        // An object argument arrives as an object the callee can drive.
        auto inner = MakeFake("inner", log);
        inner->Returns("Name", Variant("圆"));
        const Variant back = Call(com, "Echo", {Variant(Object(inner))});
        EXPECT_EQ(Get(back.AsObject(), "Name").AsText(), "圆");
        // Nothing travels as a null object and comes back empty.
        EXPECT_EQ(Call(com, "Echo", {Variant(Object{})}).Kind(), VariantKind::Object);
    }
    log->calls.clear();  // the log holds the arguments it saw
    EXPECT_EQ(CurrentAdapterCounts().live, 0);
}

// A plain VARIANT of the given type, filled by the caller, as read back.
template <class Fill>
Variant Read(VARTYPE type, Fill fill) {
    VARIANT value;
    VariantInit(&value);
    value.vt = type;
    fill(value);
    return FromComVariant(value);
}

TEST(ComValues, AcceptsTheOtherShapesResultsArriveIn) {
    // References, IUnknown, VT_NULL and other numeric types, as other
    // applications hand them back.
    VARIANT inner;
    VariantInit(&inner);
    inner.vt = VT_R8;
    inner.dblVal = 4.5;
    short shortValue = 7;
    EXPECT_EQ(Read(VT_BYREF | VT_VARIANT, [&](VARIANT& v) { v.pvarVal = &inner; }), Variant(4.5));
    EXPECT_EQ(Read(VT_BYREF | VT_I2, [&](VARIANT& v) { v.piVal = &shortValue; }),
              Variant(std::int16_t{7}));
    EXPECT_TRUE(Read(VT_NULL, [](VARIANT&) {}).IsEmpty());
    EXPECT_EQ(Read(VT_R4, [](VARIANT& v) { v.fltVal = 0.5f; }), Variant(0.5));
    EXPECT_EQ(Read(VT_UI1, [](VARIANT& v) { v.bVal = 200; }), Variant(std::int32_t{200}));

    auto log = std::make_shared<testing::CallLog>();
    auto fake = MakeFake("unknown", log);
    fake->Returns("Name", Variant("x"));
    {
        ComVariant unknown;
        IDispatch* dispatch = ExposeObject(fake);
        unknown.Get()->vt = VT_UNKNOWN;
        unknown.Get()->punkVal = dispatch;
        EXPECT_EQ(Get(FromComVariant(unknown.Ref()).AsObject(), "Name").AsText(), "x");
    }

    // A point as an array of variants holding doubles, lower bound 1.
    SAFEARRAYBOUND bound{3, 1};
    ComVariant point;
    point.Get()->vt = VT_ARRAY | VT_VARIANT;
    point.Get()->parray = SafeArrayCreate(VT_VARIANT, 1, &bound);
    for (LONG i = 1; i <= 3; ++i) {
        VARIANT item;
        VariantInit(&item);
        item.vt = VT_R8;
        item.dblVal = i * 1.5;
        SafeArrayPutElement(point.Get()->parray, &i, &item);
    }
    EXPECT_EQ(FromComVariant(point.Ref()).ToDoubleArray(), (DoubleArray{1.5, 3.0, 4.5}));

    // Two-dimensional arrays and unsupported types fail as type mismatch.
    SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
    ComVariant grid;
    grid.Get()->vt = VT_ARRAY | VT_R8;
    grid.Get()->parray = SafeArrayCreate(VT_R8, 2, bounds);
    EXPECT_THROW((void)FromComVariant(grid.Ref()), Failure);
    EXPECT_EQ(testing::StatusOf(
                  [] { (void)Read(VT_ERROR, [](VARIANT& v) { v.scode = DISP_E_PARAMNOTFOUND; }); }),
              status::kTypeMismatch);
    EXPECT_EQ(CurrentAdapterCounts().live, 0);
}

TEST(ComValues, MalformedTextBecomesReplacementCharacters) {
    // Valid text both ways.
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16("桩编号 K-1 😀")), "桩编号 K-1 😀");
    EXPECT_EQ(Utf8ToUtf16("😀"), (std::u16string{0xD83D, 0xDE00}));

    const std::string replacement = "\xEF\xBF\xBD";
    struct Case {
        std::string input;
        std::u16string expected;
    };
    const Case bad[] = {
        {"a\xFF"
         "b",
         u"a\uFFFDb"},                                      // byte that never starts a sequence
        {"\xE6\xA1", u"\uFFFD\uFFFD"},                      // truncated three-byte sequence
        {"\xC0\xAF", u"\uFFFD\uFFFD"},                      // overlong '/'
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // past U+10FFFF
        {"\xE6"
         "A",
         u"\uFFFDA"},  // continuation missing
    };
    for (const Case& c : bad) EXPECT_EQ(Utf8ToUtf16(c.input), c.expected) << c.input;

    EXPECT_EQ(Utf16ToUtf8(std::u16string{u'x', char16_t(0xD800)}), "x" + replacement);
    EXPECT_EQ(Utf16ToUtf8(std::u16string{char16_t(0xDC00), u'y'}), replacement + "y");
    EXPECT_EQ(Utf16ToUtf8(std::u16string{char16_t(0xD800), char16_t(0xD800), char16_t(0xDC00)}),
              replacement + "\xF0\x90\x80\x80");

    // A malformed BSTR from outside reads as text with replacements.
    BSTR lone = SysAllocStringLen(nullptr, 2);
    lone[0] = 0xD83D;
    lone[1] = L'z';
    EXPECT_EQ(FromBstr(lone), replacement + "z");
    SysFreeString(lone);
    EXPECT_EQ(FromBstr(nullptr), "");
}

}  // namespace
}  // namespace velmora
