// An object reached only through COM: the adapter in front, ComObject behind,
// so every call crosses a real IDispatch.
#pragma once

#include "automation/com/com_object.h"
#include "automation/com/dispatch_adapter.h"

namespace velmora::testing {

inline Object ThroughCom(const Object& object) {
    IDispatch* dispatch = ExposeObject(object);
    Object wrapped = WrapDispatch(dispatch);
    dispatch->Release();
    return wrapped;
}

}  // namespace velmora::testing
