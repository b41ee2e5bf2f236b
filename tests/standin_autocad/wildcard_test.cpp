// AutoCAD's wild-card patterns as the stand-in's selection filter matches
// names with them: each rule, its escapes and its corners.
#include "standins/drawing/wildcard.h"

#include <gtest/gtest.h>

namespace velmora::standins {
namespace {

TEST(Wildcard, MatchesAsAutoCadDoes) {
    struct Case {
        const char* name;
        const char* pattern;
        const char* text;
        bool matches;
    };
    const Case cases[] = {
        {"a literal, whatever the case", "zh-1", "ZH-1", true},
        {"another literal", "ZH-1", "ZH-2", false},
        {"a Chinese name", "桩位", "桩位", true},
        {"another Chinese name", "其他", "桩位", false},
        {"* takes any run", "ZH*", "ZH-12", true},
        {"* takes nothing", "*", "", true},
        {"* gives back what the rest needs", "A*B*C", "AxBxxBxC", true},
        {"* not enough", "A*B*C", "AxBxxBx", false},
        {"? takes one character", "ZH-?", "ZH-1", true},
        {"? not two", "ZH-?", "ZH-12", false},
        {"? takes one Chinese character", "桩?", "桩位", true},
        {"# a digit", "ZH-#", "ZH-7", true},
        {"# not a letter", "ZH-#", "ZH-A", false},
        {"@ a letter", "@@-1", "zh-1", true},
        {"@ a Chinese character", "@", "桩", true},
        {"@ not a digit", "@", "1", false},
        {". neither letter nor digit", "ZH.1", "ZH-1", true},
        {". not a letter", "ZH.1", "ZHA1", false},
        {"[…] one of them", "ZH-[123]", "ZH-2", true},
        {"[…] none of them", "ZH-[123]", "ZH-4", false},
        {"[…] a range and a single one", "ZH-[1-38]", "ZH-8", true},
        {"[…] outside the range", "ZH-[1-38]", "ZH-5", false},
        {"[…] a range whatever the case", "[a-c]1", "B1", true},
        {"[~…] not one of them", "ZH-[~1]", "ZH-2", true},
        {"[~…] one of them", "ZH-[~1]", "ZH-1", false},
        {"[…] holds wild cards as they are", "[*?,]", "?", true},
        {"[…] wild cards do not match others", "[*?,]", "X", false},
        {"[…] a ] first is enclosed", "[]a]", "]", true},
        {"[…] a - last is enclosed", "[a-]", "-", true},
        {"[ never closed is itself", "[ab", "[ab", true},
        {"~ first: anything else", "~ZH*", "GZ-1", true},
        {"~ first: not the pattern", "~ZH*", "zh-1", false},
        {"~ later is itself", "A~", "A~", true},
        {", either pattern", "`*U*,ZH-1", "zh-1", true},
        {", neither pattern", "`*U*,ZH-1", "ZH-2", false},
        {", ~ in the second pattern", "ZH*,~*1", "GZ-2", true},
        {"` an anonymous block's star", "`*U*", "*U12", true},
        {"` the star is no wild card", "`*U*", "XU1", false},
        {"` a comma within a name", "A`,B", "A,B", true},
        {"` a comma does not split", "A`,B", "B", false},
        {"` a tilde as it is", "`~A", "~A", true},
        {"` a tilde does not negate", "`~A", "B", false},
        {"` a # as it is", "ZH`#1", "ZH#1", true},
        {"` last stands for itself", "A`", "A`", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WildcardMatches(ReadWildcard(c.pattern), c.text), c.matches)
            << c.name << ": \"" << c.pattern << "\" against \"" << c.text << "\"";
    }
}

}  // namespace
}  // namespace velmora::standins
