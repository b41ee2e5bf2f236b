// What automation over COM costs. The stand-in AutoCAD runs in a server
// process and is reached through the running object table, as the real
// one is; each cross-process call is a round trip between two apartments.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

#include "automation/com/apartment.h"
#include "automation/com/com_directory.h"
#include "automation/com/com_object.h"
#include "automation/com/dispatch_adapter.h"
#include "numbering/filter_mtext.h"
#include "server_process.h"
#include "window/control_values.h"

namespace velmora {
namespace {

constexpr int kPiles = 1000;
// The server for single calls; the numbering pass starts its own, so that
// the calls it answers can be counted.
constexpr const char* kCallProgId = "AutoCAD.Application.16";
std::unique_ptr<testing::CadServer> callServer;
Object callApplication;

Object Application() { return callApplication; }

// The bare IDispatch calls a late-bound get needs: name lookup, then Invoke.
bool RawGet(IDispatch* dispatch) {
    OLECHAR name[] = L"WindowState";
    LPOLESTR names[] = {name};
    DISPID id = 0;
    dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    VARIANT result;
    VariantInit(&result);
    const HRESULT hr =
        dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                         &none, &result, nullptr, nullptr);
    benchmark::DoNotOptimize(result.lVal);
    VariantClear(&result);
    return SUCCEEDED(hr);
}

void BM_CrossProcessGetRawInvoke(benchmark::State& state) {
    IDispatch* dispatch = static_cast<ComObject&>(*Application()).Interface();
    for (auto _ : state) {
        if (!RawGet(dispatch)) state.SkipWithError("Invoke failed");
    }
}
BENCHMARK(BM_CrossProcessGetRawInvoke)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

// The same get through ComObject and Variant.
void BM_CrossProcessGetComObject(benchmark::State& state) {
    const Object application = Application();
    for (auto _ : state) benchmark::DoNotOptimize(Get(application, "WindowState"));
}
BENCHMARK(BM_CrossProcessGetComObject)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

// Both alternately, so that a busy machine slows both alike: our own share
// of a cross-process get, in percent.
void BM_CrossProcessOverhead(benchmark::State& state) {
    const Object application = Application();
    IDispatch* dispatch = static_cast<ComObject&>(*application).Interface();
    using Clock = std::chrono::steady_clock;
    Clock::duration raw{}, wrapped{};
    for (auto _ : state) {
        const auto t0 = Clock::now();
        RawGet(dispatch);
        const auto t1 = Clock::now();
        benchmark::DoNotOptimize(Get(application, "WindowState"));
        const auto t2 = Clock::now();
        raw += t1 - t0;
        wrapped += t2 - t1;
    }
    const double rawMs = std::chrono::duration<double, std::milli>(raw).count();
    const double wrappedMs = std::chrono::duration<double, std::milli>(wrapped).count();
    const double n = double(state.iterations());
    state.counters["raw_ms"] = rawMs / n;
    state.counters["comobject_ms"] = wrappedMs / n;
    state.counters["overhead_pct"] = 100.0 * (wrappedMs - rawMs) / rawMs;
}
BENCHMARK(BM_CrossProcessOverhead)->Unit(benchmark::kMillisecond)->Iterations(1000)->UseRealTime();

// In process the round trip is gone, so our own conversions show plainly:
// a get through the adapter, raw and through ComObject.
class Constant : public Dispatch {
  public:
    Variant Get(std::string_view, std::span<const Variant>) override { return std::int32_t{3}; }
    void Put(std::string_view, std::span<const Variant>, const Variant&) override {}
    Variant Call(std::string_view, std::span<const Variant>) override { return {}; }
    std::vector<Variant> Enumerate() override { return {}; }
};

void BM_InProcessGetRawInvoke(benchmark::State& state) {
    IDispatch* dispatch = ExposeObject(std::make_shared<Constant>());
    for (auto _ : state) RawGet(dispatch);
    dispatch->Release();
}
BENCHMARK(BM_InProcessGetRawInvoke);

void BM_InProcessGetComObject(benchmark::State& state) {
    IDispatch* dispatch = ExposeObject(std::make_shared<Constant>());
    const Object object = WrapDispatch(dispatch);
    dispatch->Release();
    for (auto _ : state) benchmark::DoNotOptimize(Get(object, "WindowState"));
}
BENCHMARK(BM_InProcessGetComObject);

// One Number command numbering 1000 piles in one pass, then an empty pick.
void BM_NumberingPass1000Piles(benchmark::State& state) {
    testing::CadServer server("AutoCAD.Application", "grid:" + std::to_string(kPiles));
    if (!server.Started()) {
        state.SkipWithError("the AutoCAD server did not start");
        return;
    }
    ComDirectory directory;
    WindowServices services{directory};
    services.showMessage = [](std::string_view) {};
    services.showWindow = [] {};
    services.textChanged = [](int) {};
    std::chrono::steady_clock::duration spent{};
    for (auto _ : state) {
        state.PauseTiming();
        auto window = std::make_unique<WindowState>();
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        FilterMtext(*window, services);
        spent += std::chrono::steady_clock::now() - start;
        if (window->pileCount != kPiles) state.SkipWithError("not every pile was numbered");
        state.PauseTiming();
        window.reset();  // releases the server's objects
        state.ResumeTiming();
    }
    const double piles = double(kPiles) * double(state.iterations());
    state.counters["ms_per_pile"] =
        std::chrono::duration<double, std::milli>(spent).count() / piles;
    const std::vector<std::string> lines = server.Quit();
    if (!lines.empty() && lines.back().rfind("calls ", 0) == 0) {
        state.counters["calls_per_pile"] = std::stod(lines.back().substr(6)) / piles;
    }
}
BENCHMARK(BM_NumberingPass1000Piles)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

}  // namespace
}  // namespace velmora

int main(int argc, char** argv) {
    velmora::ComApartment apartment;
    velmora::testing::RegisterStandInClasses();
    velmora::callServer =
        std::make_unique<velmora::testing::CadServer>(velmora::kCallProgId, "worked");
    if (!velmora::callServer->Started()) {
        std::fprintf(stderr, "the AutoCAD server did not start\n");
        return 1;
    }
    velmora::callApplication = velmora::ComDirectory().FindRunning(velmora::kCallProgId);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    velmora::callApplication.reset();
    velmora::callServer.reset();
    return 0;
}
