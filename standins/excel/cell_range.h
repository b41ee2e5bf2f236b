// Cell addresses as Excel spells them: "A1", "a2:d65536", "A:A", "B:D",
// "2:5", with optional "$" marks, either case. Rows 1 … 1 048 576, columns
// A … XFD (1 … 16 384).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmora::standins {

inline constexpr int kMaxRows = 1048576;
inline constexpr int kMaxColumns = 16384;

// A rectangle of cells, all bounds inclusive, 1-based.
struct CellRange {
    int firstRow = 1;
    int firstColumn = 1;
    int lastRow = 1;
    int lastColumn = 1;

    bool Contains(int row, int column) const {
        return row >= firstRow && row <= lastRow && column >= firstColumn && column <= lastColumn;
    }
    bool Overlaps(const CellRange& other) const {
        return firstRow <= other.lastRow && other.firstRow <= lastRow &&
               firstColumn <= other.lastColumn && other.firstColumn <= lastColumn;
    }
    std::int64_t CellCount() const {
        return std::int64_t(lastRow - firstRow + 1) * (lastColumn - firstColumn + 1);
    }
    bool IsSingleCell() const { return firstRow == lastRow && firstColumn == lastColumn; }
    friend bool operator==(const CellRange&, const CellRange&) = default;
};

// Reads one area; nothing when Excel would not read the text as a range.
std::optional<CellRange> ParseRange(std::string_view address);
// "A" → 1, "xfd" → 16384; nothing when not a column name.
std::optional<int> ParseColumnName(std::string_view letters);
std::string ColumnName(int column);
// "A1:D7", "B3" for a single cell.
std::string RangeText(const CellRange& range);

}  // namespace velmora::standins
