// The system keeps its text in UTF-8; COM, the wide Windows API and Qt want
// UTF-16. One rule for malformed input everywhere: a sequence is taken only
// when it is well formed (shortest form, no surrogate, at most U+10FFFF,
// complete); otherwise its first byte is malformed on its own and the next
// sequence starts at the byte after it. Conversions make every malformed
// byte, and every lone surrogate, one U+FFFD, so a stray byte never stops a
// command and every count of characters agrees with what is shown.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velmora {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// The sequence starting at text[at]: its code point and its length in
// bytes, or length 0 where that byte is malformed.
struct Utf8Sequence {
    char32_t code = 0;
    std::size_t length = 0;
};
Utf8Sequence Utf8At(std::string_view text, std::size_t at);

// Appends a code point (at most U+10FFFF) in UTF-8.
void AppendUtf8(std::string& out, char32_t code);

std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

// The length of Utf8ToUtf16(text), without building it: what a text box
// holding the text counts.
std::size_t Utf16Length(std::string_view text);

#ifdef _WIN32
// The wide API's strings: wchar_t is a UTF-16 code unit on Windows.
std::wstring Wide(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);
#endif

}  // namespace velmora
