// The COM backend through a real IDispatch: the adapter exposes a fake,
// ComObject drives it. Values of every kind in both directions, text that
// is malformed, how failures come back as statuses, the default-member
// fallback, enumeration, reference release and unknown names.
#include <gtest/gtest.h>

#include <tuple>

#include "automation/com/com_directory.h"
#include "automation/com/com_object.h"
#include "automation/com/com_reference.h"
#include "automation/com/com_value.h"
#include "automation/com/dispatch_adapter.h"
#include "automation/failure.h"
#include "desk.h"
#include "fake_object.h"
#include "status_of.h"

namespace velmora {
namespace {

using testing::MakeFake, testing::StatusOf;

// An object reached only through COM: the adapter in front, ComObject
// behind, so every call crosses a real IDispatch.
Object ThroughCom(const Object& object) {
    IDispatch* dispatch = ExposeObject(object);
    Object wrapped = WrapDispatch(dispatch);
    dispatch->Release();
    return wrapped;
}

TEST(ComValues, EveryKindRoundTripsThroughIDispatch) {
    auto echo = MakeFake("echo", nullptr);
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
        EXPECT_EQ(Get(com, "Echo", {2.5}), Variant(2.5));  // a method read as a property
        echo->OnEnumerate([&values] { return values; });
        EXPECT_EQ(Enumerate(com), values);  // in order, each item released (below)
        // An object argument arrives as an object the callee can drive; a
        // null object travels as an object too.
        auto inner = MakeFake("inner", nullptr);
        inner->Returns("Name", Variant("圆"));
        EXPECT_EQ(Get(Call(com, "Echo", {Variant(Object(inner))}).AsObject(), "Name").AsText(),
                  "圆");
        EXPECT_EQ(Call(com, "Echo", {Variant(Object{})}).Kind(), VariantKind::Object);
    }
    echo.reset();  // its log holds the arguments it saw
    EXPECT_EQ(CurrentAdapterCounts().live, 0);
}

TEST(ComValues, AcceptsTheOtherShapesResultsArriveIn) {
    // References, VT_NULL, other numeric types and IUnknown, as other
    // applications hand them back.
    VARIANT inner{}, value{};
    inner.vt = VT_R8;
    inner.dblVal = 4.5;
    short shortValue = 7;
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
    auto fake = MakeFake("unknown", nullptr);
    fake->Returns("Name", Variant("x"));
    value.vt = VT_UNKNOWN;
    value.punkVal = ExposeObject(fake);
    EXPECT_EQ(Get(FromComVariant(value).AsObject(), "Name").AsText(), "x");
    value.punkVal->Release();

    // Unsupported types fail as type mismatch (arrays: array_test.cpp).
    value.vt = VT_ERROR;
    value.scode = DISP_E_PARAMNOTFOUND;
    EXPECT_EQ(StatusOf([&] { (void)FromComVariant(value); }), status::kTypeMismatch);
    EXPECT_EQ(CurrentAdapterCounts().live, 0);
}

TEST(ComValues, MalformedTextBecomesReplacementCharacters) {
    // A malformed BSTR from outside reads as text with replacements.
    BSTR lone = SysAllocString(L"\xD83Dz");
    EXPECT_EQ(FromBstr(lone), "\xEF\xBF\xBDz");
    SysFreeString(lone);
    EXPECT_EQ(FromBstr(nullptr), "");
}

HRESULT STDMETHODCALLTYPE FillIn(EXCEPINFO* info) {
    return info->scode = static_cast<SCODE>(0x800A03EC), S_OK;
}

// A server's exception reports its wCode, else its scode, else
// DISP_E_EXCEPTION, once filled in when the server defers that; any other
// failure its own result.
TEST(ComCalls, FailuresComeBackWithTheRuntimesStatus) {
    const std::tuple<HRESULT, WORD, SCODE, bool, std::uint32_t> cases[] = {
        {DISP_E_EXCEPTION, 0, static_cast<SCODE>(0x80040111), false, 0x80040111},
        {DISP_E_EXCEPTION, 1004, static_cast<SCODE>(0x80040111), false, 1004},
        {DISP_E_EXCEPTION, 0, 0, false, status::kDispException},
        {DISP_E_EXCEPTION, 0, 0, true, 0x800A03EC},
        {static_cast<HRESULT>(0x800706BA), 0, 0, false, status::kServerUnavailable},
        {static_cast<HRESULT>(0x80010001), 0, 0, false, status::kCallRejected}};
    for (const auto& [result, wCode, scode, deferred, expected] : cases) {
        EXCEPINFO info{};
        std::tie(info.wCode, info.scode) = std::tie(wCode, scode);
        info.pfnDeferredFillIn = deferred ? &FillIn : nullptr;
        EXPECT_EQ(InvokeStatus(result, info), expected);
    }
}

TEST(ComCalls, AdapterAnswersWithStatusesAndFallsBackToTheDefaultMember) {
    // SelectionSets takes no argument: SelectionSets("Ssd") is its Item.
    auto log = std::make_shared<testing::CallLog>();
    auto sets = MakeFake("sets", log), ssd = MakeFake("ssd", log), doc = MakeFake("doc", log);
    sets->OnGet("", [ssd](std::span<const Variant> args) -> Variant {
        if (args.size() != 1 || args[0] != Variant("Ssd")) Fail(status::kBadIndex);
        return Object(ssd);
    });
    ssd->Returns("Name", Variant("Ssd"));
    doc->OnGet("SelectionSets", [sets](std::span<const Variant> args) -> Variant {
        if (!args.empty()) Fail(status::kBadParamCount);
        return Object(sets);
    });
    doc->OnGet("Layers", [](std::span<const Variant> args) -> Variant {
        if (!args.empty()) Fail(status::kMemberNotFound);
        return Variant("not an object");
    });
    doc->OnGet("Plot", [](auto) -> Variant { Fail(status::kDispException); });
    doc->OnCall("Regen", [](auto) -> Variant { Fail(status::kDispException, "raised"); });
    doc->OnCall("Plot", [](auto) -> Variant { Fail(0x800A03EC); });
    doc->OnGet("Name", [](auto) -> Variant { Fail(status::kTypeMismatch); });
    doc->OnPut("Visible", [](auto, const Variant&) { Fail(0x80040111); });
    {
        Object com = ThroughCom(doc);
        const std::pair<std::function<void()>, std::uint32_t> cases[] = {
            {[&] { (void)Call(com, "Missing"); }, status::kUnknownName},
            {[&] { (void)Get(com, "Missing"); }, status::kUnknownName},
            {[&] { Put(com, "Missing", Variant(1)); }, status::kUnknownName},
            {[&] { (void)Enumerate(com); }, status::kUnknownName},
            {[&] { (void)Call(com, "Regen"); }, status::kDispException},
            {[&] { (void)Call(com, "Plot"); }, 0x800A03EC},
            {[&] { (void)Get(com, "Name"); }, status::kTypeMismatch},
            {[&] { Put(com, "Visible", Variant(true)); }, 0x80040111},
            {[&] { (void)Get(com, "SelectionSets", {"Other"}); }, status::kBadIndex},
            // A property that is no object cannot take the arguments.
            {[&] { (void)Get(com, "Layers", {"0"}); }, status::kTypeMismatch}};
        for (const auto& [step, expected] : cases) EXPECT_EQ(StatusOf(step), expected);
        EXPECT_EQ(Get(GetObject(com, "selectionSets", {"Ssd"}), "NAME").AsText(), "Ssd");
        // Other failures are not retried.
        log->calls.clear();
        EXPECT_EQ(StatusOf([&] { (void)Get(com, "Plot", {Variant(1)}); }), status::kDispException);
        EXPECT_EQ(log->calls.size(), 1u);
    }
    EXPECT_EQ(CurrentAdapterCounts().live, 0);
}

// A by-reference argument typed as a script with declared variables passes
// it takes a member's result in its own type, or refuses it and stays.
// (Win32Extras.BlockSampleOverCom passes VARIANT ones.)
TEST(ComCalls, TypedReferencesTakeResultsInTheirType) {
    double number = 1;
    BSTR text = nullptr;
    VARIANT toNumber{}, toText{};
    toNumber.vt = VT_BYREF | VT_R8, toNumber.pdblVal = &number;
    toText.vt = VT_BYREF | VT_BSTR, toText.pbstrVal = &text;
    StoreThroughReference(toNumber, Variant("12.5"));
    StoreThroughReference(toText, Variant(2.5));
    EXPECT_EQ(std::pair(number, FromBstr(text)), std::pair(12.5, std::string("2.5")));
    EXPECT_EQ(StatusOf([&] { StoreThroughReference(toNumber, Variant("twelve")); }),
              status::kTypeMismatch);
    EXPECT_EQ(number, 12.5);
    SysFreeString(text);
}

TEST(ComCalls, DirectoryReportsWindowsStatuses) {
    ComDirectory directory;
    EXPECT_EQ(StatusOf([&] { (void)directory.FindRunning("Velmora.NoSuchProgId"); }),
              status::kInvalidProgId);
    EXPECT_EQ(StatusOf([&] { (void)directory.Create("Velmora.NoSuchProgId"); }),
              status::kInvalidProgId);
}

// The stand-ins answer GetIDsOfNames as AutoCAD and Excel do: a name the
// object lacks is DISP_E_UNKNOWNNAME before any call. Velmora then goes on
// as the step's failure rules say: a CAD without the foreground and undo
// members (a clone) numbers exactly as AutoCAD does, and a workbook
// without Visible leaves the table whole.
TEST(ComCalls, UnknownNamesAreRefusedByNameAndVelmoraGoesOn) {
    IDispatch* application = ExposeObject(standins::CadApplication(standins::NewCadHost()));
    std::u16string name = u"SendCommand";
    LPOLESTR names[] = {reinterpret_cast<LPOLESTR>(name.data())};
    DISPID id = 0;
    EXPECT_EQ(application->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id),
              DISP_E_UNKNOWNNAME);
    application->Release();

