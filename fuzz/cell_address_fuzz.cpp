// The stand-in Excel's reading of cell addresses ("A1", "a2:d65536", "B:D",
// "$C$3"), on any text and on addresses built from the input:
// - whatever it accepts lies inside the sheet, corners in order, and reads
//   back the same from its own spelling;
// - an address spelled from two corners, in any case and with any "$"
//   marks, reads as the rectangle the corners span.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "standins/excel/cell_range.h"

namespace {

using namespace velmora::standins;

void CheckAccepted(const CellRange& range) {
    FUZZ_CHECK(range.firstRow >= 1 && range.firstRow <= range.lastRow && range.lastRow <= kMaxRows);
    FUZZ_CHECK(range.firstColumn >= 1 && range.firstColumn <= range.lastColumn &&
               range.lastColumn <= kMaxColumns);
    const auto again = ParseRange(RangeText(range));
    FUZZ_CHECK(again && *again == range);
}

// Reads n bytes as a little-endian number, taking what is there.
std::uint32_t Take(std::string_view& bytes, int n) {
    std::uint32_t value = 0;
    for (int i = 0; i < n && !bytes.empty(); ++i) {
        value |= std::uint32_t(static_cast<unsigned char>(bytes.front())) << (8 * i);
        bytes.remove_prefix(1);
    }
    return value;
}

std::string Corner(int row, int column, std::uint32_t style) {
    std::string letters = ColumnName(column);
    if (style & 1) {
        for (char& c : letters) c = char(c - 'A' + 'a');
    }
    std::string text;
    if (style & 2) text += '$';
    text += letters;
    if (style & 4) text += '$';
    return text + std::to_string(row);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto range = ParseRange(text)) CheckAccepted(*range);
    if (const auto column = ParseColumnName(text)) {
        FUZZ_CHECK(*column >= 1 && *column <= kMaxColumns);
        FUZZ_CHECK(ParseColumnName(ColumnName(*column)) == column);
    }

    std::string_view bytes = text;
    const int row1 = int(Take(bytes, 3) % kMaxRows) + 1;
    const int column1 = int(Take(bytes, 2) % kMaxColumns) + 1;
    const int row2 = int(Take(bytes, 3) % kMaxRows) + 1;
    const int column2 = int(Take(bytes, 2) % kMaxColumns) + 1;
    const std::uint32_t style = Take(bytes, 1);
    const std::string address =
        Corner(row1, column1, style) + ":" + Corner(row2, column2, style >> 3);
    const auto range = ParseRange(address);
    FUZZ_CHECK(range.has_value());
    FUZZ_CHECK(range->firstRow == std::min(row1, row2) && range->lastRow == std::max(row1, row2));
    FUZZ_CHECK(range->firstColumn == std::min(column1, column2) &&
               range->lastColumn == std::max(column1, column2));
    return 0;
}
