// A deliberately plain reader of the number a text starts with, written apart
// from the one in src/values so that the two can be checked against each
// other: a table-driven automaton finds the longest leading number, and the C
// library's strtod gives its value.
#pragma once

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string>
#include <string_view>

namespace velmora::reference {

enum class Outcome { Value, Overflow };

struct Reading {
    Outcome outcome = Outcome::Value;
    double value = 0;
    bool underflow = false;  // strtod reported a result below the normal range
    std::string number;      // the leading number found, spaces dropped
};

inline Reading ReadLeadingNumber(std::string_view text) {
    std::string cleaned;
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\n') cleaned += c;
    }

    // States of the automaton; the accepting ones end a readable number.
    enum State { Start, Sign, Int, LoneDot, Frac, ExpMark, ExpSign, Exp, Dead };
    auto step = [](State s, char c) -> State {
        const bool digit = c >= '0' && c <= '9';
        const bool sign = c == '+' || c == '-';
        const bool mark = c == 'e' || c == 'E' || c == 'd' || c == 'D';
        switch (s) {
            case Start:
                return digit ? Int : sign ? Sign : c == '.' ? LoneDot : Dead;
            case Sign:
                return digit ? Int : c == '.' ? LoneDot : Dead;
            case Int:
                return digit ? Int : c == '.' ? Frac : mark ? ExpMark : Dead;
            case LoneDot:
                return digit ? Frac : Dead;
            case Frac:
                return digit ? Frac : mark ? ExpMark : Dead;
            case ExpMark:
                return digit ? Exp : sign ? ExpSign : Dead;
            case ExpSign:
                return digit ? Exp : Dead;
            case Exp:
                return digit ? Exp : Dead;
            default:
                return Dead;
        }
    };
    auto accepting = [](State s) { return s == Int || s == Frac || s == Exp; };

    std::size_t longest = 0;
    State state = Start;
    for (std::size_t i = 0; i < cleaned.size() && state != Dead; ++i) {
        state = step(state, cleaned[i]);
        if (accepting(state)) longest = i + 1;
    }

    Reading reading;
    reading.number = cleaned.substr(0, longest);
    if (longest == 0) return reading;
    std::string forC = reading.number;
    for (char& c : forC) {
        if (c == 'd' || c == 'D') c = 'e';
    }
    errno = 0;
    char* end = nullptr;
    reading.value = std::strtod(forC.c_str(), &end);
    if (errno == ERANGE) {
        if (std::isinf(reading.value)) {
            reading.outcome = Outcome::Overflow;
        } else {
            reading.underflow = true;
        }
    }
    return reading;
}

}  // namespace velmora::reference
