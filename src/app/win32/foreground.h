// Handing the foreground to another program. Windows lets a program bring
// its own window forward only while it is the foreground program, or when
// the foreground program allows it: Velmora, clicked a moment ago, allows
// it and brings the other program's window to the front.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace velmora {

// Lets the window's process take the foreground, restores the window when
// it is minimised and brings it to the front. Nothing for a handle that
// names no window.
void BringProgramForward(HWND window);

// The first visible top-level window without an owner that the thread
// made (a program's main window), or nullptr.
HWND MainWindowOfThread(DWORD thread);

}  // namespace velmora
