// The calls the Export command makes, recorded on scripted fakes.
#include <gtest/gtest.h>

#include "automation/failure.h"
#include "automation/status.h"
#include "export/export_coordinate_table.h"
#include "fake_object.h"

namespace velmora {
namespace {

using testing::CallLog;
using testing::FakeObject;
using testing::MakeFake;

// A scripted Excel: every Range, Cells, Columns or PageSetup answers a fresh
// object that stores what is put, so the log reads as the chains built.
struct FakeExcel {
    std::shared_ptr<CallLog> log = std::make_shared<CallLog>();
    std::shared_ptr<FakeObject> app = MakeFake("app", log), books = MakeFake("books", log),
                                book = MakeFake("book", log), sheet = MakeFake("sheet", log),
                                active = MakeFake("active", log);

    FakeExcel() {
        app->Returns("Workbooks", Variant(Object(books)))
            .Returns("ActiveSheet", Variant(Object(active)))
            .Stores("Visible");
        books->OnCall("Add", [this](auto) { return Variant(Object(book)); });
        book->Returns("Worksheets", Variant(Object(sheet))).Stores("Visible");
        for (auto& target : {sheet, active}) {
            for (const char* member : {"Range", "Cells", "Columns"}) {
                target->OnGet(member, [this](auto) { return Leaf("range"); });
            }
            target->OnGet("PageSetup", [this](auto) { return Leaf("setup"); });
        }
    }

    Variant Leaf(const char* name) {
        auto leaf = MakeFake(name, log);
        for (const char* member :
             {"Value", "MergeCells", "ColumnWidth", "RowHeight", "HorizontalAlignment",
              "CenterHorizontally", "Bold", "Size", "LineStyle"}) {
            leaf->Stores(member);
        }
        leaf->OnGet("Font", [this](auto) { return Leaf("font"); });
        leaf->OnGet("Borders", [this](auto) { return Leaf("border"); });
        return Object(leaf);
    }
};

// A directory that notes every creation asked for; each ProgID in `installed`
// creates the fake Excel.
struct Harness : LocalDirectory {
    FakeExcel excel;
    WindowState state;
    std::vector<std::string> asked, messages;
    WindowServices services;

