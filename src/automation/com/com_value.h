// Values between the system's Variant and COM's VARIANT, as the automation
// runtime passes them: bool VT_BOOL, 16-bit VT_I2, 32-bit VT_I4, double
// VT_R8, text BSTR, arrays one-dimensional SAFEARRAYs, objects VT_DISPATCH.
#pragma once

#include <string>
#include <string_view>

#include "automation/com/win32_com.h"
#include "automation/variant.h"

namespace velmora {

// A VARIANT that clears itself.
class ComVariant {
  public:
    ComVariant() { VariantInit(&value_); }
    ~ComVariant() { VariantClear(&value_); }
    ComVariant(const ComVariant&) = delete;
    ComVariant& operator=(const ComVariant&) = delete;

    VARIANT* Get() { return &value_; }
    const VARIANT& Ref() const { return value_; }

  private:
    VARIANT value_;
};

// Fills an initialised, empty VARIANT; the caller clears it. Throws Failure
// (out of memory) and leaves it empty when it cannot be built.
void ToComVariant(const Variant& value, VARIANT* out);

// Reads a result or an argument. Also accepts references (VT_BYREF),
// VT_UNKNOWN that yields IDispatch, VT_EMPTY/VT_NULL, and the other numeric
// types widened to 32-bit integers or doubles. Anything else fails as a
// type mismatch.
Variant FromComVariant(const VARIANT& value);

BSTR MakeBstr(std::string_view text);
std::string FromBstr(BSTR text);

}  // namespace velmora
