// DPI functions of newer Windows versions, looked up at run time so that the
// program still starts on Windows 7, where the system-wide DPI is used.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace velmora {

// The DPI the window is shown at.
int WindowDpi(HWND window);

// The outer rectangle of a window whose client area is `client`, at dpi.
RECT OuterRectForClient(const RECT& client, DWORD style, DWORD exStyle, int dpi);

// The system's message-box font, sized for dpi.
LOGFONTW MessageFontAt(int dpi);

}  // namespace velmora