    explicit Harness(std::vector<std::string_view> installed = {"Excel.Application"}) {
        for (auto progId : installed) {
            RegisterFactory(std::string(progId), [this] { return Object(excel.app); });
        }
        services.directory = this;
        services.showMessage = [this](std::string_view text) { messages.emplace_back(text); };
        state.pileRegister.rows[0] = {"100.0625", "-12.3456", "0", "ZH-1#"};
        state.pileCount = 1;
    }
    Object Create(std::string_view progId) override {
        asked.emplace_back(progId);
        return LocalDirectory::Create(progId);
    }
};

// Every chain of calls for one pile, in order; "|" separates the calls of a chain.
const char* const kOnePileChains[] = {
    "app.Get Workbooks|books.Call Add",
    "book.Get Worksheets(i2:1)",
    "book.Put Visible = false",
    "sheet.Get Range(\"A1:D1\")|range.Put MergeCells = true",
    "sheet.Get Cells(i2:1, i2:1)|range.Put Value = \"工程桩坐标数据成果表\"",
    "sheet.Get Cells(i2:1, i2:1)|range.Get Font|font.Put Bold = true",
    "font.Put Size = i2:20",
    "sheet.Get Columns(\"A:A\")|range.Put ColumnWidth = i2:8",
    "sheet.Get Columns(\"B:B\")|range.Put ColumnWidth = i2:15",
    "sheet.Get Columns(\"C:C\")|range.Put ColumnWidth = i2:15",
    "sheet.Get Columns(\"D:D\")|range.Put ColumnWidth = i2:15",
    "app.Get ActiveSheet|active.Get Range(\"a2:d65536\")|range.Put RowHeight = "
    "r8:22.857142857142858",
    "app.Get ActiveSheet|active.Get Range(\"a2:d3\")|range.Get Borders(i2:1)|border.Put LineStyle "
    "= i2:1",
    "app.Get ActiveSheet|active.Get Range(\"a2:d3\")|range.Get Borders(i2:2)|border.Put LineStyle "
    "= i2:1",
    "app.Get ActiveSheet|active.Get Range(\"a2:d3\")|range.Get Borders(i2:3)|border.Put LineStyle "
    "= i2:1",
    "app.Get ActiveSheet|active.Get Range(\"a2:d3\")|range.Get Borders(i2:4)|border.Put LineStyle "
    "= i2:1",
    "app.Get ActiveSheet|active.Get PageSetup|setup.Put CenterHorizontally = true",
    "app.Get ActiveSheet|active.Get Range(\"a1:d3\")|range.Put HorizontalAlignment = i2:3",
    "sheet.Get Cells(i2:2, i2:1)|range.Put Value = \"序号\"",
    "sheet.Get Cells(i2:2, i2:2)|range.Put Value = \"桩编号\"",
    "sheet.Get Cells(i2:2, i2:3)|range.Put Value = \"坐标X\"",
    "sheet.Get Cells(i2:2, i2:4)|range.Put Value = \"坐标Y\"",
    "app.Get ActiveSheet|active.Get Cells(i2:3, i2:1)|range.Put Value = i2:1",
    "app.Get ActiveSheet|active.Get Cells(i2:3, i2:2)|range.Put Value = \"ZH-1#\"",
    "app.Get ActiveSheet|active.Get Cells(i2:3, i2:3)|range.Put Value = r8:100.062",
    "app.Get ActiveSheet|active.Get Cells(i2:3, i2:4)|range.Put Value = r8:-12.346",
    "app.Put Visible = true",
};

std::vector<std::string> Calls(std::span<const char* const> chains) {
    std::vector<std::string> calls;
    for (std::string_view chain : chains) {
        for (std::size_t end; (end = chain.find('|')) != chain.npos; chain.remove_prefix(end + 1))
            calls.emplace_back(chain.substr(0, end));
        calls.emplace_back(chain);
    }
    return calls;
}

TEST(ExportSequence, WhicheverProgramIsCreatedGetsTheSameCalls) {
    const std::vector<std::string> chain = {"Excel.Application", "KET.Application",
                                            "ET.Application"};
    for (std::size_t i = 0; i < chain.size(); ++i) {
        SCOPED_TRACE(chain[i]);
        Harness h({chain[i]});
        ExportCoordinateTable(h.state, h.services);
        EXPECT_EQ(h.asked, std::vector(chain.begin(), chain.begin() + i + 1));
        EXPECT_EQ(h.excel.log->Texts(), Calls(kOnePileChains));
        EXPECT_TRUE(h.messages.empty());  // the failed creations before are forgotten
        EXPECT_EQ(h.state.excelApplication, Object(h.excel.app));
        EXPECT_EQ(h.state.excelWorkbook, Object(h.excel.book));
        EXPECT_EQ(h.state.excelWorksheet, Object(h.excel.sheet));
        EXPECT_EQ(h.state.pileCount, 1);  // the register is only read
        EXPECT_EQ(h.state.pileRegister.rows[0][3], "ZH-1#");
    }
    Harness none(std::vector<std::string_view>{});
    ExportCoordinateTable(none.state, none.services);
    EXPECT_EQ(none.asked, chain);
    EXPECT_EQ(none.messages, std::vector<std::string>{std::string(kNoExcelMessage)});
    EXPECT_TRUE(none.excel.log->calls.empty());
    EXPECT_EQ(none.state.excelApplication, nullptr);
}

TEST(ExportSequence, NoPilesMeansNoCallsAndNoMessage) {
    for (std::int16_t count : {std::int16_t{0}, std::int16_t{-1}}) {
        Harness h;
        h.state.pileCount = count;
        ExportCoordinateTable(h.state, h.services);
        EXPECT_TRUE(h.asked.empty());
        EXPECT_TRUE(h.excel.log->calls.empty());
        EXPECT_TRUE(h.messages.empty());
    }
}

TEST(ExportSequence, WithoutAWorkbookOneMessageAndEarlierReferencesStay) {
    {  // Excel is created but adds no workbook: the message, and WPS is not tried.
        Harness h({"Excel.Application", "KET.Application"});
        auto oldBook = MakeFake("old", h.excel.log);
        h.state.excelWorkbook = oldBook;
        h.excel.books->OnCall("Add", [](auto) -> Variant { Fail(status::kDispException); });
        ExportCoordinateTable(h.state, h.services);
        EXPECT_EQ(h.messages.size(), 1u);
        EXPECT_EQ(h.asked, std::vector<std::string>{"Excel.Application"});
        EXPECT_EQ(h.state.excelApplication, Object(h.excel.app));
        EXPECT_EQ(h.state.excelWorkbook, Object(oldBook));
        EXPECT_EQ(h.excel.log->Texts(),
                  (std::vector<std::string>{"app.Get Workbooks", "books.Call Add"}));
    }
    {  // A second export that cannot create Excel leaves the first one's Excel alone.
        Harness h;
        ExportCoordinateTable(h.state, h.services);
        const std::size_t callsOfFirst = h.excel.log->calls.size();
        h.RevokeFactory("Excel.Application");
        ExportCoordinateTable(h.state, h.services);
        EXPECT_EQ(h.messages, std::vector<std::string>{std::string(kNoExcelMessage)});
        EXPECT_EQ(h.excel.log->calls.size(), callsOfFirst);
        EXPECT_EQ(h.state.excelApplication, Object(h.excel.app));
        EXPECT_EQ(h.state.excelWorksheet, Object(h.excel.sheet));
    }
}

}  // namespace
}  // namespace velmora
