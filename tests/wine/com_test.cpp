// The COM backend through a real IDispatch: the adapter exposes a fake,
// ComObject drives it. Values of every kind in both directions, text that
// is malformed, how failures come back as statuses, the default-member
// fallback, enumeration, reference release, and the busy-call filter.
#include <gtest/gtest.h>

#include "automation/com/apartment.h"
#include "automation/com/com_directory.h"
#include "automation/com/com_object.h"
#include "automation/com/com_value.h"
#include "automation/com/dispatch_adapter.h"
#include "automation/failure.h"
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

    // A point as an array of variants holding doubles, lower bound 1.
    ComVariant point;
    ToComVariant(VariantArray{1.5, 3.0, 4.5}, point.Get());
    point.Get()->parray->rgsabound[0].lLbound = 1;
    EXPECT_EQ(FromComVariant(point.Ref()).ToDoubleArray(), (DoubleArray{1.5, 3.0, 4.5}));
    value.vt = VT_BYREF | VT_ARRAY | VT_VARIANT;
    value.pparray = &point.Get()->parray;
    EXPECT_EQ(FromComVariant(value).ToDoubleArray(), (DoubleArray{1.5, 3.0, 4.5}));

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

// Arguments by reference: the client passes VT_BYREF|VT_VARIANT and reads
// back what the adapter wrote there; a typed reference takes the result in
// its own type, or the call fails as a type mismatch.
TEST(ComCalls, ArgumentsByReferenceCarryResultsBack) {
    auto utility = MakeFake("utility", nullptr), entity = MakeFake("entity", nullptr);
    entity->Returns("Layer", Variant("桩位"));
    utility->OnCallWithResults("GetEntity", [entity](std::span<Variant> args) -> Variant {
        if (args.size() > 2 && args[2] == Variant("Esc")) Fail(status::kDispException);
        args[0] = Object(entity);
        args[1] = args.size() > 2 ? args[2] : Variant(DoubleArray{1.5, 2, 0});
        return {};
    });
    {
        Object com = ThroughCom(utility);
        std::vector<Variant> args = {Variant(), Variant(), "选择："};
        EXPECT_EQ(CallWithResults(com, "GetEntity", args), Variant());
        EXPECT_EQ(Get(args[0].AsObject(), "Layer"), Variant("桩位"));
        EXPECT_EQ(args[1], Variant("选择："));
        args = {Variant(), 7.0};
        CallWithResults(com, "GetEntity", args);
        EXPECT_EQ(args[1], Variant(DoubleArray{1.5, 2, 0}));
        args = {Variant(), 7.0, "Esc"};
        EXPECT_EQ(StatusOf([&] { CallWithResults(com, "GetEntity", args); }),
                  status::kDispException);
        EXPECT_EQ(args, (std::vector<Variant>{Variant(), 7.0, "Esc"}));
    }

    // A client that passes typed references, as a script with declared variables does.
    IDispatch* dispatch = ExposeObject(utility);
    LPOLESTR name = const_cast<LPOLESTR>(L"GetEntity");
    DISPID id = 0;
    ASSERT_EQ(dispatch->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), S_OK);
    const auto invoke = [&](VARIANT& point, const wchar_t* text) {
        IDispatch* object = nullptr;
        VARIANT args[3] = {};
        args[0].vt = VT_BSTR, args[0].bstrVal = SysAllocString(text);
        args[1] = point;
        args[2].vt = VT_BYREF | VT_DISPATCH, args[2].ppdispVal = &object;
        DISPPARAMS params{args, nullptr, 3, 0};
        const HRESULT hr =
            dispatch->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
        SysFreeString(args[0].bstrVal);
        if (object) object->Release();
        return std::pair(hr, object != nullptr);
    };
    BSTR text = nullptr;
    double number = 0;
    VARIANT point{};
    point.vt = VT_BYREF | VT_BSTR, point.pbstrVal = &text;
    EXPECT_EQ(invoke(point, L"12.5"), std::pair(S_OK, true));
    EXPECT_EQ(FromBstr(text), "12.5");
    point.vt = VT_BYREF | VT_R8, point.pdblVal = &number;
    EXPECT_EQ(invoke(point, L"12.5"), std::pair(S_OK, true));
    EXPECT_EQ(number, 12.5);
    EXPECT_EQ(invoke(point, L"twelve").first, DISP_E_TYPEMISMATCH);
    EXPECT_EQ(number, 12.5);
    SysFreeString(text);
    dispatch->Release();
    EXPECT_EQ(CurrentAdapterCounts().live, 0);
}

TEST(ComCalls, DirectoryReportsWindowsStatusesAndRetriesBusyCalls) {
    ComDirectory directory;
    EXPECT_EQ(StatusOf([&] { (void)directory.FindRunning("Velmora.NoSuchProgId"); }),
              status::kInvalidProgId);
    EXPECT_EQ(StatusOf([&] { (void)directory.Create("Velmora.NoSuchProgId"); }),
              status::kInvalidProgId);
    // The apartment has put the retrying filter in place: a busy
    // application is retried for a while, with a short delay.
    IMessageFilter* filter = nullptr;
    ASSERT_EQ(CoRegisterMessageFilter(nullptr, &filter), S_OK);
    EXPECT_EQ(filter->RetryRejectedCall(nullptr, 500, SERVERCALL_RETRYLATER), kRetryDelayMs);
    EXPECT_EQ(filter->HandleInComingCall(0, nullptr, 0, nullptr), DWORD{SERVERCALL_ISHANDLED});
    CoRegisterMessageFilter(filter, nullptr);
    filter->Release();
    EXPECT_EQ(RetryDecision(SERVERCALL_RETRYLATER, 0), kRetryDelayMs);
    EXPECT_EQ(RetryDecision(SERVERCALL_REJECTED, kRetryRejectedForMs - 1), kRetryDelayMs);
    EXPECT_EQ(RetryDecision(SERVERCALL_RETRYLATER, kRetryRejectedForMs), static_cast<DWORD>(-1));
    EXPECT_EQ(RetryDecision(SERVERCALL_ISHANDLED, 0), static_cast<DWORD>(-1));
}

}  // namespace
}  // namespace velmora
