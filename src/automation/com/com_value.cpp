#include "automation/com/com_value.h"

#include <algorithm>
#include <utility>

#include "automation/com/com_object.h"
#include "automation/com/dispatch_adapter.h"
#include "automation/com/win32_com.h"
#include "automation/failure.h"
#include "automation/status.h"
#include "text/utf16.h"

namespace velmora {

using Microsoft::WRL::ComPtr;

namespace {

// Deletes a SAFEARRAY unless released to a VARIANT.
struct SafeArrayHolder {
    SAFEARRAY* array = nullptr;
    ~SafeArrayHolder() {
        if (array) SafeArrayDestroy(array);
    }
    SAFEARRAY* Release() { return std::exchange(array, nullptr); }
};

template <class T>
SAFEARRAY* MakeArray(VARTYPE type, const std::vector<T>& items) {
    SafeArrayHolder holder{SafeArrayCreateVector(type, 0, static_cast<ULONG>(items.size()))};
    if (!holder.array) Fail(status::kOutOfMemory, "SAFEARRAY");
    if (!items.empty()) {
        void* data = nullptr;
        if (FAILED(SafeArrayAccessData(holder.array, &data))) Fail(status::kOutOfMemory);
        std::copy(items.begin(), items.end(), static_cast<T*>(data));
        SafeArrayUnaccessData(holder.array);
    }
    return holder.Release();
}

SAFEARRAY* MakeVariantArray(const VariantArray& items) {
    SafeArrayHolder holder{SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(items.size()))};
    if (!holder.array) Fail(status::kOutOfMemory, "SAFEARRAY");
    for (LONG i = 0; i < static_cast<LONG>(items.size()); ++i) {
        ComVariant item;
        ToComVariant(items[i], item.Get());
        if (FAILED(SafeArrayPutElement(holder.array, &i, item.Get()))) Fail(status::kOutOfMemory);
    }
    return holder.Release();
}

// The elements of a one-dimensional array, whatever its lower bound.
template <class T, class Convert>
std::vector<T> ReadArray(SAFEARRAY* array, Convert convert) {
    if (!array) return {};
    if (SafeArrayGetDim(array) != 1)
        Fail(status::kTypeMismatch, "array of more than one dimension");
    LONG lower = 0;
    LONG upper = -1;
    SafeArrayGetLBound(array, 1, &lower);
    SafeArrayGetUBound(array, 1, &upper);
    std::vector<T> items;
    if (upper < lower) return items;
    items.reserve(static_cast<std::size_t>(upper - lower) + 1);
    void* data = nullptr;
    if (FAILED(SafeArrayAccessData(array, &data))) Fail(status::kTypeMismatch, "locked array");
    try {
        for (LONG i = 0; i <= upper - lower; ++i) items.push_back(convert(data, i));
    } catch (...) {
        SafeArrayUnaccessData(array);
        throw;
    }
    SafeArrayUnaccessData(array);
    return items;
}

Variant FromArray(VARTYPE elementType, SAFEARRAY* array) {
    switch (elementType) {
        case VT_I2:
            return ReadArray<std::int16_t>(
                array, [](void* d, LONG i) { return static_cast<std::int16_t*>(d)[i]; });
        case VT_R8:
            return ReadArray<double>(array,
                                     [](void* d, LONG i) { return static_cast<double*>(d)[i]; });
        case VT_VARIANT:
            return ReadArray<Variant>(
                array, [](void* d, LONG i) { return FromComVariant(static_cast<VARIANT*>(d)[i]); });
        default:
            Fail(status::kTypeMismatch, "array of an unsupported element type");
    }
}

Variant FromUnknown(IUnknown* unknown) {
    if (!unknown) return Object{};
    ComPtr<IDispatch> dispatch;
    if (FAILED(unknown->QueryInterface(IID_PPV_ARGS(&dispatch)))) {
        Fail(status::kTypeMismatch, "object without IDispatch");
    }
    return WrapDispatch(dispatch.Get());
}

// Numbers of other types, widened the way the runtime coerces them.
Variant FromOtherNumber(const VARIANT& value, VARTYPE target) {
    ComVariant converted;
    HRESULT hr = VariantChangeType(converted.Get(), const_cast<VARIANT*>(&value), 0, target);
    if (FAILED(hr)) Fail(static_cast<std::uint32_t>(hr), "unsupported value type");
    if (target == VT_I4) return std::int32_t{converted.Ref().lVal};
    return converted.Ref().dblVal;
}

}  // namespace

