// Calls through a real IDispatch: how failures come back as statuses, the
// default-member fallback, enumeration, and reference release.
#include <gtest/gtest.h>

#include "automation/com/apartment.h"
#include "automation/com/com_directory.h"
#include "automation/com/com_object.h"
#include "automation/com/com_value.h"
#include "automation/com/dispatch_adapter.h"
#include "automation/failure.h"
#include "automation/status.h"
#include "fake_object.h"
#include "status_of.h"
#include "through_com.h"

namespace velmora {
namespace {

using testing::MakeFake, testing::StatusOf, testing::ThroughCom;

// A hand-made IDispatch whose Invoke fails the way a server chooses.
struct FailingDispatch final : IDispatch {
    HRESULT result = DISP_E_EXCEPTION;
    WORD wCode = 0;
    SCODE scode = 0;
    bool deferred = false;
    long refs = 1;
    static inline SCODE deferredScode = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        const bool known = iid == IID_IUnknown || iid == IID_IDispatch;
        *out = known ? this : nullptr;
        if (known) AddRef();
        return known ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return *count = 0, S_OK; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID* ids) override {
        return ids[0] = 7, S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,
                                     EXCEPINFO* info, UINT*) override {
        if (result != DISP_E_EXCEPTION) return result;
        info->wCode = wCode;
        info->scode = scode;
        info->bstrSource = SysAllocString(L"Test");
        info->bstrDescription = SysAllocString(L"raised");
        if (deferred) info->pfnDeferredFillIn = &FillIn;
        return result;
    }
    static HRESULT STDMETHODCALLTYPE FillIn(EXCEPINFO* info) {
        return info->scode = deferredScode, S_OK;
    }
};

TEST(ComCalls, FailuresComeBackWithTheRuntimesStatus) {
    FailingDispatch::deferredScode = static_cast<SCODE>(0x800A03EC);
    struct Case {
        HRESULT result;
        WORD wCode;
        SCODE scode;
        bool deferred;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {DISP_E_EXCEPTION, 0, static_cast<SCODE>(0x80040111), false, 0x80040111},  // scode
        {DISP_E_EXCEPTION, 1004, static_cast<SCODE>(0x80040111), false, 1004},     // wCode wins
        {DISP_E_EXCEPTION, 0, 0, false, status::kDispException},                   // neither
        {DISP_E_EXCEPTION, 0, 0, true, 0x800A03EC},  // filled in on demand
        {static_cast<HRESULT>(0x800706BA), 0, 0, false, status::kServerUnavailable},
        {static_cast<HRESULT>(0x80010001), 0, 0, false, status::kCallRejected}};
    for (const Case& c : cases) {
        FailingDispatch raw;
        std::tie(raw.result, raw.wCode, raw.scode, raw.deferred) =
            std::tie(c.result, c.wCode, c.scode, c.deferred);
        {
            Object com = WrapDispatch(&raw);
            EXPECT_EQ(StatusOf([&] { (void)Get(com, "Count"); }), c.expected);
            EXPECT_EQ(StatusOf([&] { Put(com, "Visible", Variant(true)); }), c.expected);
            EXPECT_EQ(StatusOf([&] { (void)Call(com, "Delete"); }), c.expected);
        }
        EXPECT_EQ(raw.refs, 1) << "reference kept after the object was dropped";
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
            {[&] { (void)Get(com, "SelectionSets", {"Other"}); }, status::kBadIndex},
            // A property that is no object cannot take the arguments.
            {[&] { (void)Get(com, "Layers", {"0"}); }, status::kTypeMismatch}};
        for (const auto& [step, expected] : cases) EXPECT_EQ(StatusOf(step), expected);
        EXPECT_EQ(Get(GetObject(com, "SelectionSets", {"Ssd"}), "Name").AsText(), "Ssd");
        // Other failures are not retried.
        log->calls.clear();
        EXPECT_EQ(StatusOf([&] { (void)Get(com, "Plot", {Variant(1)}); }), status::kDispException);
        EXPECT_EQ(log->calls.size(), 1u);
    }
    EXPECT_EQ(CurrentAdapterCounts().live, 0);
}

TEST(ComCalls, EnumerationKeepsOrderAndEveryReferenceIsReleased) {
    auto log = std::make_shared<testing::CallLog>();
    std::vector<Variant> entities;
    for (int i = 0; i < 5; ++i) {
        auto entity = MakeFake("e" + std::to_string(i), log);
        entity->Returns("Coordinates", Variant(DoubleArray{double(i), double(-i), 0.0}));
        entities.push_back(Object(entity));
    }
    auto set = MakeFake("set", log);
    set->OnEnumerate([&] { return entities; });
    set->Returns("Count", Variant(std::int32_t{5}));
    auto empty = MakeFake("empty", log);
    empty->OnEnumerate([] { return std::vector<Variant>{}; });

    const AdapterCounts before = CurrentAdapterCounts();
    {
        Object com = ThroughCom(set);
        const std::vector<Variant> items = Enumerate(com);
        ASSERT_EQ(items.size(), 5u);
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(Get(items[i].AsObject(), "Coordinates").ToDoubleArray(),
                      (DoubleArray{double(i), double(-i), 0.0}));
        }
        EXPECT_TRUE(Enumerate(ThroughCom(empty)).empty());
        EXPECT_GT(CurrentAdapterCounts().live, 0);
    }
    const AdapterCounts after = CurrentAdapterCounts();
    EXPECT_EQ(after.live, 0);
    // Every AddRef had its Release (each adapter starts with one reference).
    EXPECT_GT(after.releases - before.releases, after.addRefs - before.addRefs);
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
    ASSERT_NE(filter, nullptr);
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
