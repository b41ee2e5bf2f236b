// Looking at windows from a test, this process's or another's.
#pragma once

#include <windows.h>

#include <string>

#include "text/utf16.h"

namespace velmora::testing {

// A window's text; empty while its thread does not answer.
inline std::string TextOf(HWND window) {
    wchar_t buffer[256] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                        500, &copied);
    return Narrow(buffer);
}

// The first top-level window of the thread with the given class name, or null.
inline HWND FindThreadWindow(DWORD thread, const std::wstring& className) {
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, className.c_str(), nullptr))) {
        if (GetWindowThreadProcessId(window, nullptr) == thread) return window;
    }
    return nullptr;
}

// Waits up to timeoutMs for ready() to hold, checking every 100 ms.
template <class Ready>
bool WaitFor(Ready ready, DWORD timeoutMs) {
    for (DWORD waited = 0; waited < timeoutMs && !ready(); waited += 100) Sleep(100);
    return ready();
}

}  // namespace velmora::testing
