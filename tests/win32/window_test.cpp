// The Win32 window in-process under wine's null graphics driver: controls,
// geometry, fonts, the key filter, select-all on focus, keyboard order,
// option groups, message boxes and unloading.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>

#include "app/win32/main_window.h"
#include "app/win32/text.h"
#include "automation/directory.h"
#include "fake_object.h"
#include "release_probe.h"
#include "server_process.h"

namespace velmora {
namespace {

std::wstring TextOf(HWND window) {
    wchar_t buffer[256] = {};
    GetWindowTextW(window, buffer, 256);
    return buffer;
}

// The control's rectangle in its parent's client coordinates.
RECT RectInParent(HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Twips to pixels at 96 DPI, to the nearest pixel.
int Px(int twips) { return (twips * 2 + 15) / 30; }

std::pair<int, int> Selection(HWND box) {
    DWORD start = 0, end = 0;
    SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {static_cast<int>(start), static_cast<int>(end)};
}

void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

struct Fixture {
    LocalDirectory directory;
    std::vector<std::string> messages;
    ForTamrisk model{[this] {
        WindowServices services;
        services.directory = &directory;
        return services;
    }()};
    int closed = 0;
    std::unique_ptr<Win32MainWindow> view;

    explicit Fixture(bool recordMessages = true) {
        if (recordMessages) {
            model.Services().showMessage = [this](std::string_view text) {
                messages.emplace_back(text);
            };
        }
        view = std::make_unique<Win32MainWindow>(model, GetModuleHandleW(nullptr),
                                                 [this] { ++closed; });
        ShowWindow(view->Handle(), SW_SHOW);
        SetForegroundWindow(view->Handle());
        SetFocus(view->Handle());
        Pump();
    }
    HWND operator()(std::string_view name, int index = -1) const {
        return view->Control(name, index);
    }
    void Type(HWND box, std::wstring_view text) {
        for (wchar_t c : text) SendMessageW(box, WM_CHAR, c, 1);
    }
    void Tab(bool backwards = false) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = backwards ? 0x80 : 0;
        SetKeyboardState(keys);
        MSG message{GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
        EXPECT_TRUE(view->PreTranslate(message));
        keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
    }
};

TEST(Win32Window, RendersEveryControlOfTheTable) {
    Fixture w;
    HWND main = w.view->Handle();
    ASSERT_TRUE(main);
    EXPECT_EQ(TextOf(main), L"Velmora");
    RECT client;
    GetClientRect(main, &client);
    EXPECT_EQ(client.right, 366);
    EXPECT_EQ(client.bottom, 261);
    ASSERT_EQ(w.view->Dpi(), 96);
    const HFONT songTi = reinterpret_cast<HFONT>(SendMessageW(w("Text1", 5), WM_GETFONT, 0, 0));
    ASSERT_TRUE(songTi);

    for (int i = 0; i < kControlCount; ++i) {
        const ControlSpec& entry = kControls[i];
        SCOPED_TRACE(std::string(entry.name) + "(" + std::to_string(entry.index) + ")");
        HWND control = w.view->Control(i);
        ASSERT_TRUE(control);
        EXPECT_EQ(Narrow(TextOf(control)), entry.caption);
        HWND container = entry.container.empty() ? main : w(entry.container);
        EXPECT_EQ(GetParent(control), container);
        const RECT rect = RectInParent(control);
        EXPECT_EQ(rect.left, Px(entry.left));
        EXPECT_EQ(rect.top, Px(entry.top));
        EXPECT_EQ(rect.right, Px(entry.left + entry.width));
        EXPECT_EQ(rect.bottom, Px(entry.top + entry.height));
        // Option buttons are tab stops only while selected.
        const bool stop =
            entry.kind == ControlKind::OptionButton ? entry.selected : TakesFocus(entry.kind);
        EXPECT_EQ((GetWindowLongW(control, GWL_STYLE) & WS_TABSTOP) != 0, stop);

        // One font for every control but the offset boxes.
        const HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
        EXPECT_EQ(font == songTi, entry.font == ControlFont::SongTi);
    }
    LOGFONTW font{};
    ASSERT_TRUE(GetObjectW(songTi, sizeof(font), &font));
    EXPECT_EQ(std::wstring(font.lfFaceName), L"\u5B8B\u4F53");
    EXPECT_EQ(font.lfHeight, -14);  // 10.5 pt at 96 DPI
    EXPECT_EQ(font.lfWeight, 400);
    EXPECT_EQ(font.lfCharSet, 134);
    EXPECT_FALSE(font.lfItalic || font.lfUnderline || font.lfStrikeOut);

    // Frames clear the ground their controls stand on.
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 400, 300);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    for (const char* frame : {"Frame1", "Frame2", "Frame3", "Frame4"}) {
        RECT rect;
        GetClientRect(w(frame), &rect);
        PatBlt(memory, 0, 0, 400, 300, BLACKNESS);
        SendMessageW(w(frame), WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory), 0);
        EXPECT_EQ(GetPixel(memory, rect.right / 2, rect.bottom / 2), GetSysColor(COLOR_BTNFACE))
            << frame;
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    // "点" and "圆" get the mouse although Frame3's rectangle covers Frame2:
    // a pointer click at "圆" selects it.
    for (HWND button : {w("Option2", 0), w("Option2", 1)}) {
        RECT rect;
        GetWindowRect(button, &rect);
        EXPECT_EQ(WindowFromPoint({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}),
                  button);
    }
    // Where "用户坐标" reaches into "世界坐标", the later button is hit.
    RECT world;
    GetWindowRect(w("Option2", 2), &world);
    EXPECT_EQ(WindowFromPoint({world.left + 4, world.top + 8}), w("Option2", 2));
    RECT circle;
    GetWindowRect(w("Option2", 0), &circle);
    SetCursorPos((circle.left + circle.right) / 2, (circle.top + circle.bottom) / 2);
    INPUT click[2] = {};
    click[0].type = click[1].type = INPUT_MOUSE;
    click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(SendInput(2, click, sizeof(INPUT)), 2u);
    for (int i = 0; i < 20 && !w.model.State().controls.selected[ControlAt("Option2", 0)]; ++i) {
        Sleep(10);
        Pump();
    }
    EXPECT_TRUE(w.model.State().controls.selected[ControlAt("Option2", 0)]);
    EXPECT_EQ(SendMessageW(w("Option2", 0), BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST(Win32Window, KeyFilterAndSelectAllOnFocus) {
    Fixture w;
    // Every box starts empty, gets the same keys, and keeps what the filter lets through.
    const std::wstring keys = L"-+1a.2.3\x4E2D\r\x1B";
    for (int index = 0; index < 6; ++index) {
        SCOPED_TRACE(index);
        HWND box = w("Text1", index);
        SetWindowTextW(box, L"");
        w.Type(box, keys);
        const bool free = index == 2 || index == 3;
        const std::wstring expected = free ? L"-+1a.2.3\x4E2D" : L"1.2.3";
        EXPECT_EQ(TextOf(box), expected);
        EXPECT_EQ(Text1(w.model.State().controls, index), Narrow(expected));
        w.Type(box, L"\b");
        EXPECT_EQ(TextOf(box), expected.substr(0, expected.size() - 1));
    }

    // Focus by program, by Tab and by mouse selects the whole text.
    HWND prefix = w("Text1", 2);
    SetWindowTextW(prefix, L"ZH-\x6869");
    SetFocus(w("Text1", 1));
    EXPECT_EQ(Selection(w("Text1", 1)), std::make_pair(0, 4));
    w.Tab();
    EXPECT_EQ(GetFocus(), prefix);
    EXPECT_EQ(Selection(prefix), std::make_pair(0, 4));  // UTF-16 units, not bytes
    HWND offset = w("Text1", 5);
    SendMessageW(offset, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 5));
    SendMessageW(offset, WM_LBUTTONUP, 0, MAKELPARAM(3, 5));
    EXPECT_EQ(GetFocus(), offset);
    EXPECT_EQ(Selection(offset), std::make_pair(0, 4));  // "1.2." left by the backspace
    // A click in a box that has the focus already only places the caret.
    SendMessageW(offset, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 5));
    SendMessageW(offset, WM_LBUTTONUP, 0, MAKELPARAM(3, 5));
    EXPECT_EQ(Selection(offset), std::make_pair(0, 0));

    // A command writing back a text shows it at once.
    SetText1(w.model.State().controls, 1, "16");
    w.model.Services().textChanged(1);
    EXPECT_EQ(TextOf(w("Text1", 1)), L"16");
}

TEST(Win32Window, TabOrderAndOptionGroups) {
    Fixture w;
    EXPECT_EQ(GetFocus(), w("Option1", 0));
    std::vector<HWND> visited;
    for (int i = 0; i < 12; ++i) {
        w.Tab();
        visited.push_back(GetFocus());
    }
    const std::vector<HWND> expected = {w("Text1", 0),   w("Text1", 1),   w("Text1", 2),
                                        w("Text1", 3),   w("Text1", 4),   w("Text1", 5),
                                        w("Command1"),   w("Command2"),   w("Command3"),
                                        w("Option3", 1), w("Option2", 1), w("Option1", 0)};
    EXPECT_EQ(visited, expected);
    w.Tab(true);
    EXPECT_EQ(GetFocus(), w("Option2", 1));

    auto checked = [&](std::string_view name, int index) {
        return SendMessageW(w(name, index), BM_GETCHECK, 0, 0) == BST_CHECKED;
    };
    // "世界坐标" pairs with "用户坐标" in its frame, not with the pile types.
    SendMessageW(w("Option2", 2), BM_CLICK, 0, 0);
    EXPECT_TRUE(checked("Option2", 2));
    EXPECT_FALSE(checked("Option3", 1));
    EXPECT_TRUE(checked("Option2", 1));
    EXPECT_FALSE(checked("Option2", 0));
    // The model holds the same selection the window shows.
    auto windowShowsModel = [&] {
        for (int i = 0; i < kControlCount; ++i) {
            if (kControls[i].kind != ControlKind::OptionButton) continue;
            const bool shown = SendMessageW(w.view->Control(i), BM_GETCHECK, 0, 0) == BST_CHECKED;
            if (shown != w.model.State().controls.selected[i]) return false;
        }
        return true;
    };
    EXPECT_TRUE(windowShowsModel());
    // Arrows move within the option group of the focused button's frame.
    SendMessageW(w("Option3", 1), BM_CLICK, 0, 0);
    SetFocus(w("Option3", 1));
    MSG down{GetFocus(), WM_KEYDOWN, VK_DOWN, 0, 0, {}};
    w.view->PreTranslate(down);
    Pump();
    EXPECT_EQ(GetFocus(), w("Option2", 2));
    EXPECT_TRUE(IsSelected(w.model.State().controls, "Option2", 2));
    EXPECT_TRUE(windowShowsModel());
    // Enter presses the focused command button: "取消" unloads.
    SetFocus(w("Command2"));
    MSG enter{GetFocus(), WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    w.view->PreTranslate(enter);
    Pump();
    EXPECT_EQ(w.closed, 1);
}

TEST(Win32Window, MessagesAreInformationBoxes) {
    // No AutoCAD in the directory: "编号" reports it in a real message box.
    Fixture w(false);
    std::wstring title, text;
    bool icon = false;
    const DWORD uiThread = GetCurrentThreadId();
    std::thread answer([&] {
        for (int i = 0; i < 200; ++i) {
            HWND box = testing::FindThreadWindow(uiThread, L"#32770");
            if (box) {
                title = TextOf(box);
                text = TextOf(GetDlgItem(box, 0xFFFF));
                for (HWND child = GetWindow(box, GW_CHILD); child;
                     child = GetWindow(child, GW_HWNDNEXT)) {
                    if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
                        SendMessageW(child, STM_GETICON, 0, 0)) {
                        icon = true;
                    }
                }
                PostMessageW(box, WM_COMMAND, IDOK, 0);
                return;
            }
            Sleep(25);
        }
    });
    SendMessageW(w("Command1"), BM_CLICK, 0, 0);
    answer.join();
    EXPECT_EQ(title, L"\u63D0\u793A\u4FE1\u606F");
    EXPECT_EQ(Narrow(text), "请先打开CAD软件！");
    EXPECT_TRUE(icon);
    EXPECT_EQ(w.closed, 0);
}

TEST(Win32Window, CloseAndCancelReleaseTheSameReferences) {
    for (const bool byCancel : {false, true}) {
        SCOPED_TRACE(byCancel ? "取消" : "close control");
        auto log = std::make_shared<testing::CallLog>();
        Fixture w;
        auto released = testing::FillWithProbes(w.model.State(), log);
        HWND main = w.view->Handle();
        if (byCancel) {
            SendMessageW(w("Command2"), BM_CLICK, 0, 0);
        } else {
            SendMessageW(main, WM_CLOSE, 0, 0);
        }
        EXPECT_FALSE(IsWindow(main));
        EXPECT_EQ(w.closed, 1);
        EXPECT_TRUE(w.model.Unloaded());
        // AutoCAD, its drawing and Excel, in that order; the workbook goes
        // with the window's state when the program ends.
        EXPECT_EQ(*released, testing::kUnloadReleases);
        // Nothing was asked of AutoCAD or Excel: they keep running.
        EXPECT_TRUE(log->calls.empty());
        // The view takes its hooks with it; a test's own message hook stays.
        w.view.reset();
        EXPECT_FALSE(w.model.Services().showWindow);
        EXPECT_FALSE(w.model.Services().textChanged);
        EXPECT_TRUE(w.model.Services().showMessage);
    }
}

TEST(Win32Window, CloseDuringACommandWaitsForItsEnd) {
    auto log = std::make_shared<testing::CallLog>();
    Fixture w;
    HWND main = w.view->Handle();
    bool openWhileRunning = false;
    auto cad = testing::MakeFake("cad", log);
    cad->OnGet("ActiveDocument", [&](std::span<const Variant>) {
        // The user closes the window while AutoCAD is being asked.
        SendMessageW(main, WM_CLOSE, 0, 0);
        openWhileRunning = IsWindow(main) && w.closed == 0;
        return Variant();
    });
    w.directory.RegisterRunning("AutoCAD.Application", cad);
    std::weak_ptr<testing::FakeObject> cadRef = cad;
    cad.reset();

    SendMessageW(w("Command1"), BM_CLICK, 0, 0);
    EXPECT_TRUE(openWhileRunning);
    EXPECT_FALSE(IsWindow(main));
    EXPECT_EQ(w.closed, 1);
    EXPECT_TRUE(w.model.Unloaded());
    EXPECT_FALSE(w.model.State().cadSession.cadApplication);
    w.directory.RevokeRunning("AutoCAD.Application");
    EXPECT_TRUE(cadRef.expired());
}

TEST(Win32Window, LayoutFollowsTheDpi) {
    Fixture w;
    // Only the controls: the frame around the client area is wine's own, at 96 DPI.
    w.view->Layout(144);
    EXPECT_EQ(RectInParent(w("Command3")).left, 198);
    EXPECT_EQ(RectInParent(w("Frame2")).top, 228);
    LOGFONTW songTi{}, other{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(w("Text1", 4), WM_GETFONT, 0, 0)),
               sizeof(songTi), &songTi);
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(w("Label1", 4), WM_GETFONT, 0, 0)),
               sizeof(other), &other);
    EXPECT_EQ(songTi.lfHeight, -21);  // 10.5 pt at 144 DPI
    EXPECT_LE(other.lfHeight, -18);   // at least 9 pt
}

}  // namespace
}  // namespace velmora
