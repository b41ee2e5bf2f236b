// Texts in DXF files: before AutoCAD 2007 a file carries characters outside
// its code page as \U+XXXX; from 2007 on files are UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace velmora::standins {

// Replaces every \U+XXXX by the character in UTF-8; anything else stays.
std::string DecodeDxfText(std::string_view text);
// Writes every non-ASCII character of valid UTF-8 as \U+XXXX (characters
// beyond U+FFFF as two surrogates); other bytes stay as they are.
std::string EncodeDxfText(std::string_view text);

}  // namespace velmora::standins
