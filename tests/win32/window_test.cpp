// The Win32 window in-process under wine's null graphics driver: controls,
// geometry and fonts at three DPIs, the mouse over overlapping frames, the
// key filter, select-all on focus, keyboard order, option groups, message
// boxes and unloading.
#include <gtest/gtest.h>
// clang-format off
#include <windows.h>
#include <windowsx.h>
#include <commctrl.h>
// clang-format on

#include <functional>
#include <memory>
#include <stdexcept>
#include <thread>

#include "app/layout.h"
#include "app/win32/busy_dialog.h"
#include "app/win32/main_window.h"
#include "automation/directory.h"
#include "control_names.h"
#include "release_probe.h"
#include "window_probe.h"

namespace velmora::testing {
namespace {

// Twips to pixels, to the nearest pixel.
int Px(int twips, int dpi) { return (twips * dpi + 720) / 1440; }

void Pump() {
    for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&message);
}

RECT ScreenRect(HWND control) {
    RECT rect{};
    return GetWindowRect(control, &rect), rect;
}

WindowServices Services(ProgIdDirectory& directory,
                        std::function<void(std::string_view)> showMessage) {
    WindowServices services{directory};
    services.showMessage = std::move(showMessage);
    return services;
}

struct Fixture {
    LocalDirectory directory;
    ForTamrisk model;
    int closed = 0;
    std::unique_ptr<Win32MainWindow> view;

    // Without a message hook of the test's, the view shows real message boxes.
    explicit Fixture(std::function<void(std::string_view)> showMessage = {})
        : model(Services(directory, std::move(showMessage))),
          view(std::make_unique<Win32MainWindow>(model, GetModuleHandleW(nullptr),
                                                 [this] { ++closed; })) {
        ShowWindow(view->Handle(), SW_SHOW);
        SetForegroundWindow(view->Handle());
        SetFocus(view->Handle());
        Pump();
    }
    HWND operator()(std::string_view name, int i = -1) const { return view->Control(name, i); }
    bool Checked(int position) const { return Button_GetCheck(view->Control(position)); }
    // A key going down at the focus, as the program's message loop passes it;
    // Shift stays down until the next key.
    bool Key(WPARAM key, bool shift = false) {
        BYTE keys[256] = {};
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(keys);
        MSG message{GetFocus(), WM_KEYDOWN, key, 0, 0, {}};
        const bool used = view->PreTranslate(message);
        Pump();
        return used;
    }
    std::string FocusName() const { return ControlName(view->PositionOf(GetFocus())); }
    std::string Selected() const {
        return SelectedOptions([this](int i) { return Checked(i); });
    }
};

TEST(Win32Window, RendersEveryControlOfTheTableAtEachDpi) {
    Fixture w;
    HWND main = w.view->Handle();
    RECT client;
    GetClientRect(main, &client);
    EXPECT_EQ(std::pair(client.right, client.bottom), std::pair(366L, 261L));  // at 96 DPI

    // Frames clear the ground their controls stand on.
    HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
    HGDIOBJ previous = SelectObject(memory, CreateCompatibleBitmap(screen, 400, 300));
    for (const char* frame : {"Frame1", "Frame2", "Frame3", "Frame4"}) {
        GetClientRect(w(frame), &client);
        PatBlt(memory, 0, 0, 400, 300, BLACKNESS);
        SendMessageW(w(frame), WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory), 0);
        EXPECT_EQ(GetPixel(memory, client.right / 2, client.bottom / 2), GetSysColor(COLOR_BTNFACE))
            << frame;
    }
    DeleteObject(SelectObject(memory, previous));
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    // Of overlapping siblings the later takes the mouse: where "用户坐标"
    // reaches into "世界坐标", and at "圆", though Frame3's rectangle covers Frame2.
    const RECT world = ScreenRect(w("Option2", 2)), circle = ScreenRect(w("Option2", 0));
    EXPECT_EQ(WindowFromPoint({world.left + 4, world.top + 8}), w("Option2", 2));
    EXPECT_EQ(WindowFromPoint({(circle.left + circle.right) / 2, (circle.top + circle.bottom) / 2}),
              w("Option2", 0));
    // Group boxes let the mouse through, so only the stacking shows that
    // Frame2 lies above Frame3 and is not painted over: Frame3 is below it.
    HWND below = w("Frame2");
    while (below && below != w("Frame3")) below = GetWindow(below, GW_HWNDNEXT);
    EXPECT_EQ(below, w("Frame3"));

