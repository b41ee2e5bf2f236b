#include "app/win32/fonts.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "app/win32/dpi.h"
#include "text/utf16.h"

namespace velmora {

namespace {

int CALLBACK MarkFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

void SetFace(LOGFONTW& font, const std::wstring& face) {
    const size_t room = sizeof(font.lfFaceName) / sizeof(font.lfFaceName[0]) - 1;
    const std::wstring cut = face.substr(0, room);
    std::fill(std::begin(font.lfFaceName), std::end(font.lfFaceName), L'\0');
    std::copy(cut.begin(), cut.end(), font.lfFaceName);
}

}  // namespace

bool FontInstalled(const std::wstring& face) {
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    SetFace(query, face);
    bool found = false;
    HDC screen = GetDC(nullptr);
    if (!screen) return false;
    EnumFontFamiliesExW(screen, &query, MarkFound, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

std::wstring WindowDefaultFace() {
    for (const wchar_t* face : {L"Microsoft YaHei UI", L"\u5B8B\u4F53", L"SimSun"}) {
        if (FontInstalled(face)) return face;
    }
    return MessageFontAt(USER_DEFAULT_SCREEN_DPI).lfFaceName;
}

HFONT CreateControlFont(ControlFont which, int dpi) {
    if (which == ControlFont::SongTi) {
        const int height = -static_cast<int>(std::lround(kSongTiPoints * dpi / 72.0));
        return CreateFontW(height, 0, 0, 0, kSongTiWeight, FALSE, FALSE, FALSE,
                           static_cast<DWORD>(kSongTiCharset), OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                           Wide(kSongTiFace).c_str());
    }
    static const std::wstring face = WindowDefaultFace();
    LOGFONTW font = MessageFontAt(dpi);
    SetFace(font, face);
    // Chinese characters need at least 9 pt (12 px at 96 DPI) to be legible;
    // Western message fonts are often 8 pt.
    font.lfHeight = std::min(font.lfHeight, static_cast<LONG>(-MulDiv(9, dpi, 72)));
    font.lfWidth = 0;
    font.lfCharSet = DEFAULT_CHARSET;
    return CreateFontIndirectW(&font);
}

}  // namespace velmora
