#include "standins/drawing/dxf/dxf_text.h"

#include <iconv.h>

#include <algorithm>
#include <cstdint>

#include "text/utf16.h"

namespace velmora::standins {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The code of \U+XXXX at `at`, or -1.
long Escape(std::string_view text, std::size_t at) {
    if (at + 7 > text.size() || text.substr(at, 3) != "\\U+") return -1;
    long code = 0;
    for (std::size_t i = at + 3; i < at + 7; ++i) {
        const int digit = HexDigit(text[i]);
        if (digit < 0) return -1;
        code = code * 16 + digit;
    }
    return code;
}

void AppendEscape(std::string& out, std::uint32_t unit) {
    static const char kHex[] = "0123456789ABCDEF";
    out += "\\U+";
    for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(unit >> shift) & 0xF];
}

// iconv converting between UTF-8 and a DXF code page; closed when done.
class Converter {
  public:
    Converter(const std::string& codePage, bool toCodePage) {
        if (!codePage.starts_with("ANSI_")) return;
        const std::string name = "CP" + codePage.substr(5);
        cd_ = toCodePage ? iconv_open(name.c_str(), "UTF-8") : iconv_open("UTF-8", name.c_str());
    }
    ~Converter() {
        if (cd_ != iconv_t(-1)) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts all of `in`, or returns false.
    bool Convert(std::string_view in, std::string& out) {
        if (cd_ == iconv_t(-1)) return false;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::string buffer(in.size() * 4 + 8, '\0');
        char* from = const_cast<char*>(in.data());
        char* to = buffer.data();
        std::size_t fromLeft = in.size(), toLeft = buffer.size();
        if (iconv(cd_, &from, &fromLeft, &to, &toLeft) == std::size_t(-1)) return false;
        out.append(buffer.data(), buffer.size() - toLeft);
        return true;
    }

  private:
    iconv_t cd_ = iconv_t(-1);
};

}  // namespace

std::string EncodeDxfText(std::string_view text, const std::string& codePage) {
    Converter converter(codePage, true);
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        // A malformed byte goes on as it is, so a text read from the file
        // is written back with the bytes it had.
        const std::size_t length = std::max<std::size_t>(Utf8At(text, i).length, 1);
        const std::string_view character = text.substr(i, length);
        if (length == 1 || !converter.Convert(character, out)) out += EncodeDxfText(character);
        i += length;
    }
    return out;
}

std::string FromCodePage(std::string_view text, const std::string& codePage) {
    if (std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; }))
        return std::string(text);
    std::string out;
    Converter converter(codePage, false);
    return converter.Convert(text, out) ? out : std::string(text);
}

std::string DecodeDxfText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        long code = Escape(text, i);
        if (code < 0) {
            out += text[i++];
            continue;
        }
        i += 7;
        if (code >= 0xD800 && code <= 0xDBFF) {
            const long low = Escape(text, i);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                i += 7;
            }
        }
        AppendUtf8(out,
                   (code >= 0xD800 && code <= 0xDFFF) ? kReplacementCharacter : char32_t(code));
    }
    return out;
}

std::string EncodeDxfText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto [code, length] = Utf8At(text, i);
        // ASCII stays, and so does a malformed byte (see above).
        if (code < 0x80) {
            out += text[i++];
            continue;
        }
        if (code >= 0x10000) {
            AppendEscape(out, 0xD800 + ((code - 0x10000) >> 10));
            AppendEscape(out, 0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            AppendEscape(out, code);
        }
        i += length;
    }
    return out;
}

std::string DecodeFileText(std::string_view text, const std::string& codePage) {
    // Most texts are plain ASCII: nothing to convert, nothing to decode.
    if (std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0 && c != '\\'; }))
        return std::string(text);
    return DecodeDxfText(FromCodePage(text, codePage));
}

namespace {

// The MTEXT code after a backslash at `at`: appends what it shows, returns
// where it ends (its last character), or npos where the first line ends.
std::size_t MTextCode(std::string_view text, std::size_t at, std::string& plain) {
    constexpr auto npos = std::string_view::npos;
    const char code = text[at];
    if (code == 'P' || code == 'X') return npos;  // the first line ends
    if (code == '~') {
        plain += ' ';
    } else if (code == '\\' || code == '{' || code == '}') {
        plain += code;
    } else if (code == 'U' || code == 'M') {
        plain += '\\', plain += code;  // \U+XXXX is decoded later
    } else if (code == 'S' || std::string_view("fFHCcTQWApa").find(code) != npos) {
        // A code with a value up to ';'; a stack (1^2 or 1/2) shows as 1/2.
        const std::size_t end = text.find(';', at);
        if (code == 'S') {
            std::string stack(text.substr(at + 1, end == npos ? npos : end - at - 1));
            std::replace(stack.begin(), stack.end(), '^', '/');
            std::replace(stack.begin(), stack.end(), '#', '/');
            plain += stack;
        }
        return end == npos ? text.size() : end;
    }
    // Anything else (\L, \l, \O, \o, \K, \k, \N …) switches a style: nothing shown.
    return at;
}

}  // namespace

std::string PlainMText(std::string_view text) {
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '{' || c == '}') continue;
        if (c != '\\' || i + 1 == text.size()) {
            plain += c;
            continue;
        }
        i = MTextCode(text, i + 1, plain);
        if (i == std::string_view::npos) break;
    }
    return plain;
}

}  // namespace velmora::standins
