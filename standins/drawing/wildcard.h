// AutoCAD's wild-card patterns, as its selection filters match layer,
// block and type names: `#` a digit, `@` a letter, `.` a character that is
// neither, `*` any run of characters, `?` any one, `[…]` one of those
// enclosed (`[~…]` one not enclosed, `-` between two a range), `~` first
// in a pattern anything but the pattern, `,` between patterns either, and
// the backquote takes the next character as it is. Within brackets every
// character stands for itself but a leading `~`, a `-` between two others
// and the closing `]` (a `]` first is enclosed). Names match without regard
// to case, as AutoCAD's symbol names do; a character beyond ASCII counts as
// a letter, as the Chinese ones of layer and block names are.
#pragma once

#include <string_view>
#include <vector>

namespace velmora::standins {

struct WildcardToken {
    enum class Kind { Literal, AnyRun, AnyOne, Digit, Letter, Other, Set } kind = Kind::Literal;
    char32_t character = 0;                             // a literal's
    std::vector<std::pair<char32_t, char32_t>> ranges;  // a set's, single characters as a range
    bool negated = false;                               // a set's `[~…]`
};

struct WildcardAlternative {
    bool negated = false;  // `~` in front
    std::vector<WildcardToken> tokens;
};

// A pattern read once, to be matched against many names.
struct WildcardPattern {
    std::vector<WildcardAlternative> alternatives;
};

WildcardPattern ReadWildcard(std::string_view pattern);
bool WildcardMatches(const WildcardPattern& pattern, std::string_view name);

}  // namespace velmora::standins
