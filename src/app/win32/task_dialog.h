// The task dialog of version 6 of the common controls, which the program's
// manifest asks for; looked up at run time, so that the view loads without
// them too (then only the message box is left).
#pragma once

#include <windows.h>
// The order matters: commctrl.h needs windows.h first.
#include <commctrl.h>

namespace velmora {

using TaskDialogFunction = HRESULT(WINAPI*)(const TASKDIALOGCONFIG*, int*, int*, BOOL*);

// TaskDialogIndirect, or nullptr where comctl32 lacks it.
TaskDialogFunction FindTaskDialog();

}  // namespace velmora
