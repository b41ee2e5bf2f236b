// The Qt view's dialogs for the window's services: the about box, a
// question with its answers as buttons, and the save dialog.
#pragma once

#include <QWidget>
#include <optional>
#include <span>
#include <string_view>

#include "window/window_state.h"

namespace velmora {

// A modal box titled "关于 Velmora" with the information icon.
void ShowAbout(QWidget* parent, std::string_view text);
// A modal question with a button per answer; the answer's index, or -1.
int Ask(QWidget* parent, std::string_view text, std::span<const std::string_view> answers);
// The save dialog of the request; nothing when the user cancels it.
std::optional<SaveChoice> ChooseSaveFile(QWidget* parent, const SaveRequest& request);

}  // namespace velmora
