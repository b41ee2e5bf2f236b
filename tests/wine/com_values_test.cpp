// Values crossing a real IDispatch in both directions: the adapter exposes
// a fake, ComObject drives it, and every kind must come back as it went.
#include <gtest/gtest.h>

#include "automation/com/com_value.h"
#include "automation/com/dispatch_adapter.h"
#include "automation/com/utf16.h"
#include "automation/status.h"
#include "fake_object.h"
#include "status_of.h"
#include "through_com.h"

namespace velmora {
namespace {

using testing::MakeFake, testing::StatusOf, testing::ThroughCom;

TEST(ComValues, EveryKindRoundTripsThroughIDispatch) {
    auto log = std::make_shared<testing::CallLog>();
    auto echo = MakeFake("echo", log);
    echo->OnCall("Echo", [](std::span<const Variant> args) { return args[0]; }).Stores("Value");
    {
        Object com = ThroughCom(echo);
        std::vector<Variant> values = {
            true,           false, -0.1, 22.857142857142858, 2147483647, "", "工程桩坐标数据成果表",
            "emoji 😀 and é"};
        values.insert(values.end(),
                      {Variant(), std::int16_t(-32768), std::string("a\0b", 3),
                       Int16Array{0, 10, 8}, DoubleArray{1.5, -2.25, 0.0}, DoubleArray{},
                       VariantArray{std::int16_t(0), "点", 2.5}, VariantArray{VariantArray{1.0}}});
        for (const Variant& value : values) {
            EXPECT_EQ(Call(com, "Echo", {value}), value) << Describe(value);
            Put(com, "Value", value);
            EXPECT_EQ(echo->Stored("Value"), value) << Describe(value);
        }
        // An object argument arrives as an object the callee can drive; a
        // null object travels as an object too.
        auto inner = MakeFake("inner", log);
        inner->Returns("Name", Variant("圆"));
        EXPECT_EQ(Get(Call(com, "Echo", {Variant(Object(inner))}).AsObject(), "Name").AsText(),
                  "圆");
        EXPECT_EQ(Call(com, "Echo", {Variant(Object{})}).Kind(), VariantKind::Object);
    }
    log->calls.clear();  // the log holds the arguments it saw
    EXPECT_EQ(CurrentAdapterCounts().live, 0);
}

TEST(ComValues, AcceptsTheOtherShapesResultsArriveIn) {
    // References, VT_NULL, other numeric types and IUnknown, as other
    // applications hand them back.
    VARIANT inner, value;
    VariantInit(&inner);
    inner.vt = VT_R8;
    inner.dblVal = 4.5;
    short shortValue = 7;
    auto fake = MakeFake("unknown", nullptr);
    fake->Returns("Name", Variant("x"));
    IDispatch* dispatch = ExposeObject(fake);
    const std::pair<std::function<void()>, Variant> cases[] = {
        {[&] { value.vt = VT_BYREF | VT_VARIANT, value.pvarVal = &inner; }, Variant(4.5)},
        {[&] { value.vt = VT_BYREF | VT_I2, value.piVal = &shortValue; }, Variant(std::int16_t{7})},
        {[&] { value.vt = VT_NULL; }, Variant()},
        {[&] { value.vt = VT_R4, value.fltVal = 0.5f; }, Variant(0.5)},
        {[&] { value.vt = VT_UI1, value.bVal = 200; }, Variant(std::int32_t{200})}};
    for (const auto& [fill, expected] : cases) {
        fill();
        EXPECT_EQ(FromComVariant(value), expected) << Describe(expected);
    }
    value.vt = VT_UNKNOWN;
    value.punkVal = dispatch;
    EXPECT_EQ(Get(FromComVariant(value).AsObject(), "Name").AsText(), "x");
    dispatch->Release();

    // A point as an array of variants holding doubles, lower bound 1.
    SAFEARRAYBOUND bound{3, 1};
    ComVariant point;
    point.Get()->vt = VT_ARRAY | VT_VARIANT;
    point.Get()->parray = SafeArrayCreate(VT_VARIANT, 1, &bound);
    for (LONG i = 1; i <= 3; ++i) {
        inner.dblVal = i * 1.5;
        SafeArrayPutElement(point.Get()->parray, &i, &inner);
    }
    EXPECT_EQ(FromComVariant(point.Ref()).ToDoubleArray(), (DoubleArray{1.5, 3.0, 4.5}));

    // Two-dimensional arrays and unsupported types fail as type mismatch.
    SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
    ComVariant grid;
    grid.Get()->vt = VT_ARRAY | VT_R8;
    grid.Get()->parray = SafeArrayCreate(VT_R8, 2, bounds);
    EXPECT_EQ(StatusOf([&] { (void)FromComVariant(grid.Ref()); }), status::kTypeMismatch);
    value.vt = VT_ERROR;
    value.scode = DISP_E_PARAMNOTFOUND;
    EXPECT_EQ(StatusOf([&] { (void)FromComVariant(value); }), status::kTypeMismatch);
    EXPECT_EQ(CurrentAdapterCounts().live, 0);
}

TEST(ComValues, MalformedTextBecomesReplacementCharacters) {
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16("桩编号 K-1 😀")), "桩编号 K-1 😀");
    EXPECT_EQ(Utf8ToUtf16("😀"), (std::u16string{0xD83D, 0xDE00}));
    const std::pair<std::string, std::u16string> bad[] = {
        {"a\xFF\x62", u"a\uFFFDb"},                         // byte that never starts a sequence
        {"\xE6\xA1", u"\uFFFD\uFFFD"},                      // truncated three-byte sequence
        {"\xC0\xAF", u"\uFFFD\uFFFD"},                      // overlong '/'
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // past U+10FFFF
        {"\xE6\x41", u"\uFFFDA"}};                          // continuation missing
    for (const auto& [input, expected] : bad) EXPECT_EQ(Utf8ToUtf16(input), expected) << input;

    const std::string replacement = "\xEF\xBF\xBD";
    EXPECT_EQ(Utf16ToUtf8(u"x\xD800"), "x" + replacement);
    EXPECT_EQ(Utf16ToUtf8(u"\xDC00y"), replacement + "y");
    EXPECT_EQ(Utf16ToUtf8(u"\xD800\xD800\xDC00"), replacement + "\xF0\x90\x80\x80");
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
