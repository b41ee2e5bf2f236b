#include "app/win32/main_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <memory>
#include <string>
#include <type_traits>

#include "app/layout.h"
#include "app/win32/dialogs.h"
#include "app/win32/dpi.h"
#include "app/win32/fonts.h"
#include "app/win32/foreground.h"
#include "text/utf16.h"
#include "window/extra_menu.h"

namespace velmora {

namespace {

constexpr DWORD kWindowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT;
constexpr UINT_PTR kSubclassId = 1;
constexpr int kIconResource = 1;

struct ControlClass {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

ControlClass ClassFor(int position) {
    // Siblings may overlap ("用户坐标" reaches into "世界坐标"): each control
    // draws only where no sibling above it lies.
    const DWORD child = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    switch (kControls[position].kind) {
        case ControlKind::Frame:
            // A frame is the parent of its controls; the keyboard walks into it.
            return {L"BUTTON", child | BS_GROUPBOX | WS_GROUP | WS_CLIPCHILDREN,
                    WS_EX_CONTROLPARENT};
        case ControlKind::OptionButton:
            // Checked from the window's state only: groups go by container,
            // which the toolkit's own automatic grouping does not know.
            return {L"BUTTON", child | BS_RADIOBUTTON | WS_TABSTOP | WS_GROUP, 0};
        case ControlKind::Label:
            return {L"STATIC", child | SS_LEFT | SS_NOPREFIX | WS_GROUP, 0};
        case ControlKind::TextBox:
            return {L"EDIT", child | ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP,
                    WS_EX_CLIENTEDGE};
        case ControlKind::CommandButton:
            return {L"BUTTON", child | BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, 0};
    }
    return {L"STATIC", child, 0};
}

std::wstring WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

}  // namespace

bool RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    if (GetClassInfoExW(instance, kMainWindowClass, &windowClass)) return true;
    windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = Win32MainWindow::WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kMainWindowClass;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kIconResource));
    windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconResource),
                                                        IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                        GetSystemMetrics(SM_CYSMICON), 0));
    return RegisterClassExW(&windowClass) != 0;
}

void ShowInformation(HWND owner, std::string_view text) {
    MessageBoxW(owner, Wide(text).c_str(), Wide(kMessageTitle).c_str(), MB_OK | MB_ICONINFORMATION);
}

Win32MainWindow::Win32MainWindow(ForTamrisk& window, HINSTANCE instance,
                                 std::function<void()> onClosed)
    : model_(window), onClosed_(std::move(onClosed)) {
    RegisterMainWindowClass(instance);
    CreateWindowExW(kWindowExStyle, kMainWindowClass, Wide(kWindowTitle).c_str(), kWindowStyle,
                    CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, nullptr, nullptr, instance, this);
    if (!window_) return;
    CreateControls(instance);
    Layout(WindowDpi(window_));

    WindowServices& services = model_.Services();
    if (!services.showMessage) {
        services.showMessage = [this](std::string_view text) { ShowInformation(window_, text); };
        ownsShowMessage_ = true;
    }
    services.showWindow = [this] {
        if (!window_) return;
        ShowWindow(window_, SW_SHOW);
        SetForegroundWindow(window_);
    };
    services.textChanged = [this](int index) { ShowText(index); };
    services.bringToFront = [](std::int64_t windowHandle) {
        BringProgramForward(reinterpret_cast<HWND>(static_cast<INT_PTR>(windowHandle)));
    };
    // A program without a console: where a debugger or DebugView finds it.
    services.sayEscaped = [](std::string_view text) {
        OutputDebugStringW((Wide(text) + L"\n").c_str());
    };
    ProvideDialogs();
    AddExtraMenu();
}

Win32MainWindow::~Win32MainWindow() {
    // The window's services must not call into a view that is gone.
    WindowServices& services = model_.Services();
    if (ownsShowMessage_) services.showMessage = nullptr;
    services.showWindow = nullptr;
    services.textChanged = nullptr;
    services.bringToFront = nullptr;
    services.sayEscaped = nullptr;
    if (ownsDialogs_) {
        services.ask = nullptr;
        services.chooseSaveFile = nullptr;
        services.showAbout = nullptr;
    }
    if (window_) {
        onClosed_ = nullptr;
        DestroyWindow(window_);
    }
    // The fonts go with their members, after the window that used them.
}

void Win32MainWindow::ProvideDialogs() {
    // A test that answers the dialogs itself keeps its own.
    WindowServices& services = model_.Services();
    if (services.ask || services.chooseSaveFile || services.showAbout) return;
    ownsDialogs_ = true;
    services.ask = [this](std::string_view text, std::span<const std::string_view> answers) {
        return Ask(window_, text, answers);
    };
    services.chooseSaveFile = [this](const SaveRequest& request) {
        return ChooseSaveFile(window_, request);
    };
    services.showAbout = [this](std::string_view text) { velmora::ShowAbout(window_, text); };
}

