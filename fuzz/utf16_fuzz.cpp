// The one UTF-8 ⇄ UTF-16 codec (COM, the views, the window, DXF text), on
// any bytes. Malformed input becomes U+FFFD and never fails; the output is
// always well formed; well formed text goes through both directions
// unchanged; the length a text box counts is the length converted.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "text/utf16.h"

namespace {

// A strict UTF-8 check written apart from the converter: shortest forms
// only, no surrogates, nothing past U+10FFFF.
bool WellFormedUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto b = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
        const unsigned char lead = b(i);
        std::size_t length = 0;
        unsigned char low = 0x80, high = 0xBF;
        if (lead < 0x80) {
            length = 1;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        } else {
            return false;
        }
        if (i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const unsigned char lowK = k == 1 ? low : 0x80, highK = k == 1 ? high : 0xBF;
            if (b(i + k) < lowK || b(i + k) > highK) return false;
        }
        i += length;
    }
    return true;
}

bool WellFormedUtf16(std::u16string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit >= 0xDC00 && unit <= 0xDFFF) return false;
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return false;
            ++i;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const std::u16string wide = Utf8ToUtf16(bytes);
    FUZZ_CHECK(WellFormedUtf16(wide));
    FUZZ_CHECK(Utf16Length(bytes) == wide.size());
    const std::string narrow = Utf16ToUtf8(wide);
    FUZZ_CHECK(WellFormedUtf8(narrow));
    if (WellFormedUtf8(bytes)) FUZZ_CHECK(narrow == bytes);

    // The same bytes read as UTF-16 units, as a BSTR from outside may hold.
    std::u16string units(size / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
        units[i] = char16_t(data[2 * i] | (data[2 * i + 1] << 8));
    }
    const std::string fromUnits = Utf16ToUtf8(units);
    FUZZ_CHECK(WellFormedUtf8(fromUnits));
    if (WellFormedUtf16(units)) FUZZ_CHECK(Utf8ToUtf16(fromUnits) == units);
    return 0;
}
