// The main window: the one object that owns state. It holds the window state
// (settings in the controls, the CAD session, the pile register, the Excel
// references) and the services through which commands reach the outside.
// Views render kControls, forward what the user does to this class and show
// what it reports back; every decision about keys, focus and commands is
// made here.
#pragma once

#include <cstdint>
#include <string>

#include "window/window_state.h"

namespace velmora {

// A text box's selection, in UTF-16 code units as both toolkits count them.
struct TextSelection {
    int start = 0;
    int length = 0;
};

class ForTamrisk {
  public:
    explicit ForTamrisk(WindowServices services);

    WindowState& State() { return state_; }
    const WindowState& State() const { return state_; }
    // Views fill in the hooks they provide (showWindow, textChanged, and
    // showMessage unless a test has set it).
    WindowServices& Services() { return services_; }

    // The commands, each run to its end on the calling (UI) thread. A
    // command asked for while another runs (the pick keeps the toolkit's
    // events flowing) is ignored.
    void FilterMtext();            // Command1 "编号"
    void ExportCoordinateTable();  // Command3 "导出桩坐标"
    // The extra menu's commands (window/extra_menu.h).
    void PickPileSample();      // "按样例选桩…"
    void ExportStakeOutFile();  // "导出测量坐标…"
    void ShowAbout();           // "关于 Velmora"
    bool CommandRunning() const { return commandRunning_; }

    // A command button was clicked, or an item of the extra menu chosen:
    // runs the command its table names. True when the window has unloaded
    // (by Cancel, or by an unload asked for while the command ran): the
    // view then closes.
    bool Click(Command command);

    // Command2 "取消" or the close control: releases CadApplication,
    // CadDocument and ExcelApplication, in that order, continue-on-failure.
    // The program ends after it; a second call does nothing. Asked for
    // while a command runs, it happens as soon as the command has ended, so
    // no command loses its objects halfway; returns whether it happened now.
    bool Unload();
    bool Unloaded() const { return unloaded_; }

    // Key filter for a character typed into Text1(index): the code to let
    // through, or 0 to discard it. Prefix and suffix take everything; the
    // numeric boxes only digits, "." and backspace.
    static std::int16_t KeyPress(int index, std::int16_t code);
    // Whether Text1(index) takes text from an input method, which composes
    // characters past the key filter: only the boxes that take everything.
    static bool TakesInputMethod(int index);

    // Text1(index) got the focus: its whole text becomes the selection.
    TextSelection GotFocus(int index) const;

    // View → model: the user edited Text1(index), or selected the option
    // button at kControls position `position`.
    void TextEdited(int index, std::string text);
    void OptionSelected(int position);

  private:
    WindowState state_;
    WindowServices services_;
    template <class Body>
    void RunCommand(Command command, Body&& body);

    bool unloaded_ = false;
    bool commandRunning_ = false;
    bool unloadPending_ = false;
};

}  // namespace velmora
