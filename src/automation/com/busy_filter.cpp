#include "automation/com/busy_filter.h"

namespace velmora {

HRESULT STDMETHODCALLTYPE BusyFilter::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IMessageFilter) {
        *out = static_cast<IMessageFilter*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

DWORD STDMETHODCALLTYPE BusyFilter::RetryRejectedCall(HTASK callee, DWORD elapsedMs,
                                                      DWORD rejectType) {
    const bool busy = rejectType == SERVERCALL_RETRYLATER || rejectType == SERVERCALL_REJECTED;
    if (!busy || cancelled_) return kGiveUp;
    if (elapsedMs < lastElapsedMs_) askAtMs_ = kQuietRetryMs;  // a new call
    lastElapsedMs_ = elapsedMs;
    if (elapsedMs < askAtMs_) return kRetryDelayMs;
    if (ask) return Asked(callee, elapsedMs);
    // Nobody to ask: one call waits its 30 s, the rest of the command none.
    if (elapsedMs < kRetryRejectedForMs) return kRetryDelayMs;
    cancelled_ = true;
    return kGiveUp;
}

DWORD BusyFilter::Asked(HTASK callee, DWORD elapsedMs) {
    // COM hands over the callee's thread id as its task.
    const auto thread = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(callee));
    // Nothing may leave a COM callback: a dialog that cannot be shown
    // counts as cancelled.
    BusyAnswer answer = BusyAnswer::Cancel;
    try {
        answer = ask(BusyCall{thread, elapsedMs});
    } catch (...) {
        answer = BusyAnswer::Cancel;
    }
    switch (answer) {
        case BusyAnswer::SwitchTo:
            askAtMs_ = elapsedMs + kAfterSwitchMs;
            return kRetryDelayMs;
        case BusyAnswer::Retry:
            askAtMs_ = elapsedMs + kQuietRetryMs;
            return 0;
        case BusyAnswer::Cancel:
            break;
    }
    cancelled_ = true;
    return kGiveUp;
}

}  // namespace velmora
