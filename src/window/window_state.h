// The state the main window owns for its whole life, and the seams through
// which a command reaches the outside (the ProgID directory, message boxes,
// dialogs, the window's own display). Commands take these by reference;
// they never touch a toolkit.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "automation/directory.h"
#include "window/cad_session.h"
#include "window/control_values.h"
#include "window/pile_register.h"
#include "window/pile_sample.h"

namespace velmora {

struct WindowState {
    ControlValues controls = InitialControlValues();
    CadSession cadSession;
    PileRegister pileRegister;
    std::int16_t pileCount = 0;
    Object excelApplication;
    Object excelWorkbook;
    Object excelWorksheet;
    // Chosen with "按样例选桩…"; kept until cleared or the window closes.
    std::optional<PileSample> pileSample;
    // The stake-out file written last, offered again by the save dialog.
    std::string stakeOutPath;
};

// A type of file the save dialog offers: "CSV (*.csv)" and "csv".
struct FileType {
    std::string_view description;
    std::string_view extension;
};

struct SaveRequest {
    std::string_view title;
    std::string suggestedPath;  // UTF-8
    std::span<const FileType> types;
    int type = 0;  // offered first
};

// The file the user chose in the save dialog (UTF-8), as typed, and the
// index of the file type chosen.
struct SaveChoice {
    std::string path;
    int type = 0;
};

// Both commands find programs through the same directory, which outlives
// the window; the hooks are filled in by the views (and tests).
struct WindowServices {
    explicit WindowServices(ProgIdDirectory& programs) : directory(programs) {}

    ProgIdDirectory& directory;
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
    // A modal question with one button per answer; the index of the answer
    // chosen, or -1 when the box was closed without one.
    std::function<int(std::string_view text, std::span<const std::string_view> answers)> ask;
    // The system's save dialog, asking before it replaces a file; nothing
    // when the user cancels it.
    std::function<std::optional<SaveChoice>(const SaveRequest& request)> chooseSaveFile;
    // A modal box titled "关于 Velmora", with the information icon.
    std::function<void(std::string_view text)> showAbout;
};

}  // namespace velmora
