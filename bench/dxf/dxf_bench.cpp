// A 50 000-entity drawing: opening and saving its DXF file, and drawing it
// into a window-sized image at full extents and zoomed in (what every
// zoom and pan step costs). Run with QT_QPA_PLATFORM=offscreen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "standins/autocad_window/drawing_view.h"
#include "standins/drawing/dxf/dxf_file.h"

namespace velmora::standins {
namespace {

// Piles on a survey grid, each with its label, among boundary polylines,
// lines and arcs: 50 000 entities.
Drawing LargeDrawing() {
    Drawing drawing;
    constexpr double east = 512300, north = 3386400;
    int count = 0;
    for (int row = 0; count < 50000; ++row) {
        for (int i = 0; i < 100 && count < 50000; ++i, count += 2) {
            const Point3 at{east + 3.0 * i, north + 3.0 * row + 0.01 * (i % 3), 0};
            if (i % 10 == 0) {
                AddPolyline(drawing,
                            {{at.x - 1, at.y - 1, 0, 0},
                             {at.x + 28, at.y - 1, 0, 0.2},
                             {at.x + 28, at.y + 1, 0, 0},
                             {at.x - 1, at.y + 1, 0, 0}},
                            true);
            } else if (i % 2) {
                AddCircle(drawing, at, 0.4);
            } else {
                AddPoint(drawing, at);
            }
            const EntityId label =
                AddText(drawing, "P" + std::to_string(count / 2 + 1), {at.x + 1, at.y, 0}, 0.5);
            FindEntity(drawing, label)->alignment = 1;
        }
    }
    return drawing;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

const std::string& LargeFile() {
    static const std::string path = [] {
        const auto file = std::filesystem::temp_directory_path() / "velmora-bench-50000.dxf";
        SaveDxf(LargeDrawing(), file.string());
        return file.string();
    }();
    return path;
}

void BM_Open50000(benchmark::State& state) {
    const std::string& path = LargeFile();
    for (auto _ : state) {
        DxfRead read = LoadDxf(path);
        if (!read.error.empty()) state.SkipWithError(read.error.c_str());
        benchmark::DoNotOptimize(read.drawing.entities.size());
    }
}
BENCHMARK(BM_Open50000)->Unit(benchmark::kMillisecond);

void BM_Save50000(benchmark::State& state) {
    const DxfRead read = LoadDxf(LargeFile());
    const std::string path = LargeFile() + ".saved.dxf";
    for (auto _ : state) {
        const DxfSave save = SaveDxf(read.drawing, path);
        if (!save.error.empty()) state.SkipWithError(save.error.c_str());
    }
}
BENCHMARK(BM_Save50000)->Unit(benchmark::kMillisecond);

// The same drawing's file with 20 000 pile symbols (a block of a circle and
// two lines, referenced at every pile, turned): what drawing the context
// adds to opening.
const std::string& FileWithSymbols() {
    static const std::string path = [] {
        std::string text = ReadAll(LargeFile());
        const std::string block =
            "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n2\nSYM\n10\n0\n20\n0\n0\nCIRCLE\n10\n0\n20\n0\n"
            "40\n0.5\n0\nLINE\n10\n-1\n20\n0\n11\n1\n21\n0\n0\nLINE\n10\n0\n20\n-1\n11\n0\n21\n"
            "1\n0\nENDBLK\n0\nENDSEC\n";
        std::string inserts;
        for (int i = 0; i < 20000; ++i) {
            inserts += "0\nINSERT\n2\nSYM\n10\n" + std::to_string(512300 + 3 * (i % 100)) +
                       "\n20\n" + std::to_string(3386400 + 3 * (i / 100)) + "\n50\n" +
                       std::to_string(i % 90) + "\n";
        }
        const std::size_t entities = text.find("ENTITIES");
        text.insert(text.rfind("0\nSECTION", entities), block);
        text.insert(text.find("0\nENDSEC", text.find("ENTITIES")), inserts);
        const std::string file = LargeFile() + ".symbols.dxf";
        std::ofstream(file, std::ios::binary) << text;
        return file;
    }();
    return path;
}

void BM_Open50000With20000Symbols(benchmark::State& state) {
    for (auto _ : state) {
        DxfRead read = LoadDxf(FileWithSymbols());
        if (!read.error.empty() || read.drawing.context.size() != 60000)
            state.SkipWithError("symbols not drawn");
        benchmark::DoNotOptimize(read.drawing.context.size());
    }
}
BENCHMARK(BM_Open50000With20000Symbols)->Unit(benchmark::kMillisecond);

// Range: 0 at full extents, else the zoom factor on top of them.
void BM_Redraw50000(benchmark::State& state) {
    static int argc = 1;
    static char name[] = "velmora_dxf_bench";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
    const Drawing drawing = LargeDrawing();
    DrawingView view(drawing);
    view.resize(900, 600);
    // Shown (off screen) so that its size is settled before zooming.
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.show();
    view.ZoomExtents();
    for (int i = 0; i < state.range(0); ++i) {
        view.ZoomBy(2, view.rect().center());
    }
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        view.render(&image);
        benchmark::DoNotOptimize(image.bits());
    }
}
BENCHMARK(BM_Redraw50000)->Arg(0)->Arg(3)->Arg(6)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmora::standins

BENCHMARK_MAIN();
