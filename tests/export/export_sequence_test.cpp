// The calls the Export command makes, recorded on scripted fakes.
#include <gtest/gtest.h>

#include <algorithm>

#include "automation/failure.h"
#include "automation/status.h"
#include "export/export_coordinate_table.h"
#include "fake_object.h"

namespace velmora {
namespace {

using testing::CallLog;
using testing::FakeObject;
using testing::MakeFake;

// A scripted Excel: every Range, Cells or Columns answers a fresh "range",
// so the log reads as the chains the command builds.
struct FakeExcel {
    std::shared_ptr<CallLog> log = std::make_shared<CallLog>();
    std::shared_ptr<FakeObject> app = MakeFake("app", log);
    std::shared_ptr<FakeObject> books = MakeFake("books", log);
    std::shared_ptr<FakeObject> book = MakeFake("book", log);
    std::shared_ptr<FakeObject> sheet = MakeFake("sheet", log);
    std::shared_ptr<FakeObject> active = MakeFake("active", log);

    FakeExcel() {
        app->Returns("Workbooks", Variant(Object(books)))
            .Returns("ActiveSheet", Variant(Object(active)))
            .Stores("Visible");
        books->OnCall("Add", [this](auto) { return Variant(Object(book)); });
        book->Returns("Worksheets", Variant(Object(sheet))).Stores("Visible");
        for (auto& target : {sheet, active}) {
            for (const char* member : {"Range", "Cells", "Columns"}) {
                target->OnGet(member, [this](auto) { return Variant(Object(MakeRange())); });
            }
            target->OnGet("PageSetup", [this](auto) {
                auto setup = MakeFake("setup", log);
                setup->Stores("CenterHorizontally");
                return Variant(Object(setup));
            });
        }
    }

    Object MakeRange() {
        auto range = MakeFake("range", log);
        for (const char* member :
             {"Value", "MergeCells", "ColumnWidth", "RowHeight", "HorizontalAlignment"}) {
            range->Stores(member);
        }
        range->OnGet("Font", [this](auto) {
            auto font = MakeFake("font", log);
            font->Stores("Bold").Stores("Size");
            return Variant(Object(font));
        });
        range->OnGet("Borders", [this](auto) {
            auto border = MakeFake("border", log);
            border->Stores("LineStyle");
            return Variant(Object(border));
        });
        return range;
    }
};

struct Harness {
    FakeExcel excel;
    LocalDirectory directory;
    WindowState state;
    std::vector<std::string> messages;
    WindowServices services;

    Harness() {
        directory.RegisterFactory("Excel.Application", [this] { return Object(excel.app); });
        services.directory = &directory;
        services.showMessage = [this](std::string_view text) { messages.emplace_back(text); };
    }

