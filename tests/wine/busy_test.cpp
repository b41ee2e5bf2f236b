// The busy-call filter, called as COM calls it: its decisions for each
// elapsed time and reject type with the user's answers, the fail-fast state
// after a cancel, and how a Number command and an export end when every
// call of a program is rejected and the user cancels. (Wine answers a busy
// server with an immediate RPC_E_CALL_REJECTED and never asks the filter,
// so no server process can show this end to end.)
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <limits>
#include <optional>

#include "automation/com/apartment.h"
#include "automation/com/busy_filter.h"
#include "automation/failure.h"
#include "desk.h"

namespace velmora::testing {
namespace {

// One call to RetryRejectedCall: the time waited, the reject type, the
// answer when the user must be asked (none: must not be asked), and the
// filter's decision.
struct Step {
    DWORD elapsedMs;
    DWORD rejectType;
    std::optional<BusyAnswer> answer;
    DWORD decision;
};

constexpr DWORD kLater = SERVERCALL_RETRYLATER, kRejected = SERVERCALL_REJECTED;
constexpr auto kSwitch = BusyAnswer::SwitchTo, kRetry = BusyAnswer::Retry,
               kCancel = BusyAnswer::Cancel;

TEST(BusyFilter, DecidesByElapsedTimeRejectTypeAndAnswer) {
    const std::pair<const char*, std::vector<Step>> cases[] = {
        {"busy: retried quietly for 3 s",
         {{0, kLater, {}, kRetryDelayMs}, {2999, kRejected, {}, kRetryDelayMs}}},
        {"not busy: given up", {{0, SERVERCALL_ISHANDLED, {}, kGiveUp}}},
        {"asked at 3 s: retry now, ask again 3 s later",
         {{3000, kLater, kRetry, 0}, {5999, kLater, {}, kRetryDelayMs}, {6000, kLater, kRetry, 0}}},
        {"switch to: 10 s in the program, then asked again",
         {{3000, kRejected, kSwitch, kRetryDelayMs},
          {12999, kRejected, {}, kRetryDelayMs},
          {13000, kRejected, kCancel, kGiveUp}}},
        {"cancel: this call and every later busy call give up at once",
         {{3000, kLater, kCancel, kGiveUp}, {0, kLater, {}, kGiveUp}, {0, kRejected, {}, kGiveUp}}},
        {"a new call is asked after its own 3 s",
         {{3000, kLater, kRetry, 0}, {10, kLater, {}, kRetryDelayMs}, {3000, kLater, kRetry, 0}}},
    };
    for (const auto& [name, steps] : cases) {
        BusyFilter filter;
        std::optional<BusyAnswer> next;
        bool asked = false;
        filter.ask = [&](const BusyCall&) {
            asked = true;
            return next.value_or(kCancel);
        };
        for (std::size_t i = 0; i < steps.size(); ++i) {
            const Step& step = steps[i];
            next = step.answer;
            asked = false;
            EXPECT_EQ(filter.RetryRejectedCall(nullptr, step.elapsedMs, step.rejectType),
                      step.decision)
                << name << ", step " << i;
            EXPECT_EQ(asked, step.answer.has_value()) << name << ", step " << i;
        }
    }
    // Nobody to ask: retried for 30 s, then given up. A cancel is forgotten
    // when the next command begins.
    BusyFilter alone;
    EXPECT_EQ(alone.RetryRejectedCall(nullptr, 29999, kLater), kRetryDelayMs);
    EXPECT_EQ(alone.RetryRejectedCall(nullptr, 30000, kLater), kGiveUp);
    alone.ask = [](const BusyCall&) { return kCancel; };
    EXPECT_EQ(alone.RetryRejectedCall(nullptr, 3000, kLater), kGiveUp);
    alone.CommandBoundary();
    EXPECT_EQ(alone.RetryRejectedCall(nullptr, 0, kLater), kRetryDelayMs);
}

// The apartment's filter, as COM finds it.
BusyFilter& RegisteredFilter() {
    IMessageFilter* registered = nullptr;
    CoRegisterMessageFilter(nullptr, &registered);
    CoRegisterMessageFilter(registered, nullptr);
    if (registered) registered->Release();
    auto* filter = dynamic_cast<BusyFilter*>(registered);
    if (!filter) Fail(status::kFail, "no busy filter registered");
    return *filter;
}

// A program whose every call from the n-th on is rejected as busy, reached
// as COM reaches it: each rejected call goes to the apartment's filter with
// the time it has waited, and is tried again after the delay the filter
// gives, on a clock of its own (nothing really waits), until the filter
// gives up and the call fails with RPC_E_CALL_REJECTED.
struct BusyProgram {
    long rejectFrom = 1;
    long calls = 0;
    DWORD waitedMs = 0;  // in all, by the filter's delays
};

class BusyObject : public Dispatch {
  public:
    BusyObject(Object inner, std::shared_ptr<BusyProgram> program)
        : inner_(std::move(inner)), program_(std::move(program)) {}

    Variant Get(std::string_view member, std::span<const Variant> args) override {
        Enter();
        return Wrap(inner_->Get(member, args), program_);
    }
    void Put(std::string_view member, std::span<const Variant> args,
             const Variant& value) override {
        Enter();
        inner_->Put(member, args, value);
    }
    Variant Call(std::string_view member, std::span<const Variant> args) override {
        Enter();
        return Wrap(inner_->Call(member, args), program_);
    }
    std::vector<Variant> Enumerate() override {
        Enter();
        std::vector<Variant> items = inner_->Enumerate();
        for (Variant& item : items) item = Wrap(item, program_);
        return items;
    }

