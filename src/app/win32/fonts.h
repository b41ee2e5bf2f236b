// The window's two fonts: a CJK-capable UI font for every control, and 宋体
// 10.5 pt (GB2312) for the offset boxes, both sized for the window's DPI.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

#include "app/win32/gdi.h"
#include "window/control_table.h"

namespace velmora {

// Whether a font family of this name is installed (or replaced by another).
bool FontInstalled(const std::wstring& face);

// The face of the window's default font: "Microsoft YaHei UI" when it is
// there, else 宋体/SimSun, else the system's message font.
std::wstring WindowDefaultFace();

// A new font for `which` at dpi, deleted when the result goes.
Font CreateControlFont(ControlFont which, int dpi);

}  // namespace velmora
