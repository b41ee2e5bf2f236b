// Text in code page 936 (GBK), the code page of a Chinese Windows, in which
// survey instruments' software and Excel there read text files. Converted by
// what the platform has: glibc's iconv, or WideCharToMultiByte on Windows.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// The GBK bytes of UTF-8 text; nothing when the text holds a character GBK
// has no code for, or is no valid UTF-8. No character is ever replaced by
// a look-alike or a question mark.
std::optional<std::string> EncodeGbk(std::string_view utf8);

}  // namespace velmora
