// Calls through a real IDispatch: how failures come back as statuses, the
// default-member fallback, enumeration, and reference release.
#include <gtest/gtest.h>

#include "automation/com/apartment.h"
#include "automation/com/com_directory.h"
#include "automation/failure.h"
#include "fake_object.h"
#include "status_of.h"
#include "through_com.h"

namespace velmora {
namespace {

using testing::MakeFake, testing::StatusOf, testing::ThroughCom;

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
        EXPECT_EQ(Get(GetObject(com, "SelectionSets", {"Ssd"}), "Name").AsText(), "Ssd");
        // Other failures are not retried.
        log->calls.clear();
        EXPECT_EQ(StatusOf([&] { (void)Get(com, "Plot", {Variant(1)}); }), status::kDispException);
        EXPECT_EQ(log->calls.size(), 1u);
    }
    EXPECT_EQ(CurrentAdapterCounts().live, 0);
}

TEST(ComCalls, EnumerationKeepsOrderAndEveryReferenceIsReleased) {
    std::vector<Variant> entities;
    for (int i = 0; i < 5; ++i) {
        auto entity = MakeFake("e" + std::to_string(i), nullptr);
        entity->Returns("Coordinates", Variant(DoubleArray{double(i), double(-i), 0.0}));
        entities.push_back(Object(entity));
    }
    auto set = MakeFake("set", nullptr), empty = MakeFake("empty", nullptr);
    set->OnEnumerate([&] { return entities; });
    empty->OnEnumerate([] { return std::vector<Variant>{}; });
    const AdapterCounts before = CurrentAdapterCounts();
    {
        const std::vector<Variant> items = Enumerate(ThroughCom(set));
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
