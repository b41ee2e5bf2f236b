// The table the Export command leaves in the stand-in Excel.
#include <gtest/gtest.h>

#include "export/export_coordinate_table.h"
#include "standins/excel/standin_excel.h"

namespace velmora {
namespace {

using standins::CellFormat;
using standins::CellValue;
using standins::ExcelInstances;
using standins::FormatAt;
using standins::HorizontalAlignment;
using standins::Sheet;
using standins::ValueAt;

struct Harness {
    LocalDirectory directory;
    std::shared_ptr<ExcelInstances> excel;
    WindowState state;
    std::vector<std::string> messages;
    WindowServices services;
    int shown = 0;

    explicit Harness(standins::StandInExcelOptions options = {}) {
        options.onVisible = [this](const standins::ExcelModel&) { ++shown; };
        excel = standins::RegisterStandInExcel(directory, options);
        services.directory = &directory;
        services.showMessage = [this](std::string_view text) { messages.emplace_back(text); };
    }

    void AddPile(std::string field0, std::string field1, std::string label) {
        const int row = state.pileCount++;
        if (row < kRegisterRows) {
            state.pileRegister.rows[row] = {std::move(field0), std::move(field1), "0",
                                            std::move(label)};
        }
    }

    const Sheet& LastSheet() const {
        return excel->created.back()->model.workbooks.at(0).sheets.at(0);
    }
};

standins::StandInExcelOptions Failing(std::string member, int accessNumber = 0) {
    standins::StandInExcelOptions options;
    options.failures.failMember = std::move(member);
    options.failures.failAccessNumber = accessNumber;
    return options;
}

CellValue Num(double value) { return value; }
CellValue Text(std::string text) { return text; }
const CellValue kEmpty{};

TEST(ExportTable, RowsShowTheRegisterAsStoredWithRoundedCoordinates) {
    struct Row {
        RegisterRow stored;
        CellValue label, x, y;
    };
    const Row rows[] = {
        {{"100", "200", "0", "1"}, Text("1"), Num(100), Num(200)},        // user mode: X first
        {{"200", "100", "0", "K2-a"}, Text("K2-a"), Num(200), Num(100)},  // world mode: Y first
        {{"1.0625", "2.5004", "0", "桩 3 "}, Text("桩 3 "), Num(1.062), Num(2.5)},
        {{"-12.3456", "0.0005", "0", "#4"}, Text("#4"), Num(-12.346), Num(0.001)},
        {{"", "7", "0", "E"}, Text("E"), kEmpty, Num(7)},  // unreadable fields stay empty
        {{"12abc", " 8 ", "0", "F"}, Text("F"), kEmpty, Num(8)},
    };
    Harness h;
    for (const Row& row : rows) h.state.pileRegister.rows[h.state.pileCount++] = row.stored;
    ExportCoordinateTable(h.state, h.services);
    ASSERT_EQ(h.excel->created.size(), 1u);
    const Sheet& sheet = h.LastSheet();

    EXPECT_EQ(ValueAt(sheet, 1, 1), Text("工程桩坐标数据成果表"));
    EXPECT_EQ(ValueAt(sheet, 2, 4), Text("坐标Y"));
    for (int i = 1; i <= 6; ++i) {
        const Row& row = rows[i - 1];
        EXPECT_EQ(ValueAt(sheet, i + 2, 1), Num(i));
        EXPECT_EQ(ValueAt(sheet, i + 2, 2), row.label) << "row " << i;
        EXPECT_EQ(ValueAt(sheet, i + 2, 3), row.x) << "row " << i;
        EXPECT_EQ(ValueAt(sheet, i + 2, 4), row.y) << "row " << i;
    }
    EXPECT_EQ(sheet.values.size(), 1u + 4u + 6u * 4u - 2u);
    EXPECT_EQ(FormatAt(sheet, 8, 4).borders, (std::array<int, 4>{1, 1, 1, 1}));
    EXPECT_EQ(FormatAt(sheet, 9, 1), CellFormat{});
    EXPECT_TRUE(h.excel->created[0]->model.visible);
    EXPECT_EQ(h.shown, 1);
    EXPECT_TRUE(h.messages.empty());  // a bad field is not reported
    EXPECT_EQ(h.state.pileCount, 6);
}

TEST(ExportTable, RowsPastTheRegisterShowTheirSerialNumberOnly) {
    Harness h;
    for (int i = 0; i < 10003; ++i) h.AddPile(std::to_string(i), "1", "P" + std::to_string(i));
    ExportCoordinateTable(h.state, h.services);
    const Sheet& sheet = h.LastSheet();

    EXPECT_EQ(ValueAt(sheet, 10003, 1), Num(10001));
    EXPECT_EQ(ValueAt(sheet, 10003, 2), Text("P10000"));
    EXPECT_EQ(ValueAt(sheet, 10003, 3), Num(10000));
    for (int row : {10004, 10005}) {
        EXPECT_EQ(ValueAt(sheet, row, 1), Num(row - 2));
        for (int column = 2; column <= 4; ++column) EXPECT_EQ(ValueAt(sheet, row, column), kEmpty);
        EXPECT_EQ(FormatAt(sheet, row, 4).borders, (std::array<int, 4>{1, 1, 1, 1}));
    }
    EXPECT_EQ(FormatAt(sheet, 10006, 1), CellFormat{});
    EXPECT_TRUE(h.excel->created[0]->model.visible);
}

TEST(ExportTable, SixteenBitLimitSkipsOnlyTheStepsThatOverflow) {
    Harness h;
    h.state.pileCount = 32767;  // n + 2 does not fit: no borders, no centring
    h.state.pileRegister.rows[0] = {"1", "2", "0", "A"};
    ExportCoordinateTable(h.state, h.services);
    const Sheet& sheet = h.LastSheet();

    EXPECT_EQ(ValueAt(sheet, 3, 2), Text("A"));
    EXPECT_EQ(ValueAt(sheet, 32767, 1), Num(32765));  // the last row i + 2 reaches
    EXPECT_EQ(sheet.values.size(), 1u + 4u + 3u + 32765u);
    EXPECT_EQ(FormatAt(sheet, 3, 1).borders[standins::kLeft], standins::kLineNone);
    EXPECT_EQ(FormatAt(sheet, 1, 1).alignment, HorizontalAlignment::General);
    EXPECT_TRUE(FormatAt(sheet, 1, 1).bold);
    EXPECT_TRUE(sheet.centerHorizontally);
    EXPECT_TRUE(h.excel->created[0]->model.visible);
}

TEST(ExportTable, ExcelFailuresAreSkippedOrReported) {
    {  // The worksheet cannot be had: message, the application and workbook stay.
        Harness h(Failing("Worksheets"));
        h.AddPile("1", "2", "A");
        ExportCoordinateTable(h.state, h.services);
        EXPECT_EQ(h.messages.size(), 1u);
        EXPECT_NE(h.state.excelApplication, nullptr);
        EXPECT_NE(h.state.excelWorkbook, nullptr);
        EXPECT_EQ(h.state.excelWorksheet, nullptr);
        EXPECT_FALSE(h.excel->created[0]->model.visible);
    }
    {  // The workbook refuses Visible (the fourth call): the table is still made.
        Harness h(Failing("", 4));
        h.AddPile("1", "2", "A");
        ExportCoordinateTable(h.state, h.services);
        EXPECT_TRUE(h.messages.empty());
        EXPECT_TRUE(h.excel->created[0]->model.workbooks[0].visible);
        EXPECT_TRUE(standins::IsMerged(h.LastSheet(), {1, 1, 1, 4}));
        EXPECT_EQ(ValueAt(h.LastSheet(), 3, 4), Num(2));
        EXPECT_EQ(h.shown, 1);
    }
    {  // One refused call in the middle costs only its own cell.
        Harness h(Failing("HorizontalAlignment"));
        h.AddPile("1", "2", "A");
        ExportCoordinateTable(h.state, h.services);
        const Sheet& sheet = h.LastSheet();
        EXPECT_TRUE(h.messages.empty());
        EXPECT_EQ(FormatAt(sheet, 3, 3).alignment, HorizontalAlignment::General);
        EXPECT_EQ(FormatAt(sheet, 3, 3).borders[standins::kTop], 1);
        EXPECT_EQ(ValueAt(sheet, 3, 4), Num(2));
        EXPECT_TRUE(h.excel->created[0]->model.visible);
    }
}

}  // namespace
}  // namespace velmora