    // Only the controls follow the DPI: the frame around the client area is
    // wine's own, at 96 DPI. Both edges round, so neighbours keep their gaps.
    for (int dpi : {96, 120, 144}) {
        w.view->Layout(dpi);
        for (int i = 0; i < kControlCount; ++i) {
            const ControlSpec& e = kControls[i];
            SCOPED_TRACE(ControlName(i) + " at " + std::to_string(dpi) + " DPI");
            HWND control = w.view->Control(i);
            EXPECT_EQ(TextOf(control), e.caption);
            EXPECT_EQ(GetParent(control), e.container.empty() ? main : w(e.container));
            RECT rect = ScreenRect(control);
            MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
            EXPECT_EQ(std::tuple(rect.left, rect.top, rect.right, rect.bottom),
                      std::tuple(Px(e.left, dpi), Px(e.top, dpi), Px(e.left + e.width, dpi),
                                 Px(e.top + e.height, dpi)));
            // Option buttons are tab stops only while selected.
            const bool stop =
                e.kind == ControlKind::OptionButton ? w.Checked(i) : TakesFocus(e.kind);
            EXPECT_EQ((GetWindowLongW(control, GWL_STYLE) & WS_TABSTOP) != 0, stop);
            LOGFONTW f{};
            GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof f,
                       &f);
            EXPECT_FALSE(f.lfItalic || f.lfUnderline || f.lfStrikeOut);
            if (e.font == ControlFont::SongTi) {  // 宋体, 10.5 pt, regular, GB2312
                EXPECT_EQ(
                    std::tuple(std::wstring(f.lfFaceName), f.lfHeight, f.lfWeight, f.lfCharSet),
                    std::tuple(std::wstring(L"\u5B8B\u4F53"), -(105 * dpi + 360) / 720, 400, 134));
            } else {  // at least 9 pt
                EXPECT_TRUE(f.lfCharSet == DEFAULT_CHARSET && f.lfHeight <= -MulDiv(9, dpi, 72));
            }
        }
    }
}

TEST(Win32Window, BoxesSelectOnFocusAndFilterTypedCharacters) {
    Fixture w;
    SetWindowTextW(w("Text1", 2), L"ZH-\x6869");  // four UTF-16 units, six bytes
    SetFocus(w("Text1", 0));
    for (int index = 0; index < 6; ++index) {
        SCOPED_TRACE("Text1(" + std::to_string(index) + ")");
        HWND box = w("Text1", index);
        auto click = [box] {
            SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 5));
            SendMessageW(box, WM_LBUTTONUP, 0, MAKELPARAM(3, 5));
        };
        // Reached by program, by Tab or by a first click, a box selects its
        // whole text; a click in the box that has the focus only places the caret.
        if (index == 5) click();
        EXPECT_TRUE(index == 0 || index == 5 || w.Key(VK_TAB));
        EXPECT_EQ(GetFocus(), box);
        EXPECT_EQ(Edit_GetSel(box), MAKELRESULT(0, GetWindowTextLengthW(box)));
        if (index == 5) click();
        EXPECT_EQ(Edit_GetSel(box), index == 5 ? 0 : MAKELRESULT(0, GetWindowTextLengthW(box)));
        // Every box gets the same keys and keeps what the filter lets through.
        SetWindowTextW(box, L"");
        for (wchar_t c : std::wstring(L"-+1a.2.3\x4E2D\r\x1B\b")) SendMessageW(box, WM_CHAR, c, 1);
        const std::string expected = index == 2 || index == 3 ? "-+1a.2.3" : "1.2.";
        EXPECT_EQ(TextOf(box), expected);
        EXPECT_EQ(Text(w.model.State().controls, *TextBoxAt(index)), expected);
    }
    // A command writing back a text shows it at once; the view does not take
    // its own write for typing (a byte UTF-16 cannot hold stays in the model).
    SetText(w.model.State().controls, TextBox::StartNumber, "16\xFF");
    w.model.Services().textChanged(1);
    EXPECT_EQ(TextOf(w("Text1", 1)), "16\xEF\xBF\xBD");
    EXPECT_EQ(Text(w.model.State().controls, TextBox::StartNumber), "16\xFF");
}

