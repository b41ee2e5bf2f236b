#include "standins/excel/workbook_model.h"

#include <algorithm>
#include <set>

namespace velmora::standins {

namespace {

struct Span {
    int first;
    int last;
    double size;
};

// Later spans win; the result is sorted and non-overlapping, neighbours of
// equal size joined.
std::vector<RowSpan> Flatten(const std::vector<Span>& spans) {
    std::set<long long> bounds;
    for (const Span& span : spans) {
        bounds.insert(span.first);
        bounds.insert(static_cast<long long>(span.last) + 1);
    }
    std::vector<RowSpan> result;
    for (auto it = bounds.begin(); it != bounds.end() && std::next(it) != bounds.end(); ++it) {
        const int first = static_cast<int>(*it);
        const int last = static_cast<int>(*std::next(it) - 1);
        const Span* winner = nullptr;
        for (const Span& span : spans) {
            if (span.first <= first && span.last >= first) winner = &span;
        }
        if (!winner) continue;
        if (!result.empty() && result.back().lastRow + 1 == first &&
            result.back().height == winner->size) {
            result.back().lastRow = last;
        } else {
            result.push_back({first, last, winner->size});
        }
    }
    return result;
}

void Apply(CellFormat& format, FormatProperty property, double value) {
    switch (property) {
        case FormatProperty::Bold:
            format.bold = value != 0;
            break;
        case FormatProperty::FontSize:
            format.fontSize = value;
            break;
        case FormatProperty::Alignment:
            format.alignment = static_cast<HorizontalAlignment>(static_cast<int>(value));
            break;
        case FormatProperty::BorderLeft:
            format.borders[kLeft] = static_cast<int>(value);
            break;
        case FormatProperty::BorderRight:
            format.borders[kRight] = static_cast<int>(value);
            break;
        case FormatProperty::BorderTop:
            format.borders[kTop] = static_cast<int>(value);
            break;
        case FormatProperty::BorderBottom:
            format.borders[kBottom] = static_cast<int>(value);
            break;
    }
}

const CellValue kEmpty;

}  // namespace

Workbook& AddWorkbook(ExcelModel& model) {
    Workbook& workbook = model.workbooks.emplace_back();
    workbook.sheets.emplace_back().name = "Sheet1";
    model.activeWorkbook = static_cast<int>(model.workbooks.size()) - 1;
    return workbook;
}

const CellValue& ValueAt(const Sheet& sheet, int row, int column) {
    auto it = sheet.values.find({row, column});
    return it == sheet.values.end() ? kEmpty : it->second;
}

void SetValue(Sheet& sheet, const CellRange& range, const CellValue& value) {
    for (int row = range.firstRow; row <= range.lastRow; ++row) {
        for (int column = range.firstColumn; column <= range.lastColumn; ++column) {
            if (std::holds_alternative<std::monostate>(value)) {
                sheet.values.erase({row, column});
            } else {
                sheet.values[{row, column}] = value;
            }
        }
    }
}

void SetFormat(Sheet& sheet, const CellRange& range, FormatProperty property, double value) {
    // The same request on the same range replaces the earlier one, so
    // repeated exports of one sheet do not pile up layers.
    std::erase_if(sheet.formats, [&](const FormatLayer& layer) {
        return layer.range == range && layer.property == property;
    });
    sheet.formats.push_back({range, property, value});
}

CellFormat FormatAt(const Sheet& sheet, int row, int column) {
    CellFormat format;
    for (const FormatLayer& layer : sheet.formats) {
        if (layer.range.Contains(row, column)) Apply(format, layer.property, layer.value);
    }
    return format;
}

void SetMerged(Sheet& sheet, const CellRange& range, bool merged) {
    // Merging joins the areas it touches into one; unmerging splits them.
    CellRange joined = range;
    std::erase_if(sheet.merged, [&](const CellRange& area) {
        if (!area.Overlaps(range)) return false;
        joined.firstRow = std::min(joined.firstRow, area.firstRow);
        joined.firstColumn = std::min(joined.firstColumn, area.firstColumn);
        joined.lastRow = std::max(joined.lastRow, area.lastRow);
        joined.lastColumn = std::max(joined.lastColumn, area.lastColumn);
        return true;
    });
    if (merged && !joined.IsSingleCell()) sheet.merged.push_back(joined);
}

bool IsMerged(const Sheet& sheet, const CellRange& range) {
    return std::any_of(sheet.merged.begin(), sheet.merged.end(), [&](const CellRange& area) {
        return area.Contains(range.firstRow, range.firstColumn) &&
               area.Contains(range.lastRow, range.lastColumn);
    });
}

void SetColumnWidth(Sheet& sheet, const CellRange& range, double width) {
    sheet.columnWidths.push_back({range, width});
}

void SetRowHeight(Sheet& sheet, const CellRange& range, double height) {
    sheet.rowHeights.push_back({range, height});
}

double ColumnWidthAt(const Sheet& sheet, int column) {
    double width = kDefaultColumnWidth;
    for (const SizeLayer& layer : sheet.columnWidths) {
        if (column >= layer.range.firstColumn && column <= layer.range.lastColumn) {
            width = layer.size;
        }
    }
    return width;
}

double RowHeightAt(const Sheet& sheet, int row) {
    double height = kDefaultRowHeight;
    for (const SizeLayer& layer : sheet.rowHeights) {
        if (row >= layer.range.firstRow && row <= layer.range.lastRow) height = layer.size;
    }
    return height;
}

namespace {

using FormatMap = std::map<CellKey, CellFormat>;

// Every cell of a range small enough to be formatted cell by cell.
void AddCells(FormatMap& cells, const CellRange& range) {
    if (range.CellCount() > kMaxFormattedCellsPerLayer) return;
    for (int row = range.firstRow; row <= range.lastRow; ++row) {
        for (int column = range.firstColumn; column <= range.lastColumn; ++column) {
            cells.emplace(CellKey{row, column}, CellFormat{});
        }
    }
}

// A small layer reaches its cells row by row, a large one the cells there are.
void ApplyLayer(FormatMap& cells, const FormatLayer& layer) {
    const CellRange& range = layer.range;
    if (range.CellCount() > kMaxFormattedCellsPerLayer) {
        for (auto& [key, format] : cells) {
            if (range.Contains(key.first, key.second)) Apply(format, layer.property, layer.value);
        }
        return;
    }
    for (int row = range.firstRow; row <= range.lastRow; ++row) {
        auto it = cells.lower_bound({row, range.firstColumn});
        for (; it != cells.end() && it->first.first == row && it->first.second <= range.lastColumn;
             ++it) {
            Apply(it->second, layer.property, layer.value);
        }
    }
}

}  // namespace

std::map<CellKey, CellFormat> FormattedCells(const Sheet& sheet) {
    FormatMap cells;
    for (const auto& [key, value] : sheet.values) cells.emplace(key, CellFormat{});
    for (const CellRange& area : sheet.merged) AddCells(cells, area);
    for (const FormatLayer& layer : sheet.formats) AddCells(cells, layer.range);
    // Layers in the order they were set, so later requests win.
    for (const FormatLayer& layer : sheet.formats) ApplyLayer(cells, layer);
    return cells;
}

std::vector<RowSpan> RowHeightSpans(const Sheet& sheet) {
    std::vector<Span> spans;
    for (const SizeLayer& layer : sheet.rowHeights) {
        spans.push_back({layer.range.firstRow, layer.range.lastRow, layer.size});
    }
    return Flatten(spans);
}

std::vector<RowSpan> ColumnWidthSpans(const Sheet& sheet) {
    std::vector<Span> spans;
    for (const SizeLayer& layer : sheet.columnWidths) {
        spans.push_back({layer.range.firstColumn, layer.range.lastColumn, layer.size});
    }
    return Flatten(spans);
}

}  // namespace velmora::standins
