// Arguments passed by reference at the IDispatch boundary, as a server sees
// them: a member may leave a result in each (Utility.GetEntity leaves the
// entity and the picked point).
#pragma once

#include "automation/com/win32_com.h"
#include "automation/variant.h"

namespace velmora {

// A VT_BYREF argument that points somewhere.
bool PassedByReference(const VARIANT& argument);

// Leaves value where a by-reference argument points, releasing what was
// there. A VARIANT reference takes any value; a typed one (VT_BYREF|VT_R8,
// VT_BYREF|VT_DISPATCH …) the value converted to its type, as the
// automation runtime coerces a result. A value that does not convert fails
// as a type mismatch and leaves the argument as it was.
void StoreThroughReference(VARIANT& reference, const Variant& value);

}  // namespace velmora