    static Variant Wrap(const Variant& value, const std::shared_ptr<BusyProgram>& program) {
        if (value.Kind() != VariantKind::Object || !value.AsObject()) return value;
        return Object(std::make_shared<BusyObject>(value.AsObject(), program));
    }

  private:
    void Enter() {
        if (++program_->calls < program_->rejectFrom) return;
        BusyFilter& filter = RegisteredFilter();
        for (DWORD elapsed = 0;;) {
            const DWORD delay = filter.RetryRejectedCall(nullptr, elapsed, SERVERCALL_RETRYLATER);
            if (delay == kGiveUp) Fail(status::kCallRejected, "rejected by the busy program");
            program_->waitedMs += delay;
            elapsed += delay + 1;  // a try takes its moment too
        }
    }

    Object inner_;
    std::shared_ptr<BusyProgram> program_;
};

// A desk whose AutoCAD and Excel are busy from their n-th call on, with the
// apartment's filter told where commands begin and end and its dialog
// answered by `answers` in turn (then Cancel).
struct BusyDesk : Desk {
    std::shared_ptr<BusyProgram> cadProgram = std::make_shared<BusyProgram>();
    std::shared_ptr<BusyProgram> excelProgram = std::make_shared<BusyProgram>();
    std::vector<BusyAnswer> answers;
    int asked = 0;

    BusyDesk() {
        directory.RegisterRunning(
            "AutoCAD.Application",
            BusyObject::Wrap(Tapped(standins::CadApplication(cad), cadTap), cadProgram).AsObject());
        directory.RegisterFactory(standins::kExcelProgId, [this]() -> Object {
            auto instance = std::make_shared<standins::ExcelInstance>();
            excel->created.push_back(instance);
            return BusyObject::Wrap(standins::MakeExcelApplication(instance), excelProgram)
                .AsObject();
        });
        BusyFilter& filter = RegisteredFilter();
        filter.ask = [this](const BusyCall&) {
            return asked < int(answers.size()) ? answers[asked++] : (++asked, kCancel);
        };
        window->Services().commandStarted = [&filter] { filter.CommandBoundary(); };
        window->Services().commandEnded = [&filter] { filter.CommandBoundary(); };
    }
    ~BusyDesk() { RegisteredFilter().ask = nullptr; }
};

// Prints how long a command waited for the filter (on the emulated clock)
// and took in this process, for the record.
template <class Command>
DWORD Timed(const char* what, const BusyProgram& program, Command&& command) {
    const auto start = std::chrono::steady_clock::now();
    command();
    const auto took = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - start);
    std::printf("[ busy     ] %s: %lu ms waited for the filter, %lld us in this process\n", what,
                static_cast<unsigned long>(program.waitedMs), static_cast<long long>(took.count()));
    return program.waitedMs;
}

// Every call rejected and the user cancels when asked: each command asks
// once, waits its 3 quiet seconds once, and ends by its own failure rules.
TEST(BusyFilter, CommandsEndSoonAfterTheUserCancels) {
    {
        BusyDesk h;
        h.Picks({std::vector{h.Point(1, 1)}});
        EXPECT_EQ(Timed("Number, all rejected", *h.cadProgram, [&] { h.Run(); }), kQuietRetryMs);
        EXPECT_EQ(h.asked, 1);
        EXPECT_EQ(h.shown, 1);  // ended where the count cannot be read
        EXPECT_TRUE(h.Labels().empty());
        EXPECT_FALSE(RegisteredFilter().Cancelled());  // forgotten once the command ended
    }
    {
        // Busy from the second pass on; the user first retries, then cancels.
        Desk clean;
        clean.Picks({std::vector{clean.Point(1, 1)}});
        clean.cadTap->logging = true;
        clean.Run();  // the first pass's calls end with its group's end
        const auto& log = clean.cadTap->log;
        const long firstPassCalls =
            long(std::find(log.begin(), log.end(), "Call EndUndoMark") - log.begin()) + 1;
        BusyDesk busy;
        busy.Picks({std::vector{busy.Point(1, 1)}, std::vector{busy.Point(2, 2)}});
        busy.cadProgram->rejectFrom = firstPassCalls + 1;
        busy.answers = {kRetry};
        EXPECT_EQ(Timed("Number, rejected from pass 2, retry then cancel", *busy.cadProgram,
                        [&] { busy.Run(); }),
                  2 * kQuietRetryMs);
        EXPECT_EQ(busy.asked, 2);
        EXPECT_EQ(busy.Labels().size(), 1u);  // the first pass stays
    }
    BusyDesk h;
    h.cadProgram->rejectFrom = std::numeric_limits<long>::max();  // AutoCAD answers
    h.Picks({std::vector{h.Point(1, 1), h.Point(2, 1)}});
    h.Run();
    ASSERT_EQ(h.State().pileCount, 2);
    h.excelProgram->rejectFrom = 4;  // Excel is busy once the sheet is obtained
    EXPECT_EQ(Timed("export, rejected after the sheet", *h.excelProgram, [&] { h.Export(); }),
              kQuietRetryMs);
    EXPECT_EQ(h.asked, 1);
    EXPECT_TRUE(h.messages.empty());
}

}  // namespace
}  // namespace velmora::testing
