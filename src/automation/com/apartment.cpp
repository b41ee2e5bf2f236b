#include "automation/com/apartment.h"

#include "automation/failure.h"

namespace velmora {

ComApartment::ComApartment() {
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    if (FAILED(hr)) Fail(static_cast<std::uint32_t>(hr), "CoInitializeEx");
    filterRegistered_ = SUCCEEDED(CoRegisterMessageFilter(&filter_, &previousFilter_));
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
