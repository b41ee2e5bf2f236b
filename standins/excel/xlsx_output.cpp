#include "standins/excel/xlsx_output.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cmath>
#include <map>

namespace velmora::standins {

namespace {

// Rows of one height beyond this count are written as the sheet's default
// row height instead of row by row.
constexpr int kRowsWrittenOneByOne = 1000;

std::uint8_t BorderStyle(int lineStyle) {
    switch (lineStyle) {
        case kLineContinuous:
            return LXW_BORDER_THIN;
        case kLineDash:
            return LXW_BORDER_DASHED;
        case kLineDot:
            return LXW_BORDER_DOTTED;
        case kLineDouble:
            return LXW_BORDER_DOUBLE;
        case kLineDashDot:
            return LXW_BORDER_DASH_DOT;
        case kLineDashDotDot:
            return LXW_BORDER_DASH_DOT_DOT;
        case kLineSlantDashDot:
            return LXW_BORDER_SLANT_DASH_DOT;
        default:
            return LXW_BORDER_NONE;
    }
}

std::uint8_t Alignment(HorizontalAlignment alignment) {
    switch (alignment) {
        case HorizontalAlignment::Left:
            return LXW_ALIGN_LEFT;
        case HorizontalAlignment::Center:
            return LXW_ALIGN_CENTER;
        case HorizontalAlignment::Right:
            return LXW_ALIGN_RIGHT;
        case HorizontalAlignment::Fill:
            return LXW_ALIGN_FILL;
        case HorizontalAlignment::Justify:
            return LXW_ALIGN_JUSTIFY;
        case HorizontalAlignment::CenterAcross:
            return LXW_ALIGN_CENTER_ACROSS;
        case HorizontalAlignment::General:
            break;
    }
    return LXW_ALIGN_NONE;
}

// One xlsx format per distinct cell format: a cell takes exactly one, so
// border, alignment and font are combined here.
class Formats {
  public:
    explicit Formats(lxw_workbook* workbook) : workbook_(workbook) {}

    lxw_format* For(const CellFormat& format) {
        if (format == CellFormat{}) return nullptr;
        auto [it, added] = formats_.try_emplace(format, nullptr);
        if (!added) return it->second;
        lxw_format* made = workbook_add_format(workbook_);
        if (format.bold) format_set_bold(made);
        if (format.fontSize != kDefaultFontSize) format_set_font_size(made, format.fontSize);
        if (format.alignment != HorizontalAlignment::General) {
            format_set_align(made, Alignment(format.alignment));
        }
        format_set_left(made, BorderStyle(format.borders[kLeft]));
        format_set_right(made, BorderStyle(format.borders[kRight]));
        format_set_top(made, BorderStyle(format.borders[kTop]));
        format_set_bottom(made, BorderStyle(format.borders[kBottom]));
        it->second = made;
        return made;
    }

