// The busy-call filter, called as COM calls it: its decisions for each
// elapsed time and reject type with the user's answers, the fail-fast state
// after a cancel, and how a Number command and an export end when every
// call of a program is rejected and the user cancels. (Wine answers a busy
// server with an immediate RPC_E_CALL_REJECTED and never asks the filter,
// so no server process can show this end to end.)
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <optional>

#include "automation/com/busy_filter.h"
#include "automation/failure.h"
#include "desk.h"

namespace velmora::testing {
namespace {

constexpr DWORD kLater = SERVERCALL_RETRYLATER, kRejected = SERVERCALL_REJECTED;
constexpr auto kSwitch = BusyAnswer::SwitchTo, kRetry = BusyAnswer::Retry,
               kCancel = BusyAnswer::Cancel;

// One call of RetryRejectedCall: the time waited, the reject type, the
// user's answer when the user must be asked (none: must not be), and the
// filter's decision.
struct Step {
    DWORD elapsedMs, rejectType;
    std::optional<BusyAnswer> answer;
    DWORD decision;
};

TEST(BusyFilter, DecidesByElapsedTimeRejectTypeAndAnswer) {
    const std::pair<const char*, std::vector<Step>> cases[] = {
        {"busy: retried quietly for 3 s", {{0, kLater, {}, 100}, {2999, kRejected, {}, 100}}},
        {"not busy: given up", {{0, SERVERCALL_ISHANDLED, {}, kGiveUp}}},
        {"retry: at once, asked again 3 s later",
         {{3000, kLater, kRetry, 0}, {5999, kLater, {}, 100}, {6000, kLater, kRetry, 0}}},
        {"switch to: 10 s in the program, then asked again",
         {{3000, kRejected, kSwitch, 100},
          {12999, kRejected, {}, 100},
          {13000, kRejected, kCancel, kGiveUp}}},
        {"cancel: this and every later busy call give up at once",
         {{3000, kLater, kCancel, kGiveUp}, {0, kLater, {}, kGiveUp}, {0, kRejected, {}, kGiveUp}}},
        {"a new call is asked after its own 3 s",
         {{3000, kLater, kRetry, 0}, {10, kLater, {}, 100}, {3000, kLater, kRetry, 0}}},
    };
    for (const auto& [name, steps] : cases) {
        BusyFilter filter;
        std::optional<BusyAnswer> next;
        filter.ask = [&next](const BusyCall&) { return std::exchange(next, {}).value_or(kRetry); };
        for (std::size_t i = 0; i < steps.size(); ++i) {
            next = steps[i].answer;
            EXPECT_EQ(filter.RetryRejectedCall(nullptr, steps[i].elapsedMs, steps[i].rejectType),
                      steps[i].decision)
                << name << ", step " << i;
            EXPECT_EQ(next, std::nullopt) << name << ", step " << i << ": the user was not asked";
        }
    }
    // Nobody to ask: one call retried for 30 s, then the command's others
    // not at all, until the next command begins.
    BusyFilter alone;
    EXPECT_EQ(alone.RetryRejectedCall(nullptr, 29999, kLater), kRetryDelayMs);
    EXPECT_EQ(alone.RetryRejectedCall(nullptr, 30000, kLater), kGiveUp);
    EXPECT_EQ(alone.RetryRejectedCall(nullptr, 0, kLater), kGiveUp);
    alone.CommandBoundary();
    EXPECT_EQ(alone.RetryRejectedCall(nullptr, 0, kLater), kRetryDelayMs);
}

// The apartment's filter, as COM finds it.
BusyFilter& Filter() {
    IMessageFilter* registered = nullptr;
    CoRegisterMessageFilter(nullptr, &registered);
    CoRegisterMessageFilter(registered, nullptr);
    if (registered) registered->Release();
    return dynamic_cast<BusyFilter&>(*registered);
}

// A desk whose AutoCAD and Excel reject every call from their n-th on as
// busy, the way COM sends such a call to the filter: with the time waited,
// tried again after the filter's delay (on a clock of its own: nothing
// waits) until the filter gives up. The user answers `answers` in turn,
// then cancels.
struct BusyDesk : Desk {
    std::vector<BusyAnswer> answers;
    int asked = 0;
    DWORD waitedMs = 0;

    BusyDesk(long cadFrom, long excelFrom) {
        Reject(*cadTap, cadFrom);
        Reject(*excelTap, excelFrom);
        Filter().ask = [this](const BusyCall&) {
            return asked < int(answers.size()) ? answers[asked++] : (++asked, kCancel);
        };
        window->Services().commandStarted = [] { Filter().CommandBoundary(); };
        window->Services().commandEnded = [] { Filter().CommandBoundary(); };
    }
    ~BusyDesk() { Filter().ask = nullptr; }
    void Reject(Tap& tap, long from) {
        tap.onCall = [this, &tap, from] {
            for (DWORD elapsed = 0; tap.calls >= from;) {
                const DWORD delay = Filter().RetryRejectedCall(nullptr, elapsed, kLater);
                if (delay == kGiveUp) Fail(status::kCallRejected, "busy");
                waitedMs += delay;
                elapsed += delay + 1;  // a try takes its moment too
            }
        };
    }
    // Runs a command, says how long it waited for the filter and took here.
    DWORD Timed(const char* what, const std::function<void()>& command) {
        const auto start = std::chrono::steady_clock::now();
        command();
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        std::printf("[ busy     ] %s: %lu ms waited, %.3f ms in this process\n", what,
                    static_cast<unsigned long>(waitedMs), took.count());
        return waitedMs;
    }
};

constexpr long kNever = 1L << 30;

// Every call rejected, the user cancels when asked: each command asks once,
// waits its quiet 3 s once, and ends by its own failure rules.
TEST(BusyFilter, CommandsEndSoonAfterTheUserCancels) {
    BusyDesk all(1, kNever);
    all.Picks({std::vector{all.Point(1, 1)}});
    EXPECT_EQ(all.Timed("Number, every call rejected", [&] { all.Run(); }), kQuietRetryMs);
    EXPECT_EQ(std::tuple(all.asked, all.shown, all.Labels().size()), std::tuple(1, 1, 0u));
    EXPECT_FALSE(Filter().Cancelled());  // forgotten once the command ended

    BusyDesk excel(kNever, 4);  // Excel busy once the sheet is obtained
    excel.Picks({std::vector{excel.Point(1, 1), excel.Point(2, 1)}});
    excel.Run();
    EXPECT_EQ(excel.Timed("export, rejected after the sheet", [&] { excel.Export(); }),
              kQuietRetryMs);
    EXPECT_EQ(std::tuple(excel.asked, excel.messages.size()), std::tuple(1, 0u));
}

}  // namespace
}  // namespace velmora::testing