void Win32MainWindow::AddExtraMenu() {
    HMENU system = GetSystemMenu(window_, FALSE);
    if (!system) return;
    AppendMenuW(system, MF_SEPARATOR, 0, nullptr);
    for (int i = 0; i < static_cast<int>(kExtraMenu.size()); ++i) {
        AppendMenuW(system, MF_STRING, ExtraMenuId(i), L"");
    }
    ShowExtraItems(system);
}

void Win32MainWindow::ShowExtraItems(HMENU menu) const {
    for (int i = 0; i < static_cast<int>(kExtraMenu.size()); ++i) {
        const ExtraMenuEntry shown = ShownEntry(model_.State(), kExtraMenu[i]);
        ModifyMenuW(menu, ExtraMenuId(i),
                    MF_BYCOMMAND | MF_STRING | (shown.checked ? MF_CHECKED : MF_UNCHECKED),
                    ExtraMenuId(i), Wide(shown.text).c_str());
    }
}

bool Win32MainWindow::RunExtra(UINT id) {
    for (int i = 0; i < static_cast<int>(kExtraMenu.size()); ++i) {
        if (id != ExtraMenuId(i)) continue;
        if (model_.Click(kExtraMenu[i].command) && window_) DestroyWindow(window_);
        return true;
    }
    return false;
}

void Win32MainWindow::ShowContextMenu(HWND clicked, LPARAM at) {
    // Text boxes keep their own editing menu.
    const int position = PositionOf(clicked);
    if (position >= 0 && kControls[position].kind == ControlKind::TextBox) return;
    POINT point{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
    if (point.x == -1 && point.y == -1) {  // from the keyboard: at the window's client area
        point = {0, 0};
        ClientToScreen(window_, &point);
    }
    const std::unique_ptr<std::remove_pointer_t<HMENU>, decltype(&DestroyMenu)> menu(
        CreatePopupMenu(), &DestroyMenu);
    if (!menu) return;
    for (int i = 0; i < static_cast<int>(kExtraMenu.size()); ++i) {
        AppendMenuW(menu.get(), MF_STRING, ExtraMenuId(i), L"");
    }
    ShowExtraItems(menu.get());
    const UINT chosen =
        static_cast<UINT>(TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                         point.x, point.y, 0, window_, nullptr));
    if (chosen != 0) RunExtra(chosen);
}

HWND Win32MainWindow::Control(int position) const {
    if (position < 0 || position >= kControlCount) return nullptr;
    return controls_[position];
}

HWND Win32MainWindow::Control(std::string_view name, int index) const {
    return Control(ControlAt(name, index));
}

int Win32MainWindow::PositionOf(HWND control) const {
    if (!control) return -1;
    for (int i = 0; i < kControlCount; ++i) {
        if (controls_[i] == control) return i;
    }
    return -1;
}

