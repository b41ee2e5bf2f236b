// Registry entries that make the stand-in servers reachable by ProgID: the
// ProgID's CLSID and, for a server that is started on demand, its command
// line. Wine reads classes only from HKLM\Software\Classes; Windows merges
// HKCU\Software\Classes into the classes root, so there the user's hive
// is the right place.
#pragma once

#include <string>
#include <string_view>

#include "automation/com/win32_com.h"

namespace velmora::standins {

// The stand-in AutoCAD, one class per ProgID so that a server registered
// under one of them is not found under another.
CLSID CadClassId(std::string_view progId);
// The stand-in Excel's class ("Excel.Application").
extern const CLSID kExcelClassId;

bool RunningUnderWine();

// progId → clsid; with a command line, also the class's LocalServer32.
// Returns false when the registry refuses.
bool RegisterProgId(std::string_view progId, const CLSID& clsid,
                    std::wstring_view serverCommand = {});
void UnregisterProgId(std::string_view progId, const CLSID& clsid);

}  // namespace velmora::standins
