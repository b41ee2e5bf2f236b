// The stand-in Excel: addresses, members, typed values and Excel's refusals.
#include "standins/excel/standin_excel.h"

#include <gtest/gtest.h>

#include "automation/failure.h"
#include "status_of.h"

namespace velmora::standins {
namespace {

Variant I2(int value) { return Variant(static_cast<std::int16_t>(value)); }

using testing::StatusOf;

TEST(CellRange, ReadsAddressesAsExcelSpellsThem) {
    struct Case {
        const char* text;
        CellRange range;
    };
    // clang-format off
    const Case good[] = {
        {"A1", {1, 1, 1, 1}},             {"A1:D1", {1, 1, 1, 4}},       {"$B$3:$c4", {3, 2, 4, 3}},
        {"a2:d65536", {2, 1, 65536, 4}},  {"D7:A2", {2, 1, 7, 4}},       {"A:A", {1, 1, kMaxRows, 1}},
        {"b:D", {1, 2, kMaxRows, 4}},     {"2:5", {2, 1, 5, kMaxColumns}},
        {"XFD1048576", {kMaxRows, kMaxColumns, kMaxRows, kMaxColumns}}};
    // clang-format on
    for (const Case& c : good) {
        auto range = ParseRange(c.text);
        ASSERT_TRUE(range) << c.text;
        EXPECT_EQ(*range, c.range) << c.text;
    }
    for (const char* bad : {"", "A0", "XFE1", "A1048577", "1A", "A1:", ":A1", "A", "5", "A1:B",
                            "A1,B2", "A 1", "$5", "A$", "AAAA1", "A-1", "中1"}) {
        EXPECT_FALSE(ParseRange(bad)) << bad;
    }
    EXPECT_EQ(ColumnName(1), "A");
    EXPECT_EQ(ColumnName(28), "AB");
    EXPECT_EQ(ColumnName(kMaxColumns), "XFD");
    EXPECT_EQ(RangeText({2, 1, 7, 4}), "A2:D7");
}

struct Excel {
    LocalDirectory directory;
    std::shared_ptr<ExcelInstances> instances;
    int shown = 0;
    Object app;
    Object sheet;

    Excel() {
        instances = RegisterStandInExcel(directory, {[this](const ExcelModel&) { ++shown; }});
        app = directory.Create("Excel.Application");
    }
    Object Cell(int row, int column) { return GetObject(sheet, "Cells", {I2(row), I2(column)}); }
    const Sheet& TheSheet() { return instances->created.back()->model.workbooks.back().sheets[0]; }
};

TEST(StandInExcel, RefusesWhatExcelRefuses) {
    Excel excel;
    EXPECT_EQ(Get(excel.app, "ActiveSheet"), Variant(Object{}));  // no workbook yet
    Object book = Call(GetObject(excel.app, "Workbooks"), "Add").AsObject();
    excel.sheet = GetObject(book, "Worksheets", {I2(1)});
    // Values keep their type; the default member is Value; empty text empties a cell.
    Put(excel.Cell(1, 2), "Value", Variant("007"));
    Put(excel.Cell(1, 3), "", Variant(-1.25));
    EXPECT_EQ(ValueAt(excel.TheSheet(), 1, 2), CellValue(std::string("007")));
    EXPECT_EQ(Get(excel.Cell(1, 3), "Value"), Variant(-1.25));
    Put(excel.Cell(1, 2), "Value", Variant(""));
    Put(excel.Cell(1, 3), "Value", Variant(""));
    const Object& sheet = excel.sheet;
    auto cell = [&] { return excel.Cell(1, 1); };
    // clang-format off
    const std::pair<std::uint32_t, std::function<void()>> refusals[] = {
        {kExcelRefused, [&] { (void)GetObject(sheet, "Range", {"A1:"}); }},
        {kExcelRefused, [&] { (void)GetObject(sheet, "Range", {I2(1)}); }},
        {kExcelRefused, [&] { (void)excel.Cell(0, 1); }},
        {kExcelRefused, [&] { (void)GetObject(sheet, "Cells", {I2(1), Variant(16385)}); }},
        {kExcelRefused, [&] { (void)GetObject(sheet, "Cells", {Variant(1048577), I2(1)}); }},
        {kExcelRefused, [&] { (void)GetObject(sheet, "Columns", {"A1:B2"}); }},
        {kExcelRefused, [&] { Put(GetObject(sheet, "Columns", {"A:A"}), "ColumnWidth", I2(256)); }},
        {kExcelRefused, [&] { Put(cell(), "RowHeight", Variant(-1.0)); }},
        {kExcelRefused, [&] { Put(cell(), "HorizontalAlignment", I2(99)); }},
        {kExcelRefused, [&] { Put(GetObject(cell(), "Borders", {I2(1)}), "LineStyle", I2(3)); }},
        {kExcelRefused, [&] { (void)GetObject(cell(), "Borders", {I2(99)}); }},
        {kExcelRefused, [&] { Put(GetObject(cell(), "Font"), "Size", I2(0)); }},
        {status::kUnknownName, [&] { (void)Get(sheet, "Name"); }},
        {status::kUnknownName, [&] { Put(cell(), "NumberFormat", Variant("0.00")); }},
        {status::kTypeMismatch, [&] { Put(cell(), "Value", Variant(DoubleArray{1, 2})); }},
        {status::kTypeMismatch, [&] { Put(cell(), "ColumnWidth", Variant("wide")); }},
        {kExcelOutOfMemory, [&] { Put(GetObject(sheet, "Range", {"A:Z"}), "Value", I2(1)); }},
        {status::kBadIndex, [&] { (void)GetObject(book, "Worksheets", {I2(2)}); }},
        {status::kUnknownName, [&] { Put(book, "Visible", Variant(false)); }},
    };
    // clang-format on
    for (std::size_t i = 0; i < std::size(refusals); ++i)
        EXPECT_EQ(StatusOf(refusals[i].second), refusals[i].first) << "refusal " << i;
    // Nothing refused left a trace.
    const Sheet& model = excel.TheSheet();
    EXPECT_TRUE(model.values.empty() && model.formats.empty() && model.columnWidths.empty());
    // Merging joins the areas it touches, as Excel does; alignments read back as Excel's codes.
    Put(GetObject(sheet, "Range", {"B1:D1"}), "MergeCells", Variant(true));
    Put(GetObject(sheet, "Range", {"A1:B1"}), "MergeCells", Variant(true));
    EXPECT_EQ(model.merged, (std::vector<CellRange>{{1, 1, 1, 4}}));
    Put(GetObject(sheet, "Range", {"a1:d3"}), "HorizontalAlignment", I2(3));
    EXPECT_EQ(Get(excel.Cell(3, 4), "HorizontalAlignment"), Variant(std::int32_t{-4108}));

    // The desktop action runs once per showing, not on every Visible = true.
    for (const Variant& visible : {Variant(true), Variant(true), Variant(false), I2(-1)})
        Put(excel.app, "Visible", visible);
    EXPECT_EQ(excel.shown, 2);
}

}  // namespace
}  // namespace velmora::standins
