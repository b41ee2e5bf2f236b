#include "standins/excel/cell_range.h"

namespace velmora::standins {

namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// One end of an area: optional "$", letters, optional "$", digits. Either
// part may be missing, which the caller checks.
struct Corner {
    std::optional<int> column;
    std::optional<int> row;
};

std::optional<Corner> ParseCorner(std::string_view text) {
    Corner corner;
    std::size_t at = 0;
    if (at < text.size() && text[at] == '$') ++at;
    std::size_t lettersStart = at;
    while (at < text.size() && IsLetter(text[at])) ++at;
    if (at > lettersStart) {
        corner.column = ParseColumnName(text.substr(lettersStart, at - lettersStart));
        if (!corner.column) return std::nullopt;
    } else if (at > 0) {
        return std::nullopt;  // "$" with no column after it, as in "$5"
    }
    if (at < text.size() && text[at] == '$') {
        if (!corner.column) return std::nullopt;
        ++at;
    }
    std::size_t digitsStart = at;
    long long row = 0;
    while (at < text.size() && IsDigit(text[at])) {
        row = row * 10 + (text[at] - '0');
        if (row > kMaxRows) return std::nullopt;
        ++at;
    }
    if (at != text.size()) return std::nullopt;
    if (at > digitsStart) {
        if (row < 1) return std::nullopt;
        corner.row = static_cast<int>(row);
    }
    if (!corner.column && !corner.row) return std::nullopt;
    return corner;
}

}  // namespace

std::optional<int> ParseColumnName(std::string_view letters) {
    if (letters.empty() || letters.size() > 3) return std::nullopt;
    int column = 0;
    for (char c : letters) {
        if (!IsLetter(c)) return std::nullopt;
        char upper = (c >= 'a') ? char(c - 'a' + 'A') : c;
        column = column * 26 + (upper - 'A' + 1);
    }
    if (column > kMaxColumns) return std::nullopt;
    return column;
}

std::string ColumnName(int column) {
    std::string name;
    while (column > 0) {
        int digit = (column - 1) % 26;
        name.insert(name.begin(), char('A' + digit));
        column = (column - 1) / 26;
    }
    return name;
}

std::string RangeText(const CellRange& range) {
    std::string text = ColumnName(range.firstColumn) + std::to_string(range.firstRow);
    if (range.IsSingleCell()) return text;
    return text + ":" + ColumnName(range.lastColumn) + std::to_string(range.lastRow);
}

std::optional<CellRange> ParseRange(std::string_view address) {
    std::size_t colon = address.find(':');
    std::string_view firstText = address.substr(0, colon);
    std::string_view lastText =
        colon == std::string_view::npos ? firstText : address.substr(colon + 1);
    auto first = ParseCorner(firstText);
    auto last = ParseCorner(lastText);
    if (!first || !last) return std::nullopt;
    CellRange range;
    if (first->row && first->column && last->row && last->column) {
        range = {*first->row, *first->column, *last->row, *last->column};
    } else if (colon != std::string_view::npos && !first->row && !last->row) {
        range = {1, *first->column, kMaxRows, *last->column};  // whole columns
    } else if (colon != std::string_view::npos && !first->column && !last->column) {
        range = {*first->row, 1, *last->row, kMaxColumns};  // whole rows
    } else {
        return std::nullopt;  // "A" or "5" alone, "A1:B" or "A:5" mixed
    }
    // Excel accepts the corners in any order and spans the rectangle.
    if (range.firstRow > range.lastRow) std::swap(range.firstRow, range.lastRow);
    if (range.firstColumn > range.lastColumn) std::swap(range.firstColumn, range.lastColumn);
    return range;
}

}  // namespace velmora::standins
