// The Export command: the calls it makes, recorded on scripted fakes, and
// the table it leaves in the stand-in Excel.
#include <gtest/gtest.h>

#include "export/export_coordinate_table.h"
#include "fake_object.h"
#include "standins/excel/standin_excel.h"

namespace velmora {
namespace {

using standins::CellFormat, standins::CellValue, standins::FormatAt, standins::Sheet,
    standins::ValueAt;
using testing::CallLog, testing::FakeObject, testing::MakeFake;

// The window around the command, with a directory that notes every creation.
struct Harness : LocalDirectory {
    WindowState state;
    std::vector<std::string> asked, messages;
    WindowServices services{*this};

    Harness() {
        services.showMessage = [this](std::string_view text) { messages.emplace_back(text); };
    }

    Object Create(std::string_view progId) override {
        asked.emplace_back(progId);
        return LocalDirectory::Create(progId);
    }
    void AddPile(RegisterRow row) {
        if (state.pileCount < kRegisterRows) state.pileRegister.rows[state.pileCount] = row;
        ++state.pileCount;
    }
    void Export() { ExportCoordinateTable(state, services); }
};

// A scripted Excel created under the given ProgIDs: every Range, Cells,
// Columns or PageSetup is a fresh object storing what is put, so the log
// reads as the chains built.
struct FakeExcel : Harness {
    std::shared_ptr<CallLog> log = std::make_shared<CallLog>();
    std::shared_ptr<FakeObject> app = MakeFake("app", log), books = MakeFake("books", log),
                                book = MakeFake("book", log), sheet = MakeFake("sheet", log),
                                active = MakeFake("active", log);

    explicit FakeExcel(std::vector<std::string> progIds = {"Excel.Application"}) {
        for (auto& progId : progIds) RegisterFactory(progId, [this] { return Object(app); });
        app->Returns("Workbooks", Variant(Object(books)))
            .Returns("ActiveSheet", Variant(Object(active)))
            .Stores("Visible");
        books->OnCall("Add", [this](auto) { return Variant(Object(book)); });
        book->Returns("Worksheets", Variant(Object(sheet))).Stores("Visible");
        for (auto& target : {sheet, active}) {
            for (const char* member : {"Range", "Cells", "Columns"})
                target->OnGet(member, [this](auto) { return Leaf("range"); });
            target->OnGet("PageSetup", [this](auto) { return Leaf("setup"); });
        }
        AddPile({"100.0625", "-12.3456", "0", "ZH-1#"});
    }
    Variant Leaf(const char* name) {
        auto leaf = MakeFake(name, log);
        for (const char* member :
             {"Value", "MergeCells", "ColumnWidth", "RowHeight", "Bold", "Size",
              "HorizontalAlignment", "CenterHorizontally", "LineStyle"})
            leaf->Stores(member);
        leaf->OnGet("Font", [this](auto) { return Leaf("font"); });
        leaf->OnGet("Borders", [this](auto) { return Leaf("border"); });
        return Object(leaf);
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

const std::vector<std::string> kChain = {"Excel.Application", "KET.Application", "ET.Application"};

TEST(ExportSequence, WhicheverProgramIsCreatedGetsTheSameCalls) {
    for (std::size_t i = 0; i <= kChain.size(); ++i) {
        SCOPED_TRACE(i < kChain.size() ? kChain[i] + " the first there" : "none there");
        FakeExcel h({kChain.begin() + std::min(i, kChain.size()), kChain.end()});
        if (i == kChain.size()) h.state.excelApplication = h.app;
        h.Export();
        EXPECT_EQ(h.asked, std::vector(kChain.begin(), kChain.begin() + std::min(i + 1, 3ul)));
        EXPECT_EQ(h.state.pileCount, 1);  // the register is only read
        // None can be created: the message, and an earlier export's Excel is
        // neither called nor replaced.
        if (i == kChain.size()) {
            EXPECT_EQ(h.messages, std::vector<std::string>{std::string(kNoExcelMessage)});
            EXPECT_TRUE(h.log->calls.empty());
            EXPECT_EQ(h.state.excelApplication, Object(h.app));
            continue;
        }
        EXPECT_EQ(h.log->Texts(), Calls(kOnePileChains));
        EXPECT_TRUE(h.messages.empty());  // the failed creations before are forgotten
        EXPECT_EQ(h.state.excelApplication, Object(h.app));
        EXPECT_EQ(h.state.excelWorkbook, Object(h.book));
        EXPECT_EQ(h.state.excelWorksheet, Object(h.sheet));
    }
}

// The stand-in Excel, and the sheet its last export left.
struct StandIn : Harness {
    std::shared_ptr<standins::ExcelInstances> excel;
    int shown = 0;
    StandIn() {
        standins::StandInExcelOptions options;
        options.onVisible = [this](const standins::ExcelModel&) { ++shown; };
        excel = standins::RegisterStandInExcel(*this, options);
    }
    const Sheet& Last() const { return excel->created.back()->model.workbooks.at(0).sheets.at(0); }
};

CellValue Num(double value) { return value; }
CellValue Text(std::string text) { return text; }
const CellValue kEmpty{};
const std::array<int, 4> kAllSides = {1, 1, 1, 1};

TEST(ExportTable, RowsPastTheRegisterAndPastSixteenBitsSkipOnlyTheirSteps) {
    StandIn h;
    for (int i = 0; i < 10003; ++i)
        h.AddPile({std::to_string(i), "1", "0", "P" + std::to_string(i)});
    h.Export();
    EXPECT_EQ(ValueAt(h.Last(), 10003, 2), Text("P10000"));
    for (int row : {10004, 10005}) {  // past the register: the serial number only
        EXPECT_EQ(ValueAt(h.Last(), row, 1), Num(row - 2));
        for (int column = 2; column <= 4; ++column)
            EXPECT_EQ(ValueAt(h.Last(), row, column), kEmpty);
        EXPECT_EQ(FormatAt(h.Last(), row, 4).borders, kAllSides);
    }
    EXPECT_EQ(FormatAt(h.Last(), 10006, 1), CellFormat{});

    h.state.pileCount = 32767;  // n + 2 does not fit: no borders, no centring
    h.Export();
    EXPECT_EQ(ValueAt(h.Last(), 32767, 1), Num(32765));  // the last row i + 2 reaches
    EXPECT_EQ(h.Last().values.size(), 1u + 4u + 3u * 10001u + 32765u);
    EXPECT_EQ(FormatAt(h.Last(), 3, 1).borders[standins::kLeft], standins::kLineNone);
    EXPECT_EQ(FormatAt(h.Last(), 1, 1).alignment, standins::HorizontalAlignment::General);
    EXPECT_TRUE(FormatAt(h.Last(), 1, 1).bold && h.Last().centerHorizontally);
    EXPECT_EQ(h.shown, 2);
}

}  // namespace
}  // namespace velmora
