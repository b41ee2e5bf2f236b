#include "app/win32/dialogs.h"

#include <commdlg.h>

#include <string>
#include <vector>

#include "app/win32/task_dialog.h"
#include "text/utf16.h"
#include "window/extra_menu.h"

namespace velmora {

namespace {

constexpr int kFirstAnswerId = 100;
constexpr DWORD kLongestPath = 32768;

int AskByMessageBox(HWND owner, const std::wstring& text, std::size_t answers) {
    const UINT buttons = answers > 1 ? MB_YESNOCANCEL : MB_OKCANCEL;
    switch (
        MessageBoxW(owner, text.c_str(), Wide(kMessageTitle).c_str(), buttons | MB_ICONQUESTION)) {
        case IDYES:
        case IDOK:
            return 0;
        case IDNO:
            return 1;
        default:
            return -1;
    }
}

}  // namespace

void ShowAbout(HWND owner, std::string_view text) {
    MessageBoxW(owner, Wide(text).c_str(), Wide(kExtraMenu.back().caption).c_str(),
                MB_OK | MB_ICONINFORMATION);
}

int Ask(HWND owner, std::string_view text, std::span<const std::string_view> answers) {
    const std::wstring content = Wide(text), title = Wide(kMessageTitle);
    std::vector<std::wstring> captions;
    for (std::string_view answer : answers) captions.push_back(Wide(answer));
    const TaskDialogFunction taskDialog = FindTaskDialog();
    if (!taskDialog) return AskByMessageBox(owner, content, answers.size());

    std::vector<TASKDIALOG_BUTTON> buttons;
    for (std::size_t i = 0; i < captions.size(); ++i) {
        buttons.push_back({kFirstAnswerId + static_cast<int>(i), captions[i].c_str()});
    }
    TASKDIALOGCONFIG config{};
    config.cbSize = sizeof(config);
    config.hwndParent = owner;
    config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION | TDF_POSITION_RELATIVE_TO_WINDOW;
    config.pszWindowTitle = title.c_str();
    config.pszMainIcon = TD_INFORMATION_ICON;
    config.pszContent = content.c_str();
    config.cButtons = static_cast<UINT>(buttons.size());
    config.pButtons = buttons.data();
    int chosen = 0;
    if (FAILED(taskDialog(&config, &chosen, nullptr, nullptr))) {
        return AskByMessageBox(owner, content, answers.size());
    }
    const int index = chosen - kFirstAnswerId;
    return index >= 0 && index < static_cast<int>(answers.size()) ? index : -1;
}

std::optional<SaveChoice> ChooseSaveFile(HWND owner, const SaveRequest& request) {
    // "CASS 坐标文件 (*.dat)\0*.dat\0CSV (*.csv)\0*.csv\0\0"
    std::wstring filter;
    for (const FileType& type : request.types) {
        filter += Wide(type.description);
        filter.push_back(L'\0');
        filter += L"*." + Wide(type.extension);
        filter.push_back(L'\0');
    }
    filter.push_back(L'\0');
    const bool typed = request.type >= 0 && request.type < static_cast<int>(request.types.size());
    const std::wstring title = Wide(request.title);
    const std::wstring extension = typed ? Wide(request.types[request.type].extension) : L"";
    std::wstring file = Wide(request.suggestedPath);
    file.resize(kLongestPath, L'\0');

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = typed ? static_cast<DWORD>(request.type) + 1 : 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = kLongestPath;
    dialog.lpstrTitle = title.c_str();
    // A name typed without an extension takes the chosen type's.
    dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                   OFN_NOCHANGEDIR | OFN_ENABLESIZING;
    if (!GetSaveFileNameW(&dialog)) return std::nullopt;
    return SaveChoice{Narrow(file.c_str()), static_cast<int>(dialog.nFilterIndex) - 1};
}

}  // namespace velmora
