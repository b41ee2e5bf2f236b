#include "standins/drawing/wildcard.h"

namespace velmora::standins {

namespace {

using Kind = WildcardToken::Kind;
constexpr std::size_t kNone = std::string_view::npos;

// The character that starts at `at` in UTF-8 text, `at` moved past it. A
// byte that starts no character counts as one character of its own.
char32_t NextCharacter(std::string_view text, std::size_t& at) {
    const auto lead = static_cast<unsigned char>(text[at++]);
    if (lead < 0x80) return lead;
    const int following = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    if (following == 0 || lead > 0xF4) return 0xFFFD;
    char32_t value = lead & (0x3Fu >> following);
    for (int i = 0; i < following; ++i) {
        if (at >= text.size() || (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80)
            return 0xFFFD;
        value = (value << 6) | (static_cast<unsigned char>(text[at++]) & 0x3F);
    }
    return value;
}

char32_t Lower(char32_t c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; }
char32_t Upper(char32_t c) { return c >= 'a' && c <= 'z' ? c - ('a' - 'A') : c; }
bool IsDigit(char32_t c) { return c >= '0' && c <= '9'; }
bool IsLetter(char32_t c) { return (Lower(c) >= 'a' && Lower(c) <= 'z') || c >= 0x80; }

WildcardToken Single(Kind kind, char32_t character = 0) {
    WildcardToken token;
    token.kind = kind;
    token.character = character;
    return token;
}

// The characters after `[` up to the `]` that closes them, as ranges;
// false when none closes them.
bool ReadSet(std::string_view pattern, std::size_t& at, WildcardToken& set) {
    set.kind = Kind::Set;
    if (at < pattern.size() && pattern[at] == '~') set.negated = true, ++at;
    std::vector<char32_t> enclosed;
    while (at < pattern.size() && (pattern[at] != ']' || enclosed.empty()))
        enclosed.push_back(NextCharacter(pattern, at));
    if (at >= pattern.size()) return false;
    ++at;  // the `]`
    // A `-` first or last stands for itself.
    for (std::size_t i = 0; i < enclosed.size(); ++i) {
        if (i + 2 < enclosed.size() && enclosed[i + 1] == '-') {
            set.ranges.emplace_back(enclosed[i], enclosed[i + 2]);
            i += 2;
        } else {
            set.ranges.emplace_back(enclosed[i], enclosed[i]);
        }
    }
    return true;
}

WildcardToken ReadToken(std::string_view pattern, std::size_t& at) {
    switch (pattern[at]) {
        case '`':  // the next character as it is; a last one stands for itself
            ++at;
            return Single(Kind::Literal, at < pattern.size() ? NextCharacter(pattern, at) : '`');
        case '*':
            return ++at, Single(Kind::AnyRun);
        case '?':
            return ++at, Single(Kind::AnyOne);
        case '#':
            return ++at, Single(Kind::Digit);
        case '@':
            return ++at, Single(Kind::Letter);
        case '.':
            return ++at, Single(Kind::Other);
        case '[': {
            std::size_t after = at + 1;
            WildcardToken set;
            if (ReadSet(pattern, after, set)) return at = after, set;
            return ++at, Single(Kind::Literal, '[');  // never closed: itself
        }
        default:
            return Single(Kind::Literal, NextCharacter(pattern, at));
    }
}

bool Admits(const WildcardToken& token, char32_t c) {
    switch (token.kind) {
        case Kind::Literal:
            return Lower(c) == Lower(token.character);
        case Kind::AnyRun:
        case Kind::AnyOne:
            return true;
        case Kind::Digit:
            return IsDigit(c);
        case Kind::Letter:
            return IsLetter(c);
        case Kind::Other:
            return !IsDigit(c) && !IsLetter(c);
        case Kind::Set:
            break;
    }
    bool inside = false;
    for (const auto& [low, high] : token.ranges) {
        for (char32_t form : {c, Lower(c), Upper(c)})
            inside = inside || (form >= low && form <= high);
    }
    return inside != token.negated;
}

// The tokens against the whole name. A run tries to take as little as it
// can, then one character more each time the rest does not match.
bool MatchesTokens(const std::vector<WildcardToken>& tokens, std::string_view name) {
    std::size_t token = 0, at = 0;
    std::size_t run = kNone, runEnd = 0;  // the last run met, and where it ends in the name
    while (at < name.size()) {
        if (token < tokens.size() && tokens[token].kind == Kind::AnyRun) {
            run = token++;
            runEnd = at;
            continue;
        }
        std::size_t next = at;
        if (token < tokens.size() && Admits(tokens[token], NextCharacter(name, next))) {
            ++token;
            at = next;
            continue;
        }
        if (run == kNone) return false;
        NextCharacter(name, runEnd);
        at = runEnd;
        token = run + 1;
    }
    while (token < tokens.size() && tokens[token].kind == Kind::AnyRun) ++token;
    return token == tokens.size();
}

}  // namespace

WildcardPattern ReadWildcard(std::string_view pattern) {
    WildcardPattern read;
    read.alternatives.emplace_back();
    for (std::size_t at = 0; at < pattern.size();) {
        WildcardAlternative& alternative = read.alternatives.back();
        if (pattern[at] == ',') {
            read.alternatives.emplace_back();
            ++at;
        } else if (pattern[at] == '~' && alternative.tokens.empty() && !alternative.negated) {
            alternative.negated = true;
            ++at;
        } else {
            alternative.tokens.push_back(ReadToken(pattern, at));
        }
    }
    return read;
}

bool WildcardMatches(const WildcardPattern& pattern, std::string_view name) {
    for (const WildcardAlternative& alternative : pattern.alternatives) {
        if (MatchesTokens(alternative.tokens, name) != alternative.negated) return true;
    }
    return false;
}

}  // namespace velmora::standins
