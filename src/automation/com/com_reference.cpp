#include "automation/com/com_reference.h"

#include <utility>

#include "automation/com/com_value.h"
#include "automation/failure.h"
#include "automation/status.h"

namespace velmora {

namespace {

// Moves the converted value into a typed reference; false for a type the
// stand-ins never take by reference.
bool StoreTyped(VARIANT& reference, VARIANT& converted) {
    switch (reference.vt & VT_TYPEMASK) {
        case VT_R8:
            *reference.pdblVal = converted.dblVal;
            return true;
        case VT_I4:
            *reference.plVal = converted.lVal;
            return true;
        case VT_I2:
            *reference.piVal = converted.iVal;
            return true;
        case VT_BOOL:
            *reference.pboolVal = converted.boolVal;
            return true;
        case VT_BSTR:
            SysFreeString(*reference.pbstrVal);
            *reference.pbstrVal = std::exchange(converted.bstrVal, nullptr);
            return true;
        case VT_DISPATCH:
            if (*reference.ppdispVal) (*reference.ppdispVal)->Release();
            *reference.ppdispVal = std::exchange(converted.pdispVal, nullptr);
            return true;
        default:
            return false;
    }
}

}  // namespace

bool PassedByReference(const VARIANT& argument) {
    return (argument.vt & VT_BYREF) != 0 && argument.byref != nullptr;
}

void StoreThroughReference(VARIANT& reference, const Variant& value) {
    if (!PassedByReference(reference)) return;
    ComVariant fresh;
    ToComVariant(value, fresh.Get());
    if (reference.vt == (VT_BYREF | VT_VARIANT)) {
        if (FAILED(VariantClear(reference.pvarVal))) Fail(status::kTypeMismatch, "reference");
        *reference.pvarVal = *fresh.Get();
        VariantInit(fresh.Get());  // handed over
        return;
    }
    const VARTYPE type = reference.vt & ~VT_BYREF;
    if ((type & (VT_ARRAY | VT_VECTOR)) != 0 ||
        FAILED(VariantChangeType(fresh.Get(), fresh.Get(), 0, type)) ||
        !StoreTyped(reference, *fresh.Get())) {
        Fail(status::kTypeMismatch, "a result of another type than its argument");
    }
    VariantInit(fresh.Get());  // what it owned went into the reference
}

}  // namespace velmora
