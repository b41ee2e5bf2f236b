#include "text/utf16.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora {
namespace {

// UTF-8 to UTF-16: well-formed text as it is, every malformed byte one
// U+FFFD; the length a text box counts always agrees with the conversion.
TEST(Utf16, EachMalformedByteBecomesOneReplacement) {
    struct Case {
        const char* name;
        std::string utf8;
        std::u16string utf16;
    };
    const Case cases[] = {
        {"Chinese and ASCII", "桩编号 K-1", u"桩编号 K-1"},
        {"outside the BMP", "\xF0\x9F\x98\x80x", u"\xD83D\xDE00x"},
        {"byte that starts nothing", "a\xFF\x62", u"a\uFFFDb"},
        {"truncated sequence", "\xE6\xA1", u"\uFFFD\uFFFD"},
        {"overlong two bytes", "\xC0\xAF", u"\uFFFD\uFFFD"},
        {"overlong three bytes", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
        {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"past U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"continuation missing", "\xE6\x41", u"\uFFFDA"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16) << c.name;
        EXPECT_EQ(Utf16Length(c.utf8), c.utf16.size()) << c.name;
    }
}

TEST(Utf16, LoneSurrogatesBecomeReplacements) {
    const std::string replacement = "\xEF\xBF\xBD";
    struct Case {
        const char* name;
        std::u16string utf16;
        std::string utf8;
    };
    const Case cases[] = {
        {"pair", u"\xD83D\xDE00", "\xF0\x9F\x98\x80"},
        {"high at the end", u"x\xD800", "x" + replacement},
        {"low alone", u"\xDC00y", replacement + "y"},
        {"high before a pair", u"\xD800\xD800\xDC00", replacement + "\xF0\x90\x80\x80"},
    };
    for (const Case& c : cases) EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8) << c.name;
}

}  // namespace
}  // namespace velmora
