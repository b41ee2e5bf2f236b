// The Win32 view's dialogs for the window's services: the about box, a
// question with its answers as buttons, and the system's save dialog.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <optional>
#include <span>
#include <string_view>

#include "window/window_state.h"

namespace velmora {

// A modal box titled "关于 Velmora" with the information icon.
void ShowAbout(HWND owner, std::string_view text);
// A modal question with a button per answer (a task dialog; without one, a
// message box whose Yes and No stand for the first two answers); the
// answer's index, or -1 when it was closed without one.
int Ask(HWND owner, std::string_view text, std::span<const std::string_view> answers);
// The common save dialog (GetSaveFileNameW), asking before it replaces a
// file; nothing when the user cancels it.
std::optional<SaveChoice> ChooseSaveFile(HWND owner, const SaveRequest& request);

}  // namespace velmora
