// What the stand-in Excel holds: workbooks of sheets with typed cell values,
// merged areas, formatting kept per range as it was set, column widths, row
// heights and the page setup. Plain values; the automation objects in
// excel_objects.cpp edit them, the .xlsx writer reads them.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "standins/excel/cell_range.h"

namespace velmora::standins {

// Excel keeps every number as a double; text stays text.
using CellValue = std::variant<std::monostate, double, std::string, bool>;

enum class HorizontalAlignment { General, Left, Center, Right, Fill, Justify, CenterAcross };

enum BorderSide { kLeft = 0, kRight = 1, kTop = 2, kBottom = 3 };

// Excel's LineStyle codes.
inline constexpr int kLineNone = -4142;
inline constexpr int kLineContinuous = 1;
inline constexpr int kLineDash = -4115;
inline constexpr int kLineDot = -4118;
inline constexpr int kLineDouble = -4119;
inline constexpr int kLineDashDot = 4;
inline constexpr int kLineDashDotDot = 5;
inline constexpr int kLineSlantDashDot = 13;

inline constexpr double kDefaultFontSize = 11;
inline constexpr double kDefaultColumnWidth = 8.43;
inline constexpr double kDefaultRowHeight = 15;

struct CellFormat {
    bool bold = false;
    double fontSize = kDefaultFontSize;
    HorizontalAlignment alignment = HorizontalAlignment::General;
    std::array<int, 4> borders = {kLineNone, kLineNone, kLineNone, kLineNone};  // by BorderSide
    friend bool operator==(const CellFormat&, const CellFormat&) = default;
    friend auto operator<=>(const CellFormat&, const CellFormat&) = default;
};

enum class FormatProperty {
    Bold,
    FontSize,
    Alignment,
    BorderLeft,
    BorderRight,
    BorderTop,
    BorderBottom
};

// One formatting request as made: a property set on a range. Later layers win.
struct FormatLayer {
    CellRange range;
    FormatProperty property;
    double value;
};

struct SizeLayer {
    CellRange range;
    double size;
};

using CellKey = std::pair<int, int>;  // (row, column)

struct Sheet {
    std::string name;
    std::map<CellKey, CellValue> values;
    std::vector<CellRange> merged;
    std::vector<FormatLayer> formats;
    std::vector<SizeLayer> columnWidths;  // the range's columns take the width
    std::vector<SizeLayer> rowHeights;    // the range's rows take the height
    bool centerHorizontally = false;
};

struct Workbook {
    std::vector<Sheet> sheets;
};

struct ExcelModel {
    std::vector<Workbook> workbooks;
    int activeWorkbook = -1;  // none until a workbook is added
    bool visible = false;
};

// A rows span with one height, for writers.
struct RowSpan {
    int firstRow;
    int lastRow;
    double height;
};

// Largest value request the stand-in takes in one call; more fails as out
// of memory instead of filling millions of cells.
inline constexpr std::int64_t kMaxCellsPerValueRequest = std::int64_t(1) << 22;
// Formatting of ranges up to this size is given to every cell of the range;
// larger ranges (whole columns and the like) reach only the cells that exist.
inline constexpr std::int64_t kMaxFormattedCellsPerLayer = std::int64_t(1) << 20;

Workbook& AddWorkbook(ExcelModel& model);

const CellValue& ValueAt(const Sheet& sheet, int row, int column);
void SetValue(Sheet& sheet, const CellRange& range, const CellValue& value);
void SetFormat(Sheet& sheet, const CellRange& range, FormatProperty property, double value);
CellFormat FormatAt(const Sheet& sheet, int row, int column);
void SetMerged(Sheet& sheet, const CellRange& range, bool merged);
bool IsMerged(const Sheet& sheet, const CellRange& range);
void SetColumnWidth(Sheet& sheet, const CellRange& range, double width);
void SetRowHeight(Sheet& sheet, const CellRange& range, double height);
double ColumnWidthAt(const Sheet& sheet, int column);
double RowHeightAt(const Sheet& sheet, int row);

// Every cell a writer has to emit with its format: cells with a value, and
// every cell of formatted ranges no larger than kMaxFormattedCellsPerLayer.
std::map<CellKey, CellFormat> FormattedCells(const Sheet& sheet);
// The row heights as set, as non-overlapping spans in row order.
std::vector<RowSpan> RowHeightSpans(const Sheet& sheet);
// The column widths as set, as non-overlapping spans (rows mean columns here).
std::vector<RowSpan> ColumnWidthSpans(const Sheet& sheet);

}  // namespace velmora::standins
