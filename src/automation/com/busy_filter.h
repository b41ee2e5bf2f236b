// The caller's message filter: what happens to a call that AutoCAD or
// Excel rejects because it is busy (in the middle of a command, or with a
// modal dialog open). COM asks RetryRejectedCall again and again, with the
// time the call has waited, until the filter gives up.
//
// A busy call is retried quietly for a few seconds; then the user is asked
// whether to switch to the program, retry or cancel. Cancel fails that
// call, and every further busy call of the same command fails at once, so
// the command ends by its own failure rules within moments instead of
// waiting call by call. With nobody to ask, a call gives up after 30 s, and
// so does the rest of the command at once. A program that has gone away
// (RPC_E_DISCONNECTED, RPC_S_SERVER_UNAVAILABLE) fails its calls without
// the filter ever being asked.
#pragma once

#include <functional>

#include "automation/com/win32_com.h"

namespace velmora {

inline constexpr DWORD kGiveUp = static_cast<DWORD>(-1);
// Retried without asking for this long, in steps of kRetryDelayMs.
inline constexpr DWORD kQuietRetryMs = 3000;
inline constexpr DWORD kRetryDelayMs = 100;
// After "switch to", the user gets this long in the program before being
// asked again.
inline constexpr DWORD kAfterSwitchMs = 10000;
// The most a call waits when nobody can be asked.
inline constexpr DWORD kRetryRejectedForMs = 30000;

enum class BusyAnswer { SwitchTo, Retry, Cancel };

// A call the program keeps rejecting: the program's thread as COM names it
// (0 when it does not) and how long the call has waited.
struct BusyCall {
    DWORD calleeThread = 0;
    DWORD elapsedMs = 0;
};

class BusyFilter final : public IMessageFilter {
  public:
    // Asks the user (the busy dialog); empty while nobody can be asked.
    std::function<BusyAnswer(const BusyCall&)> ask;

    // A command begins or has ended: a cancel given in it is forgotten.
    void CommandBoundary() { cancelled_ = false; }
    // A busy call of this command was given up: cancelled by the user, or
    // waited for 30 s with nobody to ask.
    bool Cancelled() const { return cancelled_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    // Owned by the apartment: nothing to count.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override {
        return SERVERCALL_ISHANDLED;
    }
    // A delay in ms before the call is tried again, or kGiveUp (the call
    // then fails with RPC_E_CALL_REJECTED).
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK callee, DWORD elapsedMs,
                                              DWORD rejectType) override;
    // A call waiting for its answer (a pick can take minutes) keeps the
    // window painted and is never called busy.
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override {
        return PENDINGMSG_WAITDEFPROCESS;
    }

  private:
    DWORD Asked(HTASK callee, DWORD elapsedMs);

    bool cancelled_ = false;
    // The elapsed time of the current call at which the user is asked
    // (again), and the last elapsed time seen: a smaller one is a new call.
    DWORD askAtMs_ = kQuietRetryMs;
    DWORD lastElapsedMs_ = 0;
};

}  // namespace velmora