    void AddPile(std::string x, std::string y, std::string label) {
        const int row = state.pileCount++;
        state.pileRegister.rows[row] = {std::move(x), std::move(y), "0", std::move(label)};
    }
};

// The log lines after the given line, up to the given count.
std::vector<std::string> Slice(const std::vector<std::string>& lines, std::size_t from,
                               std::size_t count) {
    from = std::min(from, lines.size());
    count = std::min(count, lines.size() - from);
    return {lines.begin() + from, lines.begin() + from + count};
}

TEST(ExportSequence, OnePileMakesTheFixedChainsThenItsRowThenShowsExcel) {
    Harness h;
    h.AddPile("100.0625", "-12.3456", "ZH-1#");
    ExportCoordinateTable(h.state, h.services);

    std::vector<std::string> expected = {
        "app.Get Workbooks",           "books.Call Add",
        "book.Get Worksheets(i2:1)",   "book.Put Visible = false",
        "sheet.Get Range(\"A1:D1\")",  "range.Put MergeCells = true",
        "sheet.Get Cells(i2:1, i2:1)", "range.Put Value = \"工程桩坐标数据成果表\"",
        "sheet.Get Cells(i2:1, i2:1)", "range.Get Font",
        "font.Put Bold = true",        "font.Put Size = i2:20",
    };
    auto add = [&](std::initializer_list<std::string> lines) {
        expected.insert(expected.end(), lines);
    };
    for (const char* column : {"A", "B", "C", "D"}) {
        add({std::string("sheet.Get Columns(\"") + column + ":" + column + "\")",
             std::string("range.Put ColumnWidth = i2:") + (*column == 'A' ? "8" : "15")});
    }
    add({"app.Get ActiveSheet", "active.Get Range(\"a2:d65536\")",
         "range.Put RowHeight = r8:22.857142857142858"});
    for (int side = 1; side <= 4; ++side) {
        add({"app.Get ActiveSheet", "active.Get Range(\"a2:d3\")",
             "range.Get Borders(i2:" + std::to_string(side) + ")", "border.Put LineStyle = i2:1"});
    }
    add({"app.Get ActiveSheet", "active.Get PageSetup", "setup.Put CenterHorizontally = true",
         "app.Get ActiveSheet", "active.Get Range(\"a1:d3\")",
         "range.Put HorizontalAlignment = i2:3"});
    const char* headings[] = {"序号", "桩编号", "坐标X", "坐标Y"};
    for (int column = 1; column <= 4; ++column) {
        add({"sheet.Get Cells(i2:2, i2:" + std::to_string(column) + ")",
             std::string("range.Put Value = \"") + headings[column - 1] + "\""});
    }
    const char* values[] = {"i2:1", "\"ZH-1#\"", "r8:100.062", "r8:-12.346"};
    for (int column = 1; column <= 4; ++column) {
        add({"app.Get ActiveSheet", "active.Get Cells(i2:3, i2:" + std::to_string(column) + ")",
             std::string("range.Put Value = ") + values[column - 1]});
    }
    add({"app.Put Visible = true"});
    EXPECT_EQ(h.excel.log->Texts(), expected);
    EXPECT_TRUE(h.messages.empty());
    EXPECT_EQ(h.directory.CreateCount(), 1);
    EXPECT_EQ(h.state.excelApplication, Object(h.excel.app));
    EXPECT_EQ(h.state.excelWorkbook, Object(h.excel.book));
    EXPECT_EQ(h.state.excelWorksheet, Object(h.excel.sheet));
    EXPECT_EQ(h.state.pileCount, 1);  // the register is only read
    EXPECT_EQ(h.state.pileRegister.rows[0][3], "ZH-1#");
}

TEST(ExportSequence, FivePilesReachRowSevenInOrder) {
    Harness h;
    for (int i = 1; i <= 5; ++i) {
        h.AddPile(std::to_string(i) + ".5", std::to_string(i * 10), "P" + std::to_string(i));
    }
    ExportCoordinateTable(h.state, h.services);
    const auto lines = h.excel.log->Texts();

    EXPECT_EQ(std::count(lines.begin(), lines.end(), "active.Get Range(\"a2:d7\")"), 4);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "active.Get Range(\"a1:d7\")"), 1);
    // The fixed 24 chains take 54 calls, then three per cell: 4 cells a row.
    ASSERT_EQ(lines.size(), 53u + 5 * 4 * 3 + 1);
    const std::vector<std::string> fifthRow = {
        "app.Get ActiveSheet", "active.Get Cells(i2:7, i2:1)", "range.Put Value = i2:5",
        "app.Get ActiveSheet", "active.Get Cells(i2:7, i2:2)", "range.Put Value = \"P5\"",
        "app.Get ActiveSheet", "active.Get Cells(i2:7, i2:3)", "range.Put Value = r8:5.5",
        "app.Get ActiveSheet", "active.Get Cells(i2:7, i2:4)", "range.Put Value = r8:50",
    };
    EXPECT_EQ(Slice(lines, 53 + 4 * 12, 12), fifthRow);
    EXPECT_EQ(lines.back(), "app.Put Visible = true");
}

TEST(ExportSequence, NoPilesMeansNoCallsAndNoMessage) {
    for (std::int16_t count : {std::int16_t{0}, std::int16_t{-1}}) {
        Harness h;
        h.state.pileCount = count;
        ExportCoordinateTable(h.state, h.services);
        EXPECT_EQ(h.directory.CreateCount(), 0);
        EXPECT_TRUE(h.excel.log->calls.empty());
        EXPECT_TRUE(h.messages.empty());
        EXPECT_EQ(h.state.excelApplication, nullptr);
    }
}

TEST(ExportSequence, WithoutExcelOneMessageAndEarlierReferencesStay) {
    {  // Excel starts but cannot add a workbook: the new application is kept.
        Harness h;
        h.AddPile("1", "2", "A");
        auto oldBook = MakeFake("old", h.excel.log);
        h.state.excelWorkbook = oldBook;
        h.excel.books->OnCall("Add", [](auto) -> Variant { Fail(status::kDispException); });
        ExportCoordinateTable(h.state, h.services);
        EXPECT_EQ(h.messages.size(), 1u);
        EXPECT_EQ(h.state.excelApplication, Object(h.excel.app));
        EXPECT_EQ(h.state.excelWorkbook, Object(oldBook));
        EXPECT_EQ(h.excel.log->Texts(),
                  (std::vector<std::string>{"app.Get Workbooks", "books.Call Add"}));
    }
    {  // A second export that cannot create Excel leaves the first one's Excel alone.
        Harness h;
        h.AddPile("1", "2", "A");
        ExportCoordinateTable(h.state, h.services);
        const std::size_t callsOfFirst = h.excel.log->calls.size();
        h.directory.RevokeFactory("Excel.Application");
        ExportCoordinateTable(h.state, h.services);
        EXPECT_EQ(h.messages, (std::vector<std::string>{std::string(kNoExcelMessage)}));
        EXPECT_EQ(h.excel.log->calls.size(), callsOfFirst);
        EXPECT_EQ(h.state.excelApplication, Object(h.excel.app));
        EXPECT_EQ(h.state.excelWorksheet, Object(h.excel.sheet));
    }
}

}  // namespace
}  // namespace velmora
