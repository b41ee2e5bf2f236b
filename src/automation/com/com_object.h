// An automation object of another application (or our own, exposed through
// COM), driven late-bound: every call looks its member up by name with
// GetIDsOfNames and then calls Invoke, as the automation runtime does.
#pragma once

#include <cstdint>

#include "automation/com/win32_com.h"
#include "automation/object.h"

namespace velmora {

class ComObject : public Dispatch {
  public:
    // Holds its own reference to dispatch, released with the last holder.
    explicit ComObject(IDispatch* dispatch);

    Variant Get(std::string_view member, std::span<const Variant> args) override;
    void Put(std::string_view member, std::span<const Variant> args, const Variant& value) override;
    Variant Call(std::string_view member, std::span<const Variant> args) override;
    // Each argument goes as VT_BYREF|VT_VARIANT and is read back after the call.
    Variant CallByReference(std::string_view member, std::span<Variant> args) override;
    std::vector<Variant> Enumerate() override;

    IDispatch* Interface() const { return dispatch_.Get(); }

  private:
    Microsoft::WRL::ComPtr<IDispatch> dispatch_;
};

// The object behind dispatch (null gives an empty reference).
Object WrapDispatch(IDispatch* dispatch);

// The status the automation runtime reports for a failed Invoke: for
// DISP_E_EXCEPTION the exception's wCode, else its scode, else 0x80020009
// (after the deferred fill-in); otherwise the HRESULT itself.
std::uint32_t InvokeStatus(HRESULT hr, EXCEPINFO& exception);

// Looks member up and invokes it; the raw step under ComObject, shared with
// the default-member fallback. flags are DISPATCH_* values.
Variant InvokeByName(IDispatch* dispatch, std::string_view member, WORD flags,
                     std::span<const Variant> args, const Variant* putValue = nullptr);

}  // namespace velmora
