// Reading the number a text box starts with.
#include <string>

#include "values/number_scan.h"
#include "values/numbers.h"

namespace velmora {

double ReadLeadingNumber(std::string_view text) {
    // Spaces, tabs and line feeds do not count wherever they stand, so they are
    // dropped before the number is looked for.
    std::string cleaned;
    cleaned.reserve(text.size());
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\n') cleaned.push_back(c);
    }
    const std::size_t length = ScanNumber(cleaned);
    if (length == 0) return 0;
    return ConvertNumber(std::string_view(cleaned).substr(0, length));
}

}  // namespace velmora