    const auto numbered = [](const std::vector<std::string>& lacking) {
        testing::Desk h;
        h.cadTap->lacking = lacking;
        h.directory.RegisterRunning(
            "AutoCAD.Application",
            ThroughCom(testing::Tapped(standins::CadApplication(h.cad), h.cadTap)));
        h.directory.RegisterFactory(standins::kExcelProgId, [&h]() -> Object {
            auto instance = std::make_shared<standins::ExcelInstance>();
            h.excel->created.push_back(instance);
            return ThroughCom(
                testing::Tapped(standins::MakeExcelApplication(instance), h.excelTap));
        });
        h.Picks({std::vector{h.Point(1, 1), h.Point(2, 1)}, std::vector{h.Point(5, 5)}});
        h.Run();
        h.Export();
        const standins::Sheet* sheet = h.Sheet();
        return std::tuple(h.Labels(), h.Row(2), sheet ? sheet->values.size() : 0u,
                          h.cad->undo.steps.size());
    };
    // Three labels, the table's title, headers and three rows (Visible's
    // failure ignored), one undo step a pass; without groups each label's
    // three changes are a step each.
    const auto [labels, row, cells, steps] = numbered({});
    EXPECT_EQ(std::tuple(labels.size(), cells, steps), std::tuple(3u, 1u + 4 + 3 * 4, 2u));
    EXPECT_EQ(numbered({"HWND", "GetVariable", "StartUndoMark", "EndUndoMark"}),
              std::tuple(labels, row, cells, 9u));
    EXPECT_EQ(CurrentAdapterCounts().live, 0);
}

}  // namespace
}  // namespace velmora
