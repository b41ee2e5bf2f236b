// Text crosses COM as UTF-16 (BSTR); the system keeps UTF-8. Text from
// outside may be malformed: every bad sequence becomes U+FFFD instead of
// failing, so a stray byte or lone surrogate never stops a command.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace velmora
