// Our own automation objects (the stand-ins among them) exposed through
// IDispatch, so that other processes, or ComObject in this one, can drive
// them by name. DISPIDs are handed out per name on first lookup; a name the
// object does not have (Dispatch::HasMember) gets DISP_E_UNKNOWNNAME.
#pragma once

#include <cstdint>

#include "automation/com/win32_com.h"
#include "automation/object.h"

namespace velmora {

// A new reference to an IDispatch for object: the object's own interface
// when it already is a COM object, else an adapter. Null for an empty one.
IDispatch* ExposeObject(const Object& object);

// Live adapters and enumerators in this process, and their reference
// traffic, so tests can check that every reference was released.
struct AdapterCounts {
    long live = 0;
    long addRefs = 0;
    long releases = 0;
};
AdapterCounts CurrentAdapterCounts();

// The status a Failure becomes at the IDispatch boundary: the DISP_E_*
// statuses are returned as they are, anything else as DISP_E_EXCEPTION with
// the status in the exception's scode.
bool IsDispatchStatus(std::uint32_t status);

}  // namespace velmora