TEST(Win32Window, TabByTabIndexAndArrowsAndClicksWithinFrames) {
    Fixture w;
    std::string visited = w.FocusName();
    for (int i = 0; i < 12; ++i) visited += " " + std::string(w.Key(VK_TAB) ? w.FocusName() : "?");
    EXPECT_EQ(visited,
              "Option1(0) Text1(0) Text1(1) Text1(2) Text1(3) Text1(4) Text1(5) Command1 Command2 "
              "Command3 Option3(1) Option2(1) Option1(0)");
    w.Key(VK_TAB, true);
    EXPECT_EQ(w.FocusName(), "Option2(1)");
    // Clicks select within the frame: "世界坐标" pairs with "用户坐标", not
    // with the pile types; each group's stop moves to its selected button.
    SendMessageW(w("Option1", 2), BM_CLICK, 0, 0);
    SendMessageW(w("Option2", 2), BM_CLICK, 0, 0);
    // The window shows the model's selection.
    EXPECT_EQ(w.Selected(), "Option1(2) Option2(1) Option2(2)");

    // Arrows move to the next button of the focused one's frame, in table
    // order, wrapping round, and select it; in a text box they move nothing.
    const std::tuple<const char*, int, WPARAM, const char*> arrows[] = {
        {"Option3", 1, VK_DOWN, "Option2(2)"}, {"Option2", 2, VK_RIGHT, "Option3(1)"},
        {"Option3", 1, VK_UP, "Option2(2)"},   {"Option2", 1, VK_DOWN, "Option2(0)"},
        {"Option1", 3, VK_DOWN, "Option1(0)"}, {"Option1", 0, VK_LEFT, "Option1(3)"},
        {"Option1", 3, VK_UP, "Option1(2)"},   {"Text1", 0, VK_DOWN, "Text1(0)"}};
    for (auto [name, index, key, to] : arrows) {
        SetFocus(w(name, index));
        w.Key(key);
        EXPECT_EQ(w.FocusName(), to) << name << "(" << index << ") key " << key;
    }
    EXPECT_EQ(w.Selected(), "Option1(2) Option2(0) Option2(2)");
}

// Closed by the close control, by "取消" clicked or pressed with Enter, or
// while "编号" waits on its message box (no AutoCAD in the directory): the
// close waits for the command's end, and the same references go.
TEST(Win32Window, EveryWayOfClosingReleasesTheSameReferences) {
    const char* const ways[] = {"the close control", "取消 clicked", "Enter on 取消",
                                "closed while 编号 waits on its message"};
    for (int way = 0; way < 4; ++way) {
        SCOPED_TRACE(ways[way]);
        auto log = std::make_shared<CallLog>();
        Fixture w(way == 3 ? nullptr : std::function<void(std::string_view)>([](auto) {}));
        auto released = FillWithProbes(w.model.State(), log);
        HWND main = w.view->Handle();
        std::string shown;  // the message box: title, text, icon, and the window while it is up
        std::thread answer([&, uiThread = GetCurrentThreadId()] {
            HWND box = nullptr;
            if (way < 3 || !WaitFor(
                               [&] {
                                   // The box is found before its text is in.
                                   box = FindThreadWindow(uiThread, L"#32770");
                                   return box && !TextOf(GetDlgItem(box, 0xFFFF)).empty();
                               },
                               5000)) {
                return;
            }
            shown = TextOf(box) + "|" + TextOf(GetDlgItem(box, 0xFFFF));
            for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
                if (SendMessageW(c, STM_GETICON, 0, 0)) shown += "|icon";
            SendMessageW(main, WM_CLOSE, 0, 0);
            if (IsWindow(main) && released->empty()) shown += "|open";
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        });
        SetFocus(w("Command2"));
        if (way == 0) SendMessageW(main, WM_CLOSE, 0, 0);
        if (way == 1) SendMessageW(w("Command2"), BM_CLICK, 0, 0);
        if (way == 2) w.Key(VK_RETURN);  // Enter presses the focused command button
        if (way == 3) SendMessageW(w("Command1"), BM_CLICK, 0, 0);
        answer.join();
        EXPECT_EQ(shown, way == 3 ? "提示信息|请先打开CAD软件！|icon|open" : "");
        EXPECT_EQ(std::tuple(IsWindow(main), w.closed, w.model.Unloaded()), std::tuple(0, 1, true));
        // AutoCAD, its drawing and Excel, in that order; the workbook goes
        // with the window's state when the program ends.
        EXPECT_EQ(*released, kUnloadReleases);
        EXPECT_TRUE(way == 3 || log->calls.empty());  // nothing asked: AutoCAD and Excel run on
        // The view takes its hooks with it; a test's own message hook stays.
        w.view.reset();
        EXPECT_FALSE(w.model.Services().showWindow || w.model.Services().textChanged ||
                     w.model.Services().bringToFront || w.model.Services().sayEscaped);
        EXPECT_EQ(static_cast<bool>(w.model.Services().showMessage), way < 3);
    }
}