BSTR MakeBstr(std::string_view text) {
    const std::u16string wide = Utf8ToUtf16(text);
    BSTR bstr = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(wide.data()),
                                  static_cast<UINT>(wide.size()));
    if (!bstr) Fail(status::kOutOfMemory, "BSTR");
    return bstr;
}

std::string FromBstr(BSTR text) {
    if (!text) return {};
    return Utf16ToUtf8(
        std::u16string_view(reinterpret_cast<const char16_t*>(text), SysStringLen(text)));
}

void ToComVariant(const Variant& value, VARIANT* out) {
    VariantInit(out);
    switch (value.Kind()) {
        case VariantKind::Empty:
            return;
        case VariantKind::Bool:
            out->vt = VT_BOOL;
            out->boolVal = value.AsBool() ? VARIANT_TRUE : VARIANT_FALSE;
            return;
        case VariantKind::Int16:
            out->vt = VT_I2;
            out->iVal = value.AsInt16();
            return;
        case VariantKind::Int32:
            out->vt = VT_I4;
            out->lVal = value.AsInt32();
            return;
        case VariantKind::Double:
            out->vt = VT_R8;
            out->dblVal = value.AsDouble();
            return;
        case VariantKind::Text:
            out->bstrVal = MakeBstr(value.AsText());
            out->vt = VT_BSTR;
            return;
        case VariantKind::Int16Array:
            out->parray = MakeArray<std::int16_t>(VT_I2, value.AsInt16Array());
            out->vt = VT_ARRAY | VT_I2;
            return;
        case VariantKind::DoubleArray:
            out->parray = MakeArray<double>(VT_R8, value.AsDoubleArray());
            out->vt = VT_ARRAY | VT_R8;
            return;
        case VariantKind::VariantArray:
            out->parray = MakeVariantArray(value.AsVariantArray());
            out->vt = VT_ARRAY | VT_VARIANT;
            return;
        case VariantKind::Object:
            // An empty reference travels as Nothing: a null IDispatch.
            out->pdispVal = ExposeObject(std::get<Object>(value.Data()));
            out->vt = VT_DISPATCH;
            return;
    }
}

Variant FromComVariant(const VARIANT& value) {
    const VARTYPE type = value.vt;
    if (type == (VT_BYREF | VT_VARIANT)) {
        if (!value.pvarVal) return {};
        return FromComVariant(*value.pvarVal);
    }
    if (type & VT_ARRAY) {
        SAFEARRAY* array =
            (type & VT_BYREF) ? (value.pparray ? *value.pparray : nullptr) : value.parray;
        return FromArray(type & VT_TYPEMASK, array);
    }
    if (type & VT_BYREF) {
        // A reference to a plain value: read it through a copy.
        if (!value.byref) return {};
        ComVariant copy;
        if (FAILED(VariantCopyInd(copy.Get(), const_cast<VARIANT*>(&value))))
            Fail(status::kTypeMismatch, "bad reference");
        return FromComVariant(copy.Ref());
    }
    switch (type) {
        case VT_EMPTY:
        case VT_NULL:
            return {};
        case VT_BOOL:
            return value.boolVal != VARIANT_FALSE;
        case VT_I2:
            return std::int16_t{value.iVal};
        case VT_I4:
            return std::int32_t{value.lVal};
        case VT_R8:
            return value.dblVal;
        case VT_BSTR:
            return FromBstr(value.bstrVal);
        case VT_DISPATCH:
            return value.pdispVal ? WrapDispatch(value.pdispVal) : Variant(Object{});
        case VT_UNKNOWN:
            return FromUnknown(value.punkVal);
        case VT_I1:
        case VT_UI1:
        case VT_UI2:
        case VT_INT:
            return FromOtherNumber(value, VT_I4);
        case VT_R4:
        case VT_UI4:
        case VT_UINT:
        case VT_I8:
        case VT_UI8:
        case VT_CY:
        case VT_DECIMAL:
        case VT_DATE:
            return FromOtherNumber(value, VT_R8);
        default:
            Fail(status::kTypeMismatch, "unsupported value type");
    }
}

}  // namespace velmora
