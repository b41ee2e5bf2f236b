// The Win32 view's extra menu and save dialog in-process under wine (only
// the window's own process may read its system menu): the items below a
// separator in the system menu and on a right-click outside a text box,
// and "导出测量坐标…" through the common save dialog filled in as a user would.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <thread>

#include "app/win32/main_window.h"
#include "automation/com/com_directory.h"
#include "automation/directory.h"
#include "server_process.h"
#include "tap.h"
#include "window/extra_menu.h"
#include "window_probe.h"

namespace velmora::testing {
namespace {

struct Window {
    LocalDirectory ownDirectory;
    ForTamrisk model;
    Win32MainWindow view{model, GetModuleHandleW(nullptr)};
    std::vector<std::string> said;  // about boxes and messages

    // Programs are found in `programs`, else in a directory of its own.
    explicit Window(ProgIdDirectory* programs = nullptr)
        : model(WindowServices{programs ? *programs : ownDirectory}) {
        const auto say = [this](std::string_view text) { said.emplace_back(text); };
        model.Services().showAbout = model.Services().showMessage = say;
        model.State().pileSample = PileSample{SampleKind::Block, "桩位", "ZH-1"};
        ShowWindow(view.Handle(), SW_SHOW);
    }
};

// A menu's items from `first` on: a checked one marked "+", a separator "-".
std::vector<std::string> Items(HMENU menu, int first = 0) {
    std::vector<std::string> items;
    for (int i = first; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[128] = {};
        GetMenuStringW(menu, i, text, 128, MF_BYPOSITION);
        const UINT state = GetMenuState(menu, i, MF_BYPOSITION);
        items.push_back(state & MF_SEPARATOR ? "-"
                                             : Narrow(text) + (state & MF_CHECKED ? "+" : ""));
    }
    return items;
}

// The system menu ends in a separator and the items, the sample's checked;
// a right-click goes to the control under the pointer, which passes it up
// unless it has a menu of its own; the item chosen runs ("关于 Velmora").
TEST(Win32Extras, MenuInTheSystemMenuAndOnARightClick) {
    const std::vector<std::string> items = {"-", "按样例选桩：图块 ZH-1，图层 桩位+",
                                            "导出测量坐标…", "关于 Velmora"};
    Window w;
    HMENU system = GetSystemMenu(w.view.Handle(), FALSE);
    SendMessageW(w.view.Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(system),
                 MAKELPARAM(0, TRUE));
    EXPECT_EQ(Items(system, GetMenuItemCount(system) - 4), items);
    SendMessageW(w.view.Handle(), WM_SYSCOMMAND, ExtraMenuId(2), 0);
    // Down three times: "关于 Velmora".
    const std::tuple<const char*, int> cases[] = {{"Label1", 3}, {"Frame1", 0}, {"Text1", 0}};
    for (const auto& [name, downs] : cases) {
        HWND control = w.view.Control(name, *name == 'F' ? -1 : 2);
        std::vector<std::string> shown = {"-"};
        std::thread user([&, uiThread = GetCurrentThreadId(), downs = downs] {
            HWND popup = nullptr;
            if (!WaitFor([&] { return (popup = FindThreadWindow(uiThread, L"#32768")); }, 5000))
                return;
            const auto menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
            for (const std::string& item : Items(menu)) shown.push_back(item);
            for (int i = 0; i < downs; ++i) PostMessageW(popup, WM_KEYDOWN, VK_DOWN, 0);
            PostMessageW(popup, WM_KEYDOWN, downs ? VK_RETURN : VK_ESCAPE, 0);
        });
        SendMessageW(control, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(control), 0);
        user.join();
        EXPECT_EQ(shown == items, std::string_view(name) != "Text1") << name;
    }
    EXPECT_EQ(w.said.size(), 2u);
}

// The user in the save dialog: checks its title and types, chooses a type,
// types a name, presses Save and lets the file be replaced; or cancels.
void FillSaveDialog(DWORD uiThread, const std::wstring& name, int type, std::string& seen) {
    HWND dialog = nullptr, types = nullptr;
    if (!WaitFor(
            [&] {
                return (dialog = FindThreadWindow(uiThread, L"#32770")) &&
                       IsWindowVisible(dialog) &&
                       SendMessageW(types = GetDlgItem(dialog, 0x470), CB_GETCOUNT, 0, 0) == 2;
            },
            10000)) {
        return;
    }
    seen = TextOf(dialog);
    for (int i = 0; i < 2; ++i) {
        wchar_t text[64] = {};
        SendMessageW(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        seen += "|" + Narrow(text);
    }
    if (type < 0) {
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    SendMessageW(types, CB_SETCURSEL, type, 0);
    for (WORD notice : {CBN_SELCHANGE, CBN_SELENDOK}) {  // as a choice with the mouse sends them
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(0x470, notice),
                     reinterpret_cast<LPARAM>(types));
    }
    HWND file = GetDlgItem(dialog, 0x47C);  // cmb13, or edt1 in the older dialog
    SetWindowTextW(file ? file : GetDlgItem(dialog, 0x480), name.c_str());
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    HWND replace = nullptr;  // asked whether to replace the file: yes
    if (WaitFor(
            [&] { return (replace = FindThreadWindow(uiThread, L"#32770")) && replace != dialog; },
            1500)) {
        PostMessageW(replace, WM_COMMAND, IDYES, 0);
    }
}

std::string Bytes(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Cancelled; a CSV written in GBK with CRLF (桩1 a 用户坐标 row: E, N; 桩2 a
// 世界坐标 row: N, E); one pile written over it, the name's extension
// winning over the type; a label GBK lacks leaves the file as it was.
TEST(Win32Extras, StakeOutFileThroughTheSaveDialog) {
    Window w;
    WindowState& state = w.model.State();
    state.pileRegister.rows[0] = {"10.5", "20.25", "0",
                                  "\xE6\xA1\xA9"
                                  "1"};
    state.pileRegister.rows[1] = {"30", "40", "1",
                                  "\xE6\xA1\xA9"
                                  "2"};
    state.pileRegister.modes[1] = Coordinates::World;
    state.pileRegister.rows[2] = {"1", "2", "0", "\xF0\x9F\x98\x80"};
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"velmora-stake-out",
                       csv = folder + L"\\piles.csv";
    CreateDirectoryW(folder.c_str(), nullptr);
    DeleteFileW(csv.c_str());
    DeleteFileW((folder + L"\\piles.dat").c_str());  // what a failed run may have left

    const std::string header = "\xB5\xE3\xBA\xC5,X(\xB1\xB1),Y(\xB6\xAB),H\r\n", pile = "\xD7\xAE";
    const std::string pile1 = pile + "1,20.250,10.500,0.000\r\n";
    const std::tuple<const char*, std::wstring, int, std::int16_t, std::string> cases[] = {
        {"cancelled", L"", -1, 2, ""},
        {"csv", folder + L"\\piles", 1, 2, header + pile1 + pile + "2,30.000,40.000,1.000\r\n"},
        {"csv over it", csv, 0, 1, header + pile1},
        {"beyond GBK", csv, 1, 3, header + pile1},
    };
    for (const auto& [name, typed, type, count, bytes] : cases) {
        w.said.clear();
        state.pileCount = count;
        std::string seen;
        std::thread user(FillSaveDialog, GetCurrentThreadId(), typed, type, std::ref(seen));
        w.model.Click(Command::StakeOut);
        user.join();
        EXPECT_EQ(seen, "导出测量坐标|CASS 坐标文件 (*.dat)|CSV (*.csv)") << name;
        EXPECT_EQ(Bytes(csv), bytes) << name;
        EXPECT_EQ(w.said.size(), type < 0 ? 0u : 1u) << name;
    }
    DeleteFileW(csv.c_str());
    EXPECT_TRUE(RemoveDirectoryW(folder.c_str()));  // nothing else was left there
}

// 按样例选桩… then 编号 over COM, the stand-in AutoCAD in its own process
// ("blocks": GetEntity picks the dynamic block *U1 shown as ZH-1; a pick
// takes all the filter admits). The calls go through a tap that logs them
// (VELMORA_PRINT_CALLS=1 prints them).
TEST(Win32Extras, BlockSampleOverCom) {
    RegisterStandInClasses();
    CadServer cad("AutoCAD.Application", "blocks");
    ASSERT_TRUE(cad.started);
    struct Logged : ComDirectory {
        std::shared_ptr<Tap> tap = std::make_shared<Tap>();
        Object FindRunning(std::string_view progId) override {
            return Tapped(ComDirectory::FindRunning(progId), tap);
        }
    } directory;
    directory.tap->logging = true;
    Window w(&directory);
    w.model.State().pileSample.reset();
    w.model.Click(Command::PilesBySample);
    ASSERT_TRUE(w.model.State().pileSample);
    EXPECT_EQ(DescribeSample(*w.model.State().pileSample), "图块 ZH-1，图层 桩位");
    directory.tap->log.clear();
    w.model.Click(Command::Number);
    const auto& log = directory.tap->log;
    if (std::getenv("VELMORA_PRINT_CALLS"))
        for (const std::string& call : log) std::cout << call << "\n";
    const auto count = [&](const std::string& call) {
        return static_cast<int>(std::count(log.begin(), log.end(), call));
    };
    EXPECT_EQ(
        count(
            R"(Call SelectOnScreen(i2[-4,0,8,2,-4], v["<and","INSERT","桩位","`*U*,ZH-1","and>"]))"),
        2);
    EXPECT_EQ(count("Call Prompt(\"\n按样例选桩：图块 ZH-1，图层 桩位\")"), 2);
    EXPECT_EQ(std::pair(count("Get EffectiveName"), count("Get InsertionPoint")), std::pair(2, 2));
    EXPECT_EQ(w.model.State().pileCount, 2);
    w.model.State().cadSession = {};
    cad.Quit();
}

}  // namespace
}  // namespace velmora::testing
