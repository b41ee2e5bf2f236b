#include "app/win32/task_dialog.h"

namespace velmora {

TaskDialogFunction FindTaskDialog() {
    HMODULE controls = GetModuleHandleW(L"comctl32.dll");
    if (!controls) return nullptr;
    return reinterpret_cast<TaskDialogFunction>(
        reinterpret_cast<void*>(GetProcAddress(controls, "TaskDialogIndirect")));
}

}  // namespace velmora
