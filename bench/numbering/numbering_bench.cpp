// One pass of 10 000 piles through the Number command against the
// in-process stand-in AutoCAD, in both record modes, and the same
// automation calls made directly, to tell the stand-in's share of the time
// from the command's own. Then a pass with a block sample over a drawing of
// 50 000 entities, of which 10 000 are the sample's piles.
#include <benchmark/benchmark.h>

#include <memory>

#include "numbering/filter_mtext.h"
#include "standins/autocad/standin_cad.h"
#include "tap.h"
#include "window/control_values.h"

namespace velmora {
namespace {

constexpr int kPiles = 10000;

struct Setup {
    LocalDirectory directory;
    std::shared_ptr<standins::CadHost> cad;
    std::unique_ptr<WindowState> state;
    WindowServices services{directory};
    std::vector<standins::EntityId> piles;

    explicit Setup(bool world) {
        standins::Drawing drawing;
        for (int i = 0; i < kPiles; ++i) {
            piles.push_back(standins::AddPoint(
                drawing,
                {500000 + 3.0 * (i % 100), 3200000 + 4.0 * (i / 100) + 0.01 * (i % 7), 0}));
        }
        cad = standins::NewCadHost(std::move(drawing), standins::ScriptedPicker({piles}));
        cad->drawing.ucs = {{500000, 3200000, 0}, 0.3};
        standins::RegisterCad(cad, directory);
        state = std::make_unique<WindowState>();
        SetText(state->controls, TextBox::OffsetAngle, "45");
        SetText(state->controls, TextBox::OffsetDistance, "1.5");
        if (world) SelectOption(state->controls, ControlAt("Option2", 2));
        services.showWindow = [] {};
        services.textChanged = [](int) {};
    }
};

// The calls of one pass, counted behind a tap outside the timed runs.
long CallsOfAPass(bool world) {
    Setup setup(world);
    auto tap = std::make_shared<testing::Tap>();
    setup.directory.RegisterRunning("AutoCAD.Application",
                                    testing::Tapped(standins::CadApplication(setup.cad), tap));
    FilterMtext(*setup.state, setup.services);
    return tap->calls;
}

void NumberingPass(benchmark::State& run, bool world) {
    const long calls = CallsOfAPass(world);
    for (auto _ : run) {
        run.PauseTiming();
        Setup setup(world);
        run.ResumeTiming();
        FilterMtext(*setup.state, setup.services);
        run.PauseTiming();
        if (setup.state->pileCount != kPiles) run.SkipWithError("not every pile was numbered");
        run.ResumeTiming();
    }
    run.counters["us_per_pile"] =
        benchmark::Counter(double(run.iterations()) * kPiles,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert,
                           benchmark::Counter::OneK::kIs1000);
    run.counters["calls_per_pile"] = double(calls) / kPiles;
    run.counters["label_calls_per_pile"] = (world ? 6 : 4);
    // Calls that do not depend on the pile count: the attach, the two
    // passes' set handling, the count reads and the enumeration.
    run.counters["fixed_calls"] = double(calls - kPiles * (world ? 7 : 5));
}

// The stand-in alone: the calls the command makes for every pile (the
// position read and the label and record calls), made directly.
void StandInCalls(benchmark::State& run, bool world) {
    for (auto _ : run) {
        run.PauseTiming();
        Setup setup(world);
        const Object app = setup.directory.FindRunning("AutoCAD.Application");
        const Object document = GetObject(app, "ActiveDocument");
        const Object set = Call(GetObject(document, "SelectionSets"), "Add", {"Ssd"}).AsObject();
        Call(set, "SelectOnScreen", {Int16Array{-4, 0, -4}, VariantArray{"<or", "POINT", "or>"}});
        run.ResumeTiming();
        for (const Variant& item : Enumerate(set)) {
            const DoubleArray p = Get(item.AsObject(), "Coordinates").ToDoubleArray();
            const Object text = Call(GetObject(document, "ModelSpace"), "AddText",
                                     {"12", DoubleArray{p[0] + 1, p[1] + 1, 0}, 2.5})
                                    .AsObject();
            if (world) {
                Call(GetObject(document, "Utility"), "TranslateCoordinates",
                     {DoubleArray{p[0], p[1], 0}, std::int32_t{0}, std::int32_t{1}, false});
            }
            Put(text, "Alignment", std::int16_t{1});
            Put(text, "TextAlignmentPoint", DoubleArray{p[0] + 1, p[1], 0});
        }
    }
    run.counters["us_per_pile"] =
        benchmark::Counter(double(run.iterations()) * kPiles,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert,
                           benchmark::Counter::OneK::kIs1000);
}

// 10 000 references of ZH-1 on 桩位 (the piles), 10 000 of a dynamic
// block's anonymous *U2 on 桩位 (through the filter, left out by their
// effective name), 10 000 of ZH-1 on 其他, 10 000 circles and 10 000
// points on 桩位; the user picks them all.
void BlockSamplePass(benchmark::State& run) {
    standins::Drawing drawing;
    std::vector<standins::EntityId> all;
    for (int i = 0; i < 50000; ++i) {
        standins::Entity e;
        e.position = {500000 + 3.0 * (i % 100), 3200000 + 4.0 * (i / 100) + 0.01 * (i % 7), 0};
        e.layer = i % 5 == 2 ? "其他" : "桩位";
        e.kind = i % 5 == 3   ? standins::EntityKind::Circle
                 : i % 5 == 4 ? standins::EntityKind::Point
                              : standins::EntityKind::BlockReference;
        e.blockName = i % 5 == 1 ? "*U2" : "ZH-1";
        e.effectiveName = i % 5 == 1 ? "ZH-DYN" : "ZH-1";
        all.push_back(standins::AddEntity(drawing, e));
    }
    for (auto _ : run) {
        run.PauseTiming();
        LocalDirectory directory;
        auto cad = standins::NewCadHost(drawing, standins::ScriptedPicker({all}));
        standins::RegisterCad(cad, directory);
        WindowState state;
        state.pileSample = PileSample{SampleKind::Block, "桩位", "ZH-1"};
        WindowServices services{directory};
        run.ResumeTiming();
        FilterMtext(state, services);
        run.PauseTiming();
        if (state.pileCount != 10000) run.SkipWithError("not every pile was numbered");
        run.ResumeTiming();
    }
    run.counters["entities"] = 50000;
    run.counters["us_per_pile"] = benchmark::Counter(
        double(run.iterations()) * 10000, benchmark::Counter::kIsRate | benchmark::Counter::kInvert,
        benchmark::Counter::OneK::kIs1000);
}

BENCHMARK_CAPTURE(NumberingPass, user_coordinates, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(NumberingPass, world_coordinates, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(StandInCalls, user_coordinates, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(StandInCalls, world_coordinates, true)->Unit(benchmark::kMillisecond);
BENCHMARK(BlockSamplePass)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmora

BENCHMARK_MAIN();
