// Ownership of what the view takes from GDI: a font it creates is deleted,
// the screen's device context it borrows is given back, when the owner
// goes, on every path.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <memory>
#include <type_traits>

namespace velmora {

struct DeleteGdiObject {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using Font = std::unique_ptr<std::remove_pointer_t<HFONT>, DeleteGdiObject>;

struct ReleaseScreenDc {
    void operator()(HDC dc) const { ReleaseDC(nullptr, dc); }
};
using ScreenDc = std::unique_ptr<std::remove_pointer_t<HDC>, ReleaseScreenDc>;

// The whole screen's device context, or empty when Windows refuses it.
inline ScreenDc BorrowScreenDc() { return ScreenDc(GetDC(nullptr)); }

}  // namespace velmora
