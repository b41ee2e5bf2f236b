#include "text/code_page.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <iconv.h>

#include <cerrno>
#endif

#include <limits>

#include "text/utf16.h"

namespace velmora {

namespace {

constexpr unsigned kGbkCodePage = 936;

}  // namespace

#ifdef _WIN32

std::optional<std::string> EncodeGbk(std::string_view utf8) {
    // Broken UTF-8 becomes U+FFFD, which GBK lacks like any other character
    // it has no code for: without best fit such a character becomes the
    // default character, and usedDefault says so.
    const std::wstring wide = Wide(utf8);
    if (wide.empty()) return std::string();
    if (wide.size() > static_cast<std::size_t>(std::numeric_limits<int>::max() / 2)) {
        return std::nullopt;
    }
    const int units = static_cast<int>(wide.size());
    BOOL usedDefault = FALSE;
    const int bytes = WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), units,
                                          nullptr, 0, nullptr, &usedDefault);
    if (bytes <= 0 || usedDefault) return std::nullopt;
    std::string gbk(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), units, gbk.data(), bytes,
                        nullptr, nullptr);
    return gbk;
}

#else

std::optional<std::string> EncodeGbk(std::string_view utf8) {
    // glibc's CP936 is Windows' code page 936: GBK with the euro sign at 0x80.
    const iconv_t converter = iconv_open("CP936", "UTF-8");
    // (iconv_t)-1 is how iconv_open says it failed.
    if (converter == reinterpret_cast<iconv_t>(-1)) {  // NOLINT(performance-no-int-to-ptr)
        return std::nullopt;
    }
    struct Closer {
        iconv_t converter;
        ~Closer() { iconv_close(converter); }
    } closer{converter};

    std::string gbk(utf8.size() + 8, '\0');  // never longer than its UTF-8
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    char* out = gbk.data();
    std::size_t outLeft = gbk.size();
    // A character without a code, or broken UTF-8, stops the conversion
    // (EILSEQ, EINVAL); nothing is skipped or replaced.
    if (iconv(converter, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1) ||
        iconv(converter, nullptr, nullptr, &out, &outLeft) == static_cast<std::size_t>(-1)) {
        return std::nullopt;
    }
    gbk.resize(gbk.size() - outLeft);
    return gbk;
}

#endif

}  // namespace velmora
