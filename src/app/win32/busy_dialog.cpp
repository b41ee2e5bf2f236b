#include "app/win32/busy_dialog.h"

#include "app/win32/foreground.h"
#include "app/win32/task_dialog.h"
#include "text/utf16.h"
#include "window/control_table.h"

namespace velmora {

namespace {

std::wstring TitleOf(HWND window) {
    if (!window) return {};
    std::wstring title(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    title.resize(static_cast<std::size_t>(GetWindowTextW(window, title.data(), int(title.size()))));
    return title;
}

int ShowTaskDialog(TaskDialogFunction show, HWND owner, const BusyText& text) {
    const std::wstring title = Wide(kMessageTitle);
    const std::wstring switchTo = Wide("切换到(&S)");
    const std::wstring retry = Wide("重试(&R)");
    const TASKDIALOG_BUTTON buttons[] = {{kBusySwitchTo, switchTo.c_str()},
                                         {kBusyRetry, retry.c_str()}};
    TASKDIALOGCONFIG config{};
    config.cbSize = sizeof(config);
    config.hwndParent = owner;
    config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION | TDF_POSITION_RELATIVE_TO_WINDOW;
    config.dwCommonButtons = TDCBF_CANCEL_BUTTON;
    config.pszWindowTitle = title.c_str();
    config.pszMainIcon = TD_WARNING_ICON;
    config.pszMainInstruction = text.instruction.c_str();
    config.pszContent = text.content.c_str();
    config.cButtons = static_cast<UINT>(std::size(buttons));
    config.pButtons = buttons;
    config.nDefaultButton = kBusyRetry;
    int pressed = IDCANCEL;
    if (FAILED(show(&config, &pressed, nullptr, nullptr))) return 0;
    return pressed;
}

}  // namespace

BusyText BusyTextFor(std::wstring_view program) {
    const std::wstring name =
        program.empty() ? Wide("CAD 或表格程序") : Wide("“") + std::wstring(program) + Wide("”");
    return {name + Wide("正忙"),
            name + Wide("正在执行命令或打开了对话框，暂时不能响应 Velmora。\n\n"
                        "请切换到该程序，结束其中的命令或关闭对话框后点“重试”。"
                        "点“取消”则放弃这一步，本次命令再遇到忙碌时不再等待。")};
}

BusyAnswer AskAboutBusyProgram(HWND owner, const BusyCall& call) {
    const HWND program = MainWindowOfThread(call.calleeThread);
    const BusyText text = BusyTextFor(TitleOf(program));
    int pressed = 0;
    if (const TaskDialogFunction show = FindTaskDialog())
        pressed = ShowTaskDialog(show, owner, text);
    if (pressed == 0) {
        // No task dialog: the message box offers retry and cancel.
        pressed = MessageBoxW(owner, (text.instruction + L"\n\n" + text.content).c_str(),
                              Wide(kMessageTitle).c_str(), MB_RETRYCANCEL | MB_ICONWARNING);
        if (pressed == IDRETRY) pressed = kBusyRetry;
    }
    switch (pressed) {
        case kBusySwitchTo:
            BringProgramForward(program);
            return BusyAnswer::SwitchTo;
        case kBusyRetry:
            return BusyAnswer::Retry;
        default:
            return BusyAnswer::Cancel;
    }
}

}  // namespace velmora
