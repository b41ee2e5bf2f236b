// The busy dialog: AutoCAD or Excel keeps rejecting a call; the user
// switches to it, retries or cancels. In Chinese, whatever the language of
// Windows (the system's own OleUIBusy speaks Windows' language).
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

#include "automation/com/busy_filter.h"

namespace velmora {

// The main instruction and the explanation the dialog shows for the program
// whose main window has the title `program` (empty when none is known).
struct BusyText {
    std::wstring instruction;
    std::wstring content;
};
BusyText BusyTextFor(std::wstring_view program);

// Shows the dialog, owned by `owner`, and returns the answer; "switch to"
// has already brought the busy program forward.
BusyAnswer AskAboutBusyProgram(HWND owner, const BusyCall& call);

// The buttons' ids, for tests that answer the dialog.
inline constexpr int kBusySwitchTo = 100;
inline constexpr int kBusyRetry = 101;

}  // namespace velmora