void Win32MainWindow::CreateControls(HINSTANCE instance) {
    // Containers come before their children in the table.
    for (int i = 0; i < kControlCount; ++i) {
        const ControlSpec& entry = kControls[i];
        const ControlClass kind = ClassFor(i);
        HWND parent = entry.container.empty() ? window_ : Control(entry.container);
        const std::string& text = entry.kind == ControlKind::TextBox
                                      ? model_.State().controls.text[i]
                                      : std::string(entry.caption);
        controls_[i] = CreateWindowExW(
            kind.exStyle, kind.className, Wide(text).c_str(), kind.style, 0, 0, 0, 0, parent,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(i))), instance, nullptr);
        if (!controls_[i]) continue;
        if (entry.kind == ControlKind::Frame) {
            // Frames pass their controls' notifications on to the window.
            SetWindowSubclass(controls_[i], FrameProc, kSubclassId,
                              reinterpret_cast<DWORD_PTR>(this));
        } else if (entry.kind == ControlKind::TextBox) {
            SetWindowSubclass(controls_[i], TextBoxProc, kSubclassId,
                              reinterpret_cast<DWORD_PTR>(this));
        }
    }
    // Where siblings overlap, the later in the table lies above, draws and
    // takes the mouse. A frame lying inside a sibling frame's rectangle
    // stacks above it all the same, or the outer frame would be hit over
    // the inner one's controls.
    for (HWND control : controls_) {
        if (control) {
            SetWindowPos(control, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
    for (int outer = 0; outer < kControlCount; ++outer) {
        for (int inner = 0; inner < kControlCount; ++inner) {
            if (StacksAbove(inner, outer) && controls_[inner]) {
                SetWindowPos(controls_[inner], HWND_TOP, 0, 0, 0, 0,
                             SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            }
        }
    }
    SyncOptions();
    savedFocus_ = Control(NextTabStop(model_.State().controls, -1, false));
}

void Win32MainWindow::Layout(int dpi) {
    dpi_ = dpi;
    const PixelRect client = ClientRect(dpi);
    RECT outer =
        OuterRectForClient({0, 0, client.width, client.height}, kWindowStyle, kWindowExStyle, dpi);
    SetWindowPos(window_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    Font defaultFont = CreateControlFont(ControlFont::WindowDefault, dpi);
    Font songTiFont = CreateControlFont(ControlFont::SongTi, dpi);
    for (int i = 0; i < kControlCount; ++i) {
        if (!controls_[i]) continue;
        const PixelRect rect = ControlRect(i, dpi);
        SetWindowPos(controls_[i], nullptr, rect.left, rect.top, rect.width, rect.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        HFONT font =
            kControls[i].font == ControlFont::SongTi ? songTiFont.get() : defaultFont.get();
        SendMessageW(controls_[i], WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    // The controls hold the new fonts now; the old ones go.
    defaultFont_ = std::move(defaultFont);
    songTiFont_ = std::move(songTiFont);
}

bool Win32MainWindow::PreTranslate(MSG& message) {
    if (!window_ || (message.hwnd != window_ && !IsChild(window_, message.hwnd))) return false;
    if (message.message == WM_KEYDOWN && message.wParam == VK_TAB && GetKeyState(VK_CONTROL) >= 0 &&
        GetKeyState(VK_MENU) >= 0) {
        // Tab order goes by tab index across containers, which the dialog
        // manager's walk through the child windows cannot follow.
        const bool backwards = GetKeyState(VK_SHIFT) < 0;
        int at = PositionOf(GetFocus());
        for (int tries = 0; tries < kControlCount; ++tries) {
            at = NextTabStop(model_.State().controls, at, backwards);
            HWND next = Control(at);
            if (!next) break;
            if (IsWindowEnabled(next) && IsWindowVisible(next)) {
                SetFocus(next);
                break;
            }
        }
        return true;
    }
    if (message.message == WM_KEYDOWN &&
        (message.wParam == VK_LEFT || message.wParam == VK_UP || message.wParam == VK_RIGHT ||
         message.wParam == VK_DOWN)) {
        // Arrows move to the next option button of the same frame and
        // select it.
        const int next = NextInOptionGroup(PositionOf(GetFocus()),
                                           message.wParam == VK_LEFT || message.wParam == VK_UP);
        if (next >= 0) {
            SetFocus(controls_[next]);
            model_.OptionSelected(next);
            SyncOptions();
            return true;
        }
    }
    return IsDialogMessageW(window_, &message) != FALSE;
}

LRESULT CALLBACK Win32MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* self = static_cast<Win32MainWindow*>(create->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Win32MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    return self->OnMessage(message, wParam, lParam);
}

LRESULT Win32MainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(static_cast<int>(LOWORD(wParam)) - ControlId(0), HIWORD(wParam));
            return 0;
        case WM_CLOSE:
            Close();
            return 0;
        case WM_SYSCOMMAND:
            if (RunExtra(static_cast<UINT>(wParam & 0xFFF0))) return 0;
            break;
        case WM_INITMENUPOPUP:
            if (HIWORD(lParam)) ShowExtraItems(reinterpret_cast<HMENU>(wParam));
            break;
        case WM_CONTEXTMENU:
            ShowContextMenu(reinterpret_cast<HWND>(wParam), lParam);
            return 0;
        case DM_GETDEFID:
            return DefaultButton();
        case WM_ACTIVATE:
            OnActivate(LOWORD(wParam));
            return 0;
        case WM_SETFOCUS:
            if (savedFocus_ && IsWindow(savedFocus_)) SetFocus(savedFocus_);
            return 0;
        case WM_DPICHANGED:
            OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_DESTROY:
            RemoveSubclasses();
            return 0;
        case WM_NCDESTROY:
            Detach();
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

LRESULT Win32MainWindow::DefaultButton() const {
    // Enter presses the command button that has the focus, as Space does.
    const int focused = PositionOf(GetFocus());
    if (focused >= 0 && kControls[focused].kind == ControlKind::CommandButton) {
        return MAKELRESULT(ControlId(focused), DC_HASDEFID);
    }
    return 0;
}

void Win32MainWindow::OnActivate(WORD state) {
    // Like a dialog: the focus comes back to where it was.
    if (state == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(window_, focus)) savedFocus_ = focus;
    } else if (savedFocus_ && IsWindow(savedFocus_)) {
        SetFocus(savedFocus_);
    }
}

void Win32MainWindow::OnDpiChanged(int dpi, const RECT& suggested) {
    Layout(dpi);
    SetWindowPos(window_, nullptr, suggested.left, suggested.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32MainWindow::RemoveSubclasses() {
    for (HWND control : controls_) {
        if (!control) continue;
        RemoveWindowSubclass(control, FrameProc, kSubclassId);
        RemoveWindowSubclass(control, TextBoxProc, kSubclassId);
    }
}

void Win32MainWindow::Detach() {
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    window_ = nullptr;
    controls_ = {};
    if (onClosed_) onClosed_();
}

void Win32MainWindow::OnCommand(int position, int code) {
    if (position < 0 || position >= kControlCount) return;
    const ControlSpec& entry = kControls[position];
    switch (entry.kind) {
        case ControlKind::CommandButton:
            if (code == BN_CLICKED && model_.Click(entry.command) && window_) {
                DestroyWindow(window_);
            }
            break;
        case ControlKind::OptionButton:
            if (code == BN_CLICKED) {
                model_.OptionSelected(position);
                SyncOptions();
            }
            break;
        case ControlKind::TextBox:
            if (code == EN_CHANGE && !updatingText_) {
                model_.TextEdited(entry.index, Narrow(WindowText(controls_[position])));
            }
            break;
        default:
            break;
    }
}

void Win32MainWindow::Close() {
    // Unloading cannot be refused; while a command runs it waits for the
    // command's end, and the window goes when it has happened.
    if (model_.Unload() && window_) DestroyWindow(window_);
}

void Win32MainWindow::SyncOptions() {
    for (int i = 0; i < kControlCount; ++i) {
        if (kControls[i].kind != ControlKind::OptionButton || !controls_[i]) continue;
        const bool selected = model_.State().controls.selected[i];
        SendMessageW(controls_[i], BM_SETCHECK, selected ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

void Win32MainWindow::ShowText(int index) {
    const int position = ControlAt("Text1", index);
    HWND box = Control(position);
    if (!box) return;
    const std::wstring text = Wide(model_.State().controls.text[position]);
    if (WindowText(box) == text) return;
    updatingText_ = true;
    SetWindowTextW(box, text.c_str());
    updatingText_ = false;
}

void Win32MainWindow::SelectWholeText(HWND box, int index) {
    const TextSelection selection = model_.GotFocus(index);
    SendMessageW(box, EM_SETSEL, static_cast<WPARAM>(selection.start),
                 static_cast<LPARAM>(selection.start) + selection.length);
}

LRESULT CALLBACK Win32MainWindow::FrameProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR, DWORD_PTR self) {
    auto* view = reinterpret_cast<Win32MainWindow*>(self);
    switch (message) {
        case WM_ERASEBKGND: {
            // A group box draws only its line and caption; as a container
            // it must clear the area its controls stand on.
            RECT client;
            GetClientRect(frame, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
            return 1;
        }
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
            if (view->window_) return SendMessageW(view->window_, message, wParam, lParam);
            break;
        default:
            break;
    }
    return DefSubclassProc(frame, message, wParam, lParam);
}

LRESULT CALLBACK Win32MainWindow::TextBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam,
                                              UINT_PTR, DWORD_PTR self) {
    auto* view = reinterpret_cast<Win32MainWindow*>(self);
    const int position = view->PositionOf(box);
    if (position < 0) return DefSubclassProc(box, message, wParam, lParam);
    return view->OnTextBoxMessage(box, kControls[position].index, message, wParam, lParam);
}

LRESULT Win32MainWindow::OnTextBoxMessage(HWND box, int index, UINT message, WPARAM wParam,
                                          LPARAM lParam) {
    const int position = PositionOf(box);
    switch (message) {
        case WM_CHAR: {
            const auto code =
                ForTamrisk::KeyPress(index, static_cast<std::int16_t>(static_cast<WORD>(wParam)));
            if (code == 0) return 0;
            wParam = static_cast<WORD>(code);
            break;
        }
        case WM_SETFOCUS: {
            const LRESULT result = DefSubclassProc(box, message, wParam, lParam);
            SelectWholeText(box, index);
            return result;
        }
        case WM_LBUTTONDOWN: {
            // A click that brings the focus places the caret when the button
            // goes down; the whole text is selected again once it is up.
            const bool focusing = GetFocus() != box;
            const LRESULT result = DefSubclassProc(box, message, wParam, lParam);
            selectOnRelease_[position] = focusing && GetFocus() == box;
            return result;
        }
        case WM_LBUTTONUP:
        case WM_CAPTURECHANGED: {
            const LRESULT result = DefSubclassProc(box, message, wParam, lParam);
            if (selectOnRelease_[position]) {
                selectOnRelease_[position] = false;
                if (GetFocus() == box) SelectWholeText(box, index);
            }
            return result;
        }
        default:
            break;
    }
    return DefSubclassProc(box, message, wParam, lParam);
}

}  // namespace velmora
