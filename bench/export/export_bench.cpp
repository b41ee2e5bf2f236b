// A full register (10 001 piles) exported to the stand-in Excel, with and
// without writing the .xlsx file that the Linux program shows; 10 000 piles
// written as stake-out files (.dat and .csv, GBK, through a temporary file
// flushed to the disk and renamed over the target).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>

#include "export/export_coordinate_table.h"
#include "export/export_stake_out.h"
#include "standins/excel/standin_excel.h"
#include "standins/excel/xlsx_output.h"
#include "values/numbers.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

WindowState FullRegister() {
    WindowState state;
    for (int i = 0; i < kRegisterRows; ++i) {
        const double x = 500000.0 + 1.25 * i + 0.0004;
        const double y = 3400000.0 - 0.75 * i;
        state.pileRegister.rows[i] = {CoordinateText(x), CoordinateText(y), "0",
                                      "ZH-" + std::to_string(i + 1) + "#"};
    }
    state.pileCount = kRegisterRows;
    return state;
}

void Export(benchmark::State& run, bool writeFile) {
    const fs::path file = fs::temp_directory_path() / "velmora-export-bench.xlsx";
    WindowState state = FullRegister();
    LocalDirectory directory;
    standins::StandInExcelOptions options;
    std::string error;
    if (writeFile) {
        options.onVisible = [&](const standins::ExcelModel& model) {
            error = standins::WriteWorkbookXlsx(model.workbooks.at(model.activeWorkbook), file);
        };
    }
    auto instances = standins::RegisterStandInExcel(directory, options);
    WindowServices services{directory};
    for (auto _ : run) {
        ExportCoordinateTable(state, services);
        instances->created.clear();
        state.excelApplication.reset();
        state.excelWorkbook.reset();
        state.excelWorksheet.reset();
    }
    if (!error.empty()) run.SkipWithError(error.c_str());
    if (writeFile) {
        run.counters["file_bytes"] = static_cast<double>(fs::file_size(file));
        fs::remove(file);
    }
    run.counters["piles"] = kRegisterRows;
}

void BM_ExportToStandIn(benchmark::State& run) { Export(run, false); }
void BM_ExportAndWriteXlsx(benchmark::State& run) { Export(run, true); }

// Half the rows taken in 用户坐标, half in 世界坐标; Chinese labels.
void StakeOut(benchmark::State& run, int type) {
    constexpr int kPiles = 10000;
    WindowState state = FullRegister();
    state.pileCount = kPiles;
    for (int i = 0; i < kPiles; i += 2) state.pileRegister.modes[i] = Coordinates::World;
    for (int i = 0; i < kPiles; ++i) state.pileRegister.rows[i][3] = "桩" + std::to_string(i + 1);
    const fs::path file = fs::temp_directory_path() / "velmora-stake-out-bench";
    LocalDirectory nothingRuns;  // the stake-out file needs no program
    WindowServices services{nothingRuns};
    std::string said;
    services.showMessage = [&](std::string_view text) { said = text; };
    services.chooseSaveFile = [&](const SaveRequest&) {
        return std::optional<SaveChoice>({file.string(), type});
    };
    for (auto _ : run) ExportStakeOutFile(state, services);
    const fs::path written = state.stakeOutPath;
    if (said.rfind("已写入 10000 根桩", 0) != 0) run.SkipWithError(said.c_str());
    run.counters["file_bytes"] = static_cast<double>(fs::file_size(written));
    run.counters["us_per_pile"] =
        benchmark::Counter(double(run.iterations()) * kPiles,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert,
                           benchmark::Counter::OneK::kIs1000);
    fs::remove(written);
}

BENCHMARK(BM_ExportToStandIn)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(StakeOut, cass_dat, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(StakeOut, csv, 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportAndWriteXlsx)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmora

BENCHMARK_MAIN();