  private:
    lxw_workbook* workbook_;
    std::map<CellFormat, lxw_format*> formats_;
};

void WriteRowHeights(lxw_worksheet* worksheet, const Sheet& sheet) {
    const std::vector<RowSpan> spans = RowHeightSpans(sheet);
    auto longest = std::max_element(spans.begin(), spans.end(), [](const auto& a, const auto& b) {
        return a.lastRow - a.firstRow < b.lastRow - b.firstRow;
    });
    const RowSpan* byDefault = nullptr;
    if (longest != spans.end() && longest->lastRow - longest->firstRow >= kRowsWrittenOneByOne) {
        byDefault = &*longest;
        worksheet_set_default_row(worksheet, byDefault->height, LXW_FALSE);
    }
    auto setRow = [&](int row, double height) {
        // The library leaves out a height equal to its own default even when
        // the sheet's default differs; the next double up prints the same.
        if (height == LXW_DEF_ROW_HEIGHT) height = std::nextafter(height, 16.0);
        worksheet_set_row(worksheet, static_cast<lxw_row_t>(row - 1), height, nullptr);
    };
    // With a default height set, rows outside every span must be given
    // Excel's own height one by one. Past the last span (and past the first
    // thousand rows of a gap or of a second long span) the file approximates.
    int nextRow = 1;
    for (const RowSpan& span : spans) {
        if (byDefault) {
            const int last = std::min(span.firstRow - 1, nextRow + kRowsWrittenOneByOne - 1);
            for (int row = nextRow; row <= last; ++row) setRow(row, kDefaultRowHeight);
        }
        if (&span != byDefault) {
            const int last = std::min(span.lastRow, span.firstRow + kRowsWrittenOneByOne - 1);
            for (int row = span.firstRow; row <= last; ++row) setRow(row, span.height);
        }
        nextRow = span.lastRow + 1;
    }
}

void WriteCell(lxw_worksheet* worksheet, int row, int column, const CellValue& value,
               lxw_format* format) {
    const auto r = static_cast<lxw_row_t>(row - 1);
    const auto c = static_cast<lxw_col_t>(column - 1);
    if (auto* number = std::get_if<double>(&value)) {
        worksheet_write_number(worksheet, r, c, *number, format);
    } else if (auto* text = std::get_if<std::string>(&value)) {
        worksheet_write_string(worksheet, r, c, text->c_str(), format);
    } else if (auto* flag = std::get_if<bool>(&value)) {
        worksheet_write_boolean(worksheet, r, c, *flag ? 1 : 0, format);
    } else if (format) {
        worksheet_write_blank(worksheet, r, c, format);
    }
}

void WriteSheet(lxw_workbook* workbook, Formats& formats, const Sheet& sheet) {
    lxw_worksheet* worksheet = workbook_add_worksheet(workbook, sheet.name.c_str());
    for (const RowSpan& span : ColumnWidthSpans(sheet)) {
        worksheet_set_column(worksheet, static_cast<lxw_col_t>(span.firstRow - 1),
                             static_cast<lxw_col_t>(span.lastRow - 1), span.height, nullptr);
    }
    WriteRowHeights(worksheet, sheet);
    const std::map<CellKey, CellFormat> cells = FormattedCells(sheet);
    for (const CellRange& area : sheet.merged) {
        if (area.CellCount() > kMaxFormattedCellsPerLayer) continue;
        auto topLeft = cells.find({area.firstRow, area.firstColumn});
        worksheet_merge_range(worksheet, static_cast<lxw_row_t>(area.firstRow - 1),
                              static_cast<lxw_col_t>(area.firstColumn - 1),
                              static_cast<lxw_row_t>(area.lastRow - 1),
                              static_cast<lxw_col_t>(area.lastColumn - 1), "",
                              topLeft == cells.end() ? nullptr : formats.For(topLeft->second));
    }
    for (const auto& [key, format] : cells) {
        // A merged area shows the value of its top-left cell only.
        const bool hidden =
            std::any_of(sheet.merged.begin(), sheet.merged.end(), [cell = key](auto& a) {
                return a.Contains(cell.first, cell.second) &&
                       !(a.firstRow == cell.first && a.firstColumn == cell.second);
            });
        const CellValue& value = hidden ? CellValue{} : ValueAt(sheet, key.first, key.second);
        WriteCell(worksheet, key.first, key.second, value, formats.For(format));
    }
    if (sheet.centerHorizontally) worksheet_center_horizontally(worksheet);
}

}  // namespace

std::string WriteWorkbookXlsx(const Workbook& workbook, const std::filesystem::path& path) {
    lxw_workbook* file = workbook_new(path.c_str());
    if (!file) return "cannot create " + path.string();
    Formats formats(file);
    for (const Sheet& sheet : workbook.sheets) WriteSheet(file, formats, sheet);
    const lxw_error error = workbook_close(file);
    if (error != LXW_NO_ERROR) return lxw_strerror(error);
    return {};
}

}  // namespace velmora::standins
