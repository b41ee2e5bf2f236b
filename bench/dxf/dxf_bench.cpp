// A 50 000-entity drawing: opening and saving its DXF file, and drawing it
// into a window-sized image at full extents and zoomed in (what every
// zoom and pan step costs). Run with QT_QPA_PLATFORM=offscreen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <cmath>
#include <filesystem>

#include "dxf_file.h"
#include "standins/autocad/qt/drawing_view.h"

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
