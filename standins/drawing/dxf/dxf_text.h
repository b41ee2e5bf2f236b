// Texts in DXF files: before AutoCAD 2007 a file carries characters outside
// its code page as \U+XXXX; from 2007 on files are UTF-8. MTEXT holds
// formatting codes besides.
#pragma once

#include <string>
#include <string_view>

namespace velmora::standins {

// Replaces every \U+XXXX by the character in UTF-8; anything else stays.
std::string DecodeDxfText(std::string_view text);
// Writes every non-ASCII character of valid UTF-8 as \U+XXXX (characters
// beyond U+FFFF as two surrogates); other bytes stay as they are.
std::string EncodeDxfText(std::string_view text);
// As above, but characters the code page ("ANSI_936" and the like) holds
// are written in it.
std::string EncodeDxfText(std::string_view text, const std::string& codePage);
// A text of a file in that code page, in UTF-8 (bytes it cannot convert stay).
std::string FromCodePage(std::string_view text, const std::string& codePage);
// A text as a file holds it, in UTF-8: from its code page ("" for a file in
// UTF-8), with its \U+XXXX decoded.
std::string DecodeFileText(std::string_view text, const std::string& codePage);

// The plain text of an MTEXT: formatting codes removed, its first line.
std::string PlainMText(std::string_view text);

}  // namespace velmora::standins