// What the controls of this thread's dialog say, once it is up, before
// `button` is clicked.
std::thread AnswerDialog(int button, std::string& said) {
    return std::thread([button, &said, ui = GetCurrentThreadId()] {
        HWND dialog = nullptr;
        if (!WaitFor([&] { return (dialog = FindThreadWindow(ui, L"#32770")) != nullptr; }, 5000))
            return;
        Sleep(200);  // its controls are made after the window
        EnumChildWindows(
            dialog,
            [](HWND child, LPARAM all) {
                return *reinterpret_cast<std::string*>(all) += TextOf(child) + "|", TRUE;
            },
            reinterpret_cast<LPARAM>(&said));
        SendMessageW(dialog, TDM_CLICK_BUTTON, static_cast<WPARAM>(button), 0);
    });
}

// The view hands the foreground to the window a handle names (restoring a
// minimised one; a handle of no window changes nothing). The busy dialog
// names the program by its window's title; its three buttons give the
// three answers, and "switch to" brings the program forward.
TEST(Win32Window, HandsTheForegroundOnAndAsksAboutABusyProgram) {
    Fixture w;
    HWND cad = CreateWindowExW(0, L"STATIC", L"AutoCAD - [a.dwg]", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                               0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
    ShowWindow(cad, SW_MINIMIZE);
    const auto foreground = [&](INT_PTR handle) {
        SetForegroundWindow(w.view->Handle());
        w.model.Services().bringToFront(handle);
        return Pump(), GetForegroundWindow();
    };
    EXPECT_EQ(foreground(reinterpret_cast<INT_PTR>(cad) + 4), w.view->Handle());
    EXPECT_EQ(foreground(reinterpret_cast<INT_PTR>(cad)), cad);
    EXPECT_FALSE(IsIconic(cad));
    for (const auto& [button, answer] :
         {std::pair{IDCANCEL, BusyAnswer::Cancel}, std::pair{kBusyRetry, BusyAnswer::Retry},
          std::pair{kBusySwitchTo, BusyAnswer::SwitchTo}}) {
        SetForegroundWindow(w.view->Handle());
        std::string said;
        std::thread answering = AnswerDialog(button, said);
        EXPECT_EQ(AskAboutBusyProgram(w.view->Handle(), {GetCurrentThreadId(), 3000}), answer);
        answering.join();
        EXPECT_NE(said.find("“AutoCAD - [a.dwg]”正忙|"), std::string::npos) << said;
    }
    EXPECT_EQ(GetForegroundWindow(), cad);
    DestroyWindow(cad);
}

// A program without a console: what escapes a command is said through
// OutputDebugString, where a debugger or DebugView shows it; read here
// through the debug monitor's buffer.
TEST(Win32Window, WhatEscapesACommandIsSaidToTheDebugger) {
    Fixture w([](std::string_view) { throw std::runtime_error("no display"); });
    const HANDLE buffer =
        CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, L"DBWIN_BUFFER");
    const HANDLE ready = CreateEventW(nullptr, FALSE, TRUE, L"DBWIN_BUFFER_READY");
    const HANDLE data = CreateEventW(nullptr, FALSE, FALSE, L"DBWIN_DATA_READY");
    SendMessageW(w("Command1"), BM_CLICK, 0, 0);  // no AutoCAD: the message box fails
    ASSERT_EQ(WaitForSingleObject(data, 5000), WAIT_OBJECT_0);
    const void* view = MapViewOfFile(buffer, FILE_MAP_READ, 0, 0, 4096);
    const std::string said(static_cast<const char*>(view) + sizeof(DWORD));
    UnmapViewOfFile(view);
    for (HANDLE handle : {buffer, ready, data}) CloseHandle(handle);
    EXPECT_EQ(said.rfind("Velmora: a failure ended the command ", 0), 0u) << said;
    EXPECT_NE(said.find(": no display\n"), std::string::npos) << said;
}

}  // namespace
}  // namespace velmora::testing
