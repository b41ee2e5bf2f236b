#include "automation/com/apartment.h"

#include "automation/failure.h"

namespace velmora {

namespace {

class RetryingFilter final : public IMessageFilter {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IMessageFilter) {
            *out = static_cast<IMessageFilter*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // One static instance for the process: nothing to count.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override {
        return SERVERCALL_ISHANDLED;
    }
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD elapsedMs, DWORD rejectType) override {
        return RetryDecision(rejectType, elapsedMs);
    }
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override {
        return PENDINGMSG_WAITDEFPROCESS;
    }
};

RetryingFilter filter;

}  // namespace

DWORD RetryDecision(DWORD rejectType, DWORD elapsedMs) {
    const bool busy = rejectType == SERVERCALL_RETRYLATER || rejectType == SERVERCALL_REJECTED;
    if (!busy || elapsedMs >= kRetryRejectedForMs) return static_cast<DWORD>(-1);
    return kRetryDelayMs;
}

ComApartment::ComApartment() {
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    if (FAILED(hr)) Fail(static_cast<std::uint32_t>(hr), "CoInitializeEx");
    filterRegistered_ = SUCCEEDED(CoRegisterMessageFilter(&filter, &previousFilter_));
}

ComApartment::~ComApartment() {
    if (filterRegistered_) {
        IMessageFilter* ours = nullptr;
        CoRegisterMessageFilter(previousFilter_, &ours);
        if (previousFilter_) previousFilter_->Release();
    }
    CoUninitialize();
}

}  // namespace velmora
