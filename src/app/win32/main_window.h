// The Win32 view of the main window: renders kControls at the window's DPI,
// forwards clicks, typed characters, edits, focus and option changes to
// ForTamrisk, and shows what a command writes back. It holds no settings
// and makes no decisions of its own.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <array>
#include <functional>
#include <string_view>

#include "app/for_tamrisk.h"
#include "app/win32/gdi.h"

namespace velmora {

inline constexpr wchar_t kMainWindowClass[] = L"VelmoraMainWindow";

// The child-window identifier of kControls[position] (GetDlgItem on its
// container finds it).
constexpr int ControlId(int position) { return 1000 + position; }

// The menu identifier of kExtraMenu[index], in the system menu and the
// right-click menu alike: below 0xF000 with the four low bits clear, which
// WM_SYSCOMMAND keeps for the system.
constexpr UINT ExtraMenuId(int index) { return 0x100 + 0x10 * static_cast<UINT>(index); }

class Win32MainWindow {
  public:
    // Creates the window, hidden, and fills the window's services with this
    // view's hooks (a showMessage already set by a test is kept). onClosed
    // runs when the window has unloaded and is gone.
    Win32MainWindow(ForTamrisk& window, HINSTANCE instance, std::function<void()> onClosed = {});
    ~Win32MainWindow();
    Win32MainWindow(const Win32MainWindow&) = delete;
    Win32MainWindow& operator=(const Win32MainWindow&) = delete;

    HWND Handle() const { return window_; }
    // The window rendering kControls[position], or nullptr.
    HWND Control(int position) const;
    HWND Control(std::string_view name, int index = -1) const;
    // The control's position in kControls, or -1.
    int PositionOf(HWND control) const;
    int Dpi() const { return dpi_; }

    // Keyboard navigation for a message about to be dispatched: Tab and
    // Shift+Tab by tab index, arrows within an option group. True when the
    // message was used and must not be dispatched.
    bool PreTranslate(MSG& message);

    // Places and sizes every control and sets the fonts for dpi.
    void Layout(int dpi);

    // Shows the extra menu's items as they are now (a checked sample item
    // with its own text) in the menu given: the system menu or a popup.
    void ShowExtraItems(HMENU menu) const;
    // Runs the extra menu's command of the identifier, as a button's; false
    // for an identifier that is none of them.
    bool RunExtra(UINT id);

    // The window class's procedure.
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  private:
    static LRESULT CALLBACK FrameProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR self);
    static LRESULT CALLBACK TextBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR id, DWORD_PTR self);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultButton() const;
    void OnActivate(WORD state);
    void OnDpiChanged(int dpi, const RECT& suggested);
    void RemoveSubclasses();
    void Detach();
    LRESULT OnTextBoxMessage(HWND box, int index, UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls(HINSTANCE instance);
    void OnCommand(int position, int code);
    void SelectWholeText(HWND box, int index);
    void SyncOptions();
    void ShowText(int index);
    void Close();
    void AddExtraMenu();
    void ProvideDialogs();
    void ShowContextMenu(HWND clicked, LPARAM at);

    ForTamrisk& model_;
    std::function<void()> onClosed_;
    HWND window_ = nullptr;
    std::array<HWND, kControlCount> controls_{};
    Font defaultFont_;
    Font songTiFont_;
    HWND savedFocus_ = nullptr;
    int dpi_ = USER_DEFAULT_SCREEN_DPI;
    bool updatingText_ = false;
    bool ownsShowMessage_ = false;
    bool ownsDialogs_ = false;
    std::array<bool, kControlCount> selectOnRelease_{};
};

// A modal box with the title "提示信息", the information icon and one OK button.
void ShowInformation(HWND owner, std::string_view text);

// Registers the main window's class once; false when Windows refuses.
bool RegisterMainWindowClass(HINSTANCE instance);

}  // namespace velmora
