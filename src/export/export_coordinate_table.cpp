#include "export/export_coordinate_table.h"

#include <cstdint>
#include <string>

#include "automation/runner.h"
#include "values/numbers.h"

namespace velmora {

namespace {

Variant I2(int value) { return Variant(static_cast<std::int16_t>(value)); }

// The register's coordinate text as the number the table shows.
double TableCoordinate(const PileRegister& pileRegister, int row, int field) {
    return RoundHalfEven(ReadCoordinateText(RegisterField(pileRegister, row, field)), 3);
}

Object ActiveSheet(const WindowState& state) {
    return GetObject(state.excelApplication, "ActiveSheet");
}

// The range text "a<firstRow>:d<n + 2>"; n + 2 fails past the 16-bit range.
std::string TableRange(char firstRow, std::int16_t n) {
    return std::string("a") + firstRow + ":d" + std::to_string(Add16(n, 2));
}

// Creates the first spreadsheet program that can be created, adds a
// workbook and takes its first worksheet. Each step builds on the object
// this run obtained, never on one left from an earlier export: a failed
// creation must not add a workbook to the user's earlier Excel. A failed
// creation is cleared before the next is tried, so LastError tells only how
// the whole chain ended; once one program is created it is the one used,
// whatever its workbook does.
bool ObtainExcel(WindowState& state, const WindowServices& services, ContinueOnFailure& runner) {
    Object application;
    Object workbook;
    for (std::string_view progId : kExcelProgIds) {
        runner.Clear();
        const bool created = runner.Run([&] {
            application = services.directory.Create(progId);
            state.excelApplication = application;
        });
        if (created) break;
    }
    runner.Run([&] {
        workbook = Call(GetObject(application, "Workbooks"), "Add").AsObject();
        state.excelWorkbook = workbook;
    });
    runner.Run([&] { state.excelWorksheet = GetObject(workbook, "Worksheets", {I2(1)}); });
    return runner.LastError() == status::kOk;
}

void LayOutSheet(const WindowState& state, std::int16_t n, ContinueOnFailure& runner) {
    const Object& sheet = state.excelWorksheet;
    runner.Run([&] { Put(state.excelWorkbook, "Visible", Variant(false)); });
    runner.Run([&] { Put(GetObject(sheet, "Range", {"A1:D1"}), "MergeCells", Variant(true)); });
    runner.Run([&] { Put(GetObject(sheet, "Cells", {I2(1), I2(1)}), "Value", kTableTitle); });
    Object titleFont;
    runner.Run([&] {
        titleFont = GetObject(GetObject(sheet, "Cells", {I2(1), I2(1)}), "Font");
        Put(titleFont, "Bold", Variant(true));
    });
    runner.Run([&] { Put(titleFont, "Size", I2(20)); });
    const std::pair<const char*, int> widths[] = {
        {"A:A", 8}, {"B:B", 15}, {"C:C", 15}, {"D:D", 15}};
    for (const auto& column : widths) {
        runner.Run([&] {
            Put(GetObject(sheet, "Columns", {column.first}), "ColumnWidth", I2(column.second));
        });
    }
    runner.Run([&] {
        Put(GetObject(ActiveSheet(state), "Range", {"a2:d65536"}), "RowHeight",
            Variant(kTableRowHeight));
    });
    // Numbers and texts of a step are worked out before its first call, so a
    // step that overflows makes no call at all.
    for (int side = 1; side <= 4; ++side) {
        runner.Run([&] {
            const std::string address = TableRange('2', n);
            Object range = GetObject(ActiveSheet(state), "Range", {address});
            Put(GetObject(range, "Borders", {I2(side)}), "LineStyle", I2(1));
        });
    }
    runner.Run([&] {
        Put(GetObject(ActiveSheet(state), "PageSetup"), "CenterHorizontally", Variant(true));
    });
    runner.Run([&] {
        const std::string address = TableRange('1', n);
        Put(GetObject(ActiveSheet(state), "Range", {address}), "HorizontalAlignment", I2(3));
    });
    for (int column = 1; column <= 4; ++column) {
        runner.Run([&] {
            Put(GetObject(sheet, "Cells", {I2(2), I2(column)}), "Value", kTableHeaders[column - 1]);
        });
    }
}

// One table row: four steps, each its own chain from the active sheet. The
// value and the row number are worked out first, so a missing register row,
// an unreadable coordinate or an overflowing row makes no call.
void WriteTableRow(const WindowState& state, std::int16_t i, ContinueOnFailure& runner) {
    auto putCell = [&](int column, const Variant& value) {
        const std::int16_t row = Add16(i, 2);
        Put(GetObject(ActiveSheet(state), "Cells", {Variant(row), I2(column)}), "Value", value);
    };
    runner.Run([&] { putCell(1, Variant(i)); });
    runner.Run([&] {
        Variant label(RegisterField(state.pileRegister, Sub16(i, 1), 3));
        putCell(2, label);
    });
    runner.Run([&] { putCell(3, Variant(TableCoordinate(state.pileRegister, Sub16(i, 1), 0))); });
    runner.Run([&] { putCell(4, Variant(TableCoordinate(state.pileRegister, Sub16(i, 1), 1))); });
}

}  // namespace

void ExportCoordinateTable(WindowState& state, const WindowServices& services) {
    if (state.pileCount <= 0) return;
    const std::int16_t n = state.pileCount;

    ContinueOnFailure runner;
    if (!ObtainExcel(state, services, runner)) {
        if (services.showMessage) services.showMessage(kNoExcelMessage);
        return;
    }
    LayOutSheet(state, n, runner);
    for (int i = 1; i <= n; ++i) WriteTableRow(state, static_cast<std::int16_t>(i), runner);
    runner.Run([&] { Put(state.excelApplication, "Visible", Variant(true)); });
}

}  // namespace velmora
