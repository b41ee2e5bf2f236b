#include "automation/com/com_object.h"

#include <memory>
#include <vector>

#include "automation/com/com_value.h"
#include "automation/failure.h"
#include "automation/status.h"
#include "text/utf16.h"

namespace velmora {

using Microsoft::WRL::ComPtr;

namespace {

// The arguments of one Invoke, last argument first as IDispatch expects,
// with the value being put (if any) in front as the named argument. Passed
// by reference, each argument travels as VT_BYREF|VT_VARIANT pointing at
// its value, where the callee may leave another.
class InvokeArgs {
  public:
    InvokeArgs(std::span<const Variant> args, const Variant* putValue, bool byReference = false)
        : count_(args.size() + (putValue ? 1 : 0)) {
        values_ = std::make_unique<ComVariant[]>(count_);
        std::size_t slot = 0;
        if (putValue) ToComVariant(*putValue, values_[slot++].Get());
        for (std::size_t i = args.size(); i-- > 0;) ToComVariant(args[i], values_[slot++].Get());
        // ComVariant wraps a single VARIANT, so the array can be handed over as is.
        static_assert(sizeof(ComVariant) == sizeof(VARIANT));
        params_.rgvarg = count_ ? values_[0].Get() : nullptr;
        params_.cArgs = static_cast<UINT>(count_);
        if (putValue) {
            params_.rgdispidNamedArgs = &putId_;
            params_.cNamedArgs = 1;
        }
        if (byReference && count_ > 0) PassByReference();
    }

    DISPPARAMS* Params() { return &params_; }

    // What the callee left in the arguments, in the caller's order.
    void ReadBack(std::span<Variant> args) const {
        for (std::size_t i = 0; i < args.size() && i < count_; ++i)
            args[i] = FromComVariant(values_[count_ - 1 - i].Ref());
    }

  private:
    void PassByReference() {
        references_ = std::make_unique<VARIANT[]>(count_);
        for (std::size_t i = 0; i < count_; ++i) {
            VariantInit(&references_[i]);
            references_[i].vt = VT_BYREF | VT_VARIANT;
            references_[i].pvarVal = values_[i].Get();
        }
        params_.rgvarg = references_.get();
    }

    std::size_t count_;
    std::unique_ptr<ComVariant[]> values_;
    std::unique_ptr<VARIANT[]> references_;  // point into values_, own nothing
    DISPID putId_ = DISPID_PROPERTYPUT;
    DISPPARAMS params_{nullptr, nullptr, 0, 0};
};

DISPID LookUp(IDispatch* dispatch, std::string_view member) {
    if (member.empty()) return DISPID_VALUE;
    std::u16string wide = Utf8ToUtf16(member);
    LPOLESTR name = reinterpret_cast<LPOLESTR>(wide.data());
    DISPID id = DISPID_UNKNOWN;
    HRESULT hr = dispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) Fail(static_cast<std::uint32_t>(hr), std::string(member));
    return id;
}

Variant InvokeWith(IDispatch* dispatch, DISPID id, std::string_view member, WORD flags,
                   InvokeArgs& invokeArgs, const Variant* putValue) {
    ComVariant result;
    EXCEPINFO exception{};
    UINT argError = 0;
    HRESULT hr = dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, invokeArgs.Params(),
                                  putValue ? nullptr : result.Get(), &exception, &argError);
    if (FAILED(hr)) {
        std::string detail(member);
        if (hr == DISP_E_EXCEPTION && exception.pfnDeferredFillIn) {
            exception.pfnDeferredFillIn(&exception);
            exception.pfnDeferredFillIn = nullptr;
        }
        if (hr == DISP_E_EXCEPTION && exception.bstrDescription) {
            detail += ": " + FromBstr(exception.bstrDescription);
        }
        Fail(InvokeStatus(hr, exception), detail);
    }
    return putValue ? Variant() : FromComVariant(result.Ref());
}

Variant InvokeId(IDispatch* dispatch, DISPID id, std::string_view member, WORD flags,
                 std::span<const Variant> args, const Variant* putValue) {
    InvokeArgs invokeArgs(args, putValue);
    return InvokeWith(dispatch, id, member, flags, invokeArgs, putValue);
}

