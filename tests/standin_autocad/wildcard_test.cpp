// AutoCAD's wild-card patterns as the stand-in's selection filter matches
// names with them: each rule, its escapes and its corners (the filters of
// BlockPiles.SelectionFiltersTakeWhatTheyName use them on a drawing).
#include "standins/drawing/wildcard.h"

#include <gtest/gtest.h>

namespace velmora::standins {
namespace {

TEST(Wildcard, MatchesAsAutoCadDoes) {
    struct Case {
        const char *name, *pattern, *takes, *refuses;
    };
    const Case cases[] = {
        {"* any run, given back as needed", "A*B*C", "AxBxxBxC", "AxBxxBx"},
        {"? one character, Chinese too", "桩?", "桩位", "桩位2"},
        {"# a digit", "ZH-#", "ZH-7", "ZH-A"},
        {"@ a letter, Chinese too", "@@#", "z桩1", "z11"},
        {". neither letter nor digit", "ZH.1", "ZH-1", "ZHA1"},
        {"[…] one of them, ranges too", "ZH-[1-38]", "ZH-8", "ZH-5"},
        {"[…] a range in any case", "[a-c]1", "B1", "D1"},
        {"[~…] none of them", "ZH-[~1]", "ZH-2", "ZH-1"},
        {"[…] wild cards as they are", "[*?,]", "?", "X"},
        {"[…] a ] first and a - last enclosed", "[]a-]", "-", "b"},
        {"~ first: anything but the pattern", "~ZH*", "GZ-1", "zh-1"},
        {", a ~ in the second", "ZH*,~*1", "GZ-2", "GZ-1"},
        {"` a comma within a name", "A`,B", "A,B", "B"},
        {"` a tilde as it is", "`~A", "~A", "B"},
    };
    for (const Case& c : cases) {
        const WildcardPattern pattern = ReadWildcard(c.pattern);
        EXPECT_TRUE(WildcardMatches(pattern, c.takes)) << c.name << ": " << c.takes;
        EXPECT_FALSE(WildcardMatches(pattern, c.refuses)) << c.name << ": " << c.refuses;
    }
}

}  // namespace
}  // namespace velmora::standins
