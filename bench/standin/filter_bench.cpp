// The stand-in AutoCAD's share of a pass with a block sample: one
// SelectOnScreen over a drawing of 50 000 entities, a fifth of them block
// references, with the filter a block sample makes (type, layer, and the
// block's name with its anonymous references), and the same filter with a
// type only, as points and circles are picked. Also the filter alone.
#include <benchmark/benchmark.h>

#include "standins/autocad/standin_cad.h"
#include "standins/drawing/pick_geometry.h"

namespace velmora::standins {
namespace {

constexpr int kEntities = 50000;

// Block piles (plain, anonymous of a dynamic block, another block), points,
// circles, texts and lines on three layers, in a survey grid.
Drawing LargeDrawing() {
    Drawing drawing;
    const char* layers[] = {"桩位", "其他", "轴线"};
    for (int i = 0; i < kEntities; ++i) {
        const Point3 at{512300 + 3.0 * (i % 200), 3386400 + 3.0 * (i / 200), 0};
        EntityId id = 0;
        switch (i % 10) {
            case 0:
                id = AddBlockReference(drawing, at, "ZH-1");
                break;
            case 1:
                id = AddBlockReference(drawing, at, "*U" + std::to_string(i % 97), "ZH-1");
                break;
            case 2:
                id = AddPoint(drawing, at);
                break;
            case 3:
            case 4:
                id = AddCircle(drawing, at, 0.4);
                break;
            case 5:
            case 6:
                id = AddText(drawing, std::to_string(i), {at.x + 1, at.y, 0}, 0.5);
                break;
            case 7:
                id = AddBlockReference(drawing, at, "TREE");
                break;
            default:
                id = AddLine(drawing, at, {at.x + 2, at.y, 0});
        }
        FindEntity(drawing, id)->layer = layers[(i / 10) % 3];
    }
    return drawing;
}

const VariantArray kBlockSample = {"<and", "INSERT", "桩位", "`*U*,ZH-1", "and>"};
const Int16Array kBlockCodes = {-4, 0, 8, 2, -4};
const VariantArray kPoints = {"<or", "POINT", "or>"};
const Int16Array kPointCodes = {-4, 0, -4};

// SelectOnScreen through the automation layer, the user taking everything.
void SelectAll(benchmark::State& state, const Int16Array& codes, const VariantArray& values) {
    auto host = NewCadHost(LargeDrawing(), [](const PickRequest& request) -> Pick {
        return PickInBox(request.drawing, request.filter, {-1e9, -1e9, 1e9, 1e9}, false);
    });
    const Object sets =
        GetObject(GetObject(CadApplication(host), "ActiveDocument"), "SelectionSets");
    std::int32_t count = 0;
    for (auto _ : state) {
        const Object set = Call(sets, "Add", {"Ssd"}).AsObject();
        Call(set, "SelectOnScreen", {codes, values});
        count = Get(set, "Count").AsInt32();
        Call(set, "Delete");
    }
    state.counters["picked"] = count;
    state.counters["entities"] = kEntities;
}

void BM_SelectOnScreenBlockSample(benchmark::State& state) {
    SelectAll(state, kBlockCodes, kBlockSample);
}
BENCHMARK(BM_SelectOnScreenBlockSample)->Unit(benchmark::kMillisecond);

void BM_SelectOnScreenPoints(benchmark::State& state) { SelectAll(state, kPointCodes, kPoints); }
BENCHMARK(BM_SelectOnScreenPoints)->Unit(benchmark::kMillisecond);

// The filter alone over every entity.
void BM_FilterBlockSample(benchmark::State& state) {
    const Drawing drawing = LargeDrawing();
    const SelectionFilter filter = ReadSelectionFilter(kBlockCodes, kBlockSample);
    int admitted = 0;
    for (auto _ : state) {
        admitted = 0;
        for (const auto& [id, entity] : drawing.entities) admitted += Admits(filter, entity);
        benchmark::DoNotOptimize(admitted);
    }
    state.counters["admitted"] = admitted;
}
BENCHMARK(BM_FilterBlockSample)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmora::standins

BENCHMARK_MAIN();
