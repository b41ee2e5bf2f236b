// Velmora.exe: the main window on the user-interface thread, in a COM
// single-threaded apartment, reaching AutoCAD and Excel through COM.
#include "app/win32/main_window.h"
// clang-format off
#include <commctrl.h>
// clang-format on

#include "app/for_tamrisk.h"
#include "automation/com/apartment.h"
#include "automation/com/com_directory.h"
#include "text/utf16.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    try {
        // The apartment outlives everything that holds a COM reference.
        velmora::ComApartment apartment;
        velmora::ComDirectory directory;
        velmora::WindowServices services;
        services.directory = &directory;
        velmora::ForTamrisk window(std::move(services));
        velmora::Win32MainWindow view(window, instance, [] { PostQuitMessage(0); });
        if (!view.Handle()) return 1;
        ShowWindow(view.Handle(), show);
        UpdateWindow(view.Handle());

        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            if (view.PreTranslate(message)) continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        return 0;
    } catch (...) {
        MessageBoxW(nullptr, L"COM \u65E0\u6CD5\u542F\u52A8\u3002",
                    velmora::Wide(velmora::kMessageTitle).c_str(), MB_OK | MB_ICONINFORMATION);
        return 1;
    }
}
