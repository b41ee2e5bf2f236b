// The workbook as a file: names that never overwrite, the user told where
// it went, and the exported table read back by an independent reader.
#include "standins/excel/xlsx_output.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>

#include "export/export_coordinate_table.h"
#include "standins/excel/desktop_output.h"

namespace velmora::standins {
namespace {

namespace fs = std::filesystem;

struct TempFolder {
    QTemporaryDir dir;
    fs::path path = dir.path().toStdString();
};

// The independent reader's facts about the file's first sheet, one a line.
std::vector<std::string> ReadBack(const fs::path& file) {
    QProcess reader;
    reader.setProcessChannelMode(QProcess::MergedChannels);
    reader.start("/usr/bin/python3", {VELMORA_XLSX_READER, QString::fromStdString(file.string())});
    reader.waitForFinished();
    std::vector<std::string> lines;
    for (const QString& line : QString::fromUtf8(reader.readAll()).split('\n', Qt::SkipEmptyParts))
        lines.push_back(line.toStdString());
    return lines;
}

TEST(XlsxOutput, UnusableStemsFallBackAndTheUserHearsOfWhatIsNotShown) {
    TempFolder folder;
    Workbook workbook;
    workbook.sheets.emplace_back().name = "Sheet1";
    EXPECT_EQ(WorkbookFileStem(workbook), "工作簿");  // A1 empty
    workbook.sheets[0].values[{1, 1}] = std::string("工程桩坐标数据成果表");
    EXPECT_EQ(WorkbookFileStem(workbook), "工程桩坐标数据成果表");
    for (const char* unusable : {"a/b", "..", ".hidden", "line\nbreak"}) {
        workbook.sheets[0].values[{1, 1}] = std::string(unusable);
        EXPECT_EQ(WorkbookFileStem(workbook), "工作簿") << unusable;
    }

    ExcelModel model;
    AddWorkbook(model);
    std::vector<std::string> told;
    DesktopOutput output{folder.path, [](const fs::path&) { return false; },
                         [&](std::string text) { told.push_back(std::move(text)); }};
    auto written = ShowWorkbook(model, output);
    ASSERT_TRUE(written);
    EXPECT_EQ(written->filename(), "工作簿.xlsx");
    EXPECT_GT(fs::file_size(*written), 0u);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find(written->string()), std::string::npos);

    output.folder = folder.path / "missing";
    EXPECT_FALSE(ShowWorkbook(model, output));
    EXPECT_EQ(told.size(), 2u);
    EXPECT_FALSE(fs::exists(folder.path / "missing"));
}

TEST(XlsxOutput, ExportedTableReadsBackWithEveryValueAndFormat) {
    TempFolder folder;
    std::vector<fs::path> opened;
    std::vector<std::string> told;
    DesktopOutput output{folder.path,
                         [&](const fs::path& file) {
                             opened.push_back(file);
                             return true;
                         },
                         [&](std::string text) { told.push_back(std::move(text)); }};
    LocalDirectory directory;
    StandInExcelOptions options;
    options.onVisible = [&](const ExcelModel& model) { ShowWorkbook(model, output); };
    RegisterStandInExcel(directory, options);
    WindowState state;
    WindowServices services{directory};
    // As stored: unreadable fields leave their cell empty, texts stay as they are.
    const RegisterRow rows[] = {{"100.0625", "-12.3456", "0", "ZH1"},
                                {"200", "100", "0", "2#桩"},
                                {"", "2.4375", "0", "A-3"},
                                {"12abc", " 8 ", "0", "桩 3 "},
                                {"1.0625", "0.0005", "0", "#4"}};
    for (const RegisterRow& row : rows) state.pileRegister.rows[state.pileCount++] = row;
    ExportCoordinateTable(state, services);
    ExportCoordinateTable(state, services);

    ASSERT_EQ(opened.size(), 2u);
    EXPECT_TRUE(told.empty());
    EXPECT_EQ(opened[0].filename(), "工程桩坐标数据成果表.xlsx");
    EXPECT_EQ(opened[1].filename(), "工程桩坐标数据成果表 (2).xlsx");
    EXPECT_LT(fs::file_size(opened[0]), 20000u);

    std::vector<std::string> expected = {"sheets 1", "merged A1:D1",
                                         "value A1 s 工程桩坐标数据成果表",
                                         "font A1 bold=1 size=20", "align A1 center"};
    const std::vector<std::vector<std::string>> values = {
        {"s 序号", "s 桩编号", "s 坐标X", "s 坐标Y"},
        {"n 1", "s ZH1", "n 100.062", "n -12.346"},
        {"n 2", "s 2#桩", "n 200", "n 100"},
        {"n 3", "s A-3", "", "n 2.438"},  // an exact half goes to the even digit
        {"n 4", "s 桩 3 ", "", "n 8"},
        {"n 5", "s #4", "n 1.062", "n 0.001"},
    };
    for (int row = 2; row <= 7; ++row) {
        for (int column = 0; column < 4; ++column) {
            const std::string cell = std::string(1, char('A' + column)) + std::to_string(row);
            if (!values[row - 2][column].empty()) {
                expected.push_back("value " + cell + " " + values[row - 2][column]);
            }
            expected.push_back("border " + cell + " thin thin thin thin");
            expected.push_back("align " + cell + " center");
        }
    }
    for (const char* width :
         {"width A 8.710938", "width B 15.710938", "width C 15.710938", "width D 15.710938"}) {
        expected.push_back(width);
    }
    expected.push_back("default-height 22.857143");
    expected.push_back("height 1 15");
    // Rows holding cells are written with their (default) height.
    for (int row = 2; row <= 7; ++row)
        expected.push_back("height " + std::to_string(row) + " 22.857143");
    expected.push_back("center-horizontally 1");
    for (const fs::path& file : opened) EXPECT_EQ(ReadBack(file), expected) << file.filename();
}

}  // namespace
}  // namespace velmora::standins
