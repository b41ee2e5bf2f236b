// The state the main window owns for its whole life, and the seams through
// which a command reaches the outside (the ProgID directory, message boxes,
// the window's own display). Commands take these by reference; they never
// touch a toolkit.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "automation/directory.h"
#include "window/cad_session.h"
#include "window/control_values.h"
#include "window/pile_register.h"

namespace velmora {

struct WindowState {
    ControlValues controls = InitialControlValues();
    CadSession cadSession;
    PileRegister pileRegister;
    std::int16_t pileCount = 0;
    Object excelApplication;
    Object excelWorkbook;
    Object excelWorksheet;
};

struct WindowServices {
    ProgIdDirectory* directory = nullptr;
    // A modal box: title "提示信息", information icon, a single OK button.
    std::function<void(std::string_view text)> showMessage;
    // Shows the main window (modeless), as the Number command does when it ends.
    std::function<void()> showWindow;
    // A command changed the text of Text1(index); the view shows it at once.
    std::function<void(int index)> textChanged;
    // Brings another program's main window (its HWND, or on Linux the
    // stand-in's window id) to the front and lets that program take the
    // foreground, so that the user can pick in it at once.
    std::function<void(std::int64_t windowHandle)> bringToFront;
    // What escaped a command, in one line with the command's caption, said
    // where the platform keeps such things (stderr when this is empty).
    std::function<void(std::string_view text)> sayEscaped;
    // A command begins, and has ended: the Windows backend keeps a busy
    // program's "cancel" for the one command it was given in.
    std::function<void()> commandStarted;
    std::function<void()> commandEnded;
};

}  // namespace velmora