bool IsMissingArgumentsStatus(std::uint32_t status) {
    return status == status::kBadParamCount || status == status::kMemberNotFound;
}

}  // namespace

std::uint32_t InvokeStatus(HRESULT hr, EXCEPINFO& exception) {
    if (hr != DISP_E_EXCEPTION) return static_cast<std::uint32_t>(hr);
    if (exception.pfnDeferredFillIn) {
        exception.pfnDeferredFillIn(&exception);
        exception.pfnDeferredFillIn = nullptr;
    }
    std::uint32_t status = status::kDispException;
    if (exception.wCode != 0) {
        status = exception.wCode;
    } else if (exception.scode != 0) {
        status = static_cast<std::uint32_t>(exception.scode);
    }
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    exception.bstrSource = exception.bstrDescription = exception.bstrHelpFile = nullptr;
    return status;
}

Variant InvokeByName(IDispatch* dispatch, std::string_view member, WORD flags,
                     std::span<const Variant> args, const Variant* putValue) {
    return InvokeId(dispatch, LookUp(dispatch, member), member, flags, args, putValue);
}

ComObject::ComObject(IDispatch* dispatch) : dispatch_(dispatch) {}

Object WrapDispatch(IDispatch* dispatch) {
    if (!dispatch) return {};
    return std::make_shared<ComObject>(dispatch);
}

Variant ComObject::Get(std::string_view member, std::span<const Variant> args) {
    constexpr WORD kGet = DISPATCH_METHOD | DISPATCH_PROPERTYGET;
    const DISPID id = LookUp(dispatch_.Get(), member);
    try {
        return InvokeId(dispatch_.Get(), id, member, kGet, args, nullptr);
    } catch (const Failure& failure) {
        // A property that takes no arguments, given some: the runtime gets
        // the property and applies the arguments to its default member.
        if (args.empty() || id == DISPID_VALUE || !IsMissingArgumentsStatus(failure.Status())) {
            throw;
        }
    }
    const Variant property = InvokeId(dispatch_.Get(), id, member, kGet, {}, nullptr);
    const Object& inner = property.AsObject();
    return inner->Get("", args);
}

void ComObject::Put(std::string_view member, std::span<const Variant> args, const Variant& value) {
    InvokeByName(dispatch_.Get(), member, DISPATCH_PROPERTYPUT, args, &value);
}

Variant ComObject::Call(std::string_view member, std::span<const Variant> args) {
    return InvokeByName(dispatch_.Get(), member, DISPATCH_METHOD, args);
}

Variant ComObject::CallByReference(std::string_view member, std::span<Variant> args) {
    const DISPID id = LookUp(dispatch_.Get(), member);
    InvokeArgs invokeArgs(args, nullptr, true);
    Variant value = InvokeWith(dispatch_.Get(), id, member, DISPATCH_METHOD, invokeArgs, nullptr);
    invokeArgs.ReadBack(args);
    return value;
}

std::vector<Variant> ComObject::Enumerate() {
    ComVariant result;
    EXCEPINFO exception{};
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    HRESULT hr = dispatch_->Invoke(DISPID_NEWENUM, IID_NULL, LOCALE_USER_DEFAULT,
                                   DISPATCH_METHOD | DISPATCH_PROPERTYGET, &none, result.Get(),
                                   &exception, nullptr);
    if (FAILED(hr)) Fail(InvokeStatus(hr, exception), "_NewEnum");

    IUnknown* unknown = nullptr;
    if (result.Ref().vt == VT_UNKNOWN) unknown = result.Ref().punkVal;
    if (result.Ref().vt == VT_DISPATCH) unknown = result.Ref().pdispVal;
    ComPtr<IEnumVARIANT> items;
    if (!unknown || FAILED(unknown->QueryInterface(IID_PPV_ARGS(&items)))) {
        Fail(status::kTypeMismatch, "_NewEnum gave no IEnumVARIANT");
    }
    std::vector<Variant> all;
    for (;;) {
        ComVariant item;
        ULONG fetched = 0;
        hr = items->Next(1, item.Get(), &fetched);
        if (FAILED(hr)) Fail(static_cast<std::uint32_t>(hr), "IEnumVARIANT::Next");
        if (hr != S_OK || fetched == 0) break;
        all.push_back(FromComVariant(item.Ref()));
    }
    return all;
}

}  // namespace velmora
