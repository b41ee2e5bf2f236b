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

standins::StandInExcelOptions Unavailable() {
    standins::StandInExcelOptions options;
    options.unavailable = true;
    return options;
}

standins::StandInExcelOptions FailingMember(std::string member) {
    standins::StandInExcelOptions options;
    options.failures.failMember = std::move(member);
    return options;
}

CellValue Num(double value) { return value; }
CellValue Text(std::string text) { return text; }
const CellValue kEmpty{};

TEST(ExportTable, LayoutOfThreePiles) {
    Harness h;
    h.AddPile("100", "200", "1");     // user coordinates: X before Y
    h.AddPile("200", "100", "K2-a");  // world coordinates: Y before X, as stored
    h.AddPile("-0.5", "3e2", "桩 3 ");
    ExportCoordinateTable(h.state, h.services);
    ASSERT_EQ(h.excel->created.size(), 1u);
    const auto& model = h.excel->created[0]->model;
    const Sheet& sheet = h.LastSheet();

    EXPECT_TRUE(model.visible);
    EXPECT_EQ(h.shown, 1);
    EXPECT_FALSE(model.workbooks[0].visible);
    EXPECT_EQ(sheet.merged, (std::vector<standins::CellRange>{{1, 1, 1, 4}}));
    EXPECT_EQ(ValueAt(sheet, 1, 1), Text("工程桩坐标数据成果表"));
    const std::vector<CellValue> expected[] = {
        {Text("序号"), Text("桩编号"), Text("坐标X"), Text("坐标Y")},
        {Num(1), Text("1"), Num(100), Num(200)},
        {Num(2), Text("K2-a"), Num(200), Num(100)},
        {Num(3), Text("桩 3 "), Num(-0.5), Num(300)},
    };
    for (int row = 2; row <= 5; ++row) {
        for (int column = 1; column <= 4; ++column) {
            EXPECT_EQ(ValueAt(sheet, row, column), expected[row - 2][column - 1])
                << "row " << row << " column " << column;
        }
    }
    EXPECT_EQ(sheet.values.size(), 1u + 16u);

    const CellFormat title = FormatAt(sheet, 1, 1);
    EXPECT_TRUE(title.bold);
    EXPECT_EQ(title.fontSize, 20);
    EXPECT_EQ(title.alignment, HorizontalAlignment::Center);
    EXPECT_EQ(title.borders[standins::kBottom], standins::kLineNone);
    EXPECT_FALSE(FormatAt(sheet, 1, 2).bold);
    for (int row = 2; row <= 5; ++row) {
        for (int column = 1; column <= 4; ++column) {
            const CellFormat cell = FormatAt(sheet, row, column);
            EXPECT_EQ(cell.borders, (std::array<int, 4>{1, 1, 1, 1}));
            EXPECT_EQ(cell.alignment, HorizontalAlignment::Center);
            EXPECT_FALSE(cell.bold);
        }
    }
    EXPECT_EQ(FormatAt(sheet, 6, 1), CellFormat{});
    EXPECT_EQ(FormatAt(sheet, 3, 5), CellFormat{});

    EXPECT_EQ(standins::ColumnWidthAt(sheet, 1), 8);
    EXPECT_EQ(standins::ColumnWidthAt(sheet, 4), 15);
    EXPECT_EQ(standins::ColumnWidthAt(sheet, 5), standins::kDefaultColumnWidth);
    const auto heights = standins::RowHeightSpans(sheet);
    ASSERT_EQ(heights.size(), 1u);
    EXPECT_EQ(heights[0].firstRow, 2);
    EXPECT_EQ(heights[0].lastRow, 65536);
    EXPECT_EQ(heights[0].height, 0.8 / 0.035);
    EXPECT_TRUE(sheet.centerHorizontally);
}

TEST(ExportTable, CoordinatesRoundHalfEvenAndUnreadableFieldsStayEmpty) {
    Harness h;
    h.AddPile("1.0625", "2.5004", "A");
    h.AddPile("-12.3456", "0.0005", "B");
    h.AddPile("", "7", "C");
    h.AddPile("12abc", " 8 ", "D");
    ExportCoordinateTable(h.state, h.services);
    const Sheet& sheet = h.LastSheet();

    EXPECT_EQ(ValueAt(sheet, 3, 3), Num(1.062));
    EXPECT_EQ(ValueAt(sheet, 3, 4), Num(2.5));
    EXPECT_EQ(ValueAt(sheet, 4, 3), Num(-12.346));
    EXPECT_EQ(ValueAt(sheet, 4, 4), Num(0.001));  // the double 0.0005 lies just above the half
    EXPECT_EQ(ValueAt(sheet, 5, 3), kEmpty);
    EXPECT_EQ(ValueAt(sheet, 5, 4), Num(7));
    EXPECT_EQ(ValueAt(sheet, 6, 2), Text("D"));
    EXPECT_EQ(ValueAt(sheet, 6, 3), kEmpty);
    EXPECT_EQ(ValueAt(sheet, 6, 4), Num(8));
    EXPECT_TRUE(h.messages.empty());  // a bad field is not reported
}

TEST(ExportTable, TwoExportsGiveTwoIdenticalWorkbooks) {
    Harness h;
    h.AddPile("10.1", "20.2", "Z1");
    h.AddPile("30.3", "40.4", "Z2");
    ExportCoordinateTable(h.state, h.services);
    ExportCoordinateTable(h.state, h.services);
    ASSERT_EQ(h.excel->created.size(), 2u);
    const Sheet& first = h.excel->created[0]->model.workbooks.at(0).sheets.at(0);
    const Sheet& second = h.excel->created[1]->model.workbooks.at(0).sheets.at(0);
    EXPECT_EQ(first.values, second.values);
    EXPECT_EQ(standins::FormattedCells(first), standins::FormattedCells(second));
    EXPECT_EQ(first.merged, second.merged);
    EXPECT_NE(h.state.excelApplication, nullptr);
    EXPECT_EQ(h.shown, 2);
    EXPECT_EQ(h.state.pileCount, 2);
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
    {  // Excel not installed: one message, nothing created.
        Harness h(Unavailable());
        h.AddPile("1", "2", "A");
        ExportCoordinateTable(h.state, h.services);
        EXPECT_EQ(h.messages, (std::vector<std::string>{std::string(kNoExcelMessage)}));
        EXPECT_TRUE(h.excel->created.empty());
    }
    {  // The worksheet cannot be had: message, the application and workbook stay.
        Harness h(FailingMember("Worksheets"));
        h.AddPile("1", "2", "A");
        ExportCoordinateTable(h.state, h.services);
        EXPECT_EQ(h.messages.size(), 1u);
        EXPECT_NE(h.state.excelApplication, nullptr);
        EXPECT_NE(h.state.excelWorkbook, nullptr);
        EXPECT_EQ(h.state.excelWorksheet, nullptr);
        EXPECT_FALSE(h.excel->created[0]->model.visible);
    }
    {  // One refused call in the middle costs only its own cell.
        Harness h(FailingMember("HorizontalAlignment"));
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
