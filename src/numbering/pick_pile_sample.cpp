#include "numbering/pick_pile_sample.h"

#include <optional>
#include <string>
#include <vector>

#include "automation/failure.h"
#include "automation/object.h"
#include "cad/connect_cad.h"
#include "numbering/pass_filter.h"

namespace velmora {

namespace {

void Say(const WindowServices& services, std::string_view text) {
    if (services.showMessage) services.showMessage(text);
}

// The kind of a picked entity by its object name, or none for another kind.
std::optional<SampleKind> KindOf(std::string_view objectName) {
    if (objectName == "AcDbPoint") return SampleKind::Point;
    if (objectName == "AcDbCircle") return SampleKind::Circle;
    if (objectName == "AcDbBlockReference") return SampleKind::Block;
    return std::nullopt;
}

// With a sample in force: true to pick another, false when the user cleared
// it or left it as it is.
bool PickAnother(WindowState& state, const WindowServices& services) {
    if (!state.pileSample) return true;
    if (!services.ask) return false;
    const int answer = services.ask("当前样例：" + DescribeSample(*state.pileSample), kSampleAnswers);
    if (answer == 0) state.pileSample.reset();
    return answer == 1;
}

// The sample the entity makes; fails when a property cannot be read.
std::optional<PileSample> SampleOf(const Object& entity) {
    const std::optional<SampleKind> kind = KindOf(Get(entity, "ObjectName").AsText());
    if (!kind) return std::nullopt;
    PileSample sample{*kind, Get(entity, "Layer").AsText(), ""};
    if (*kind == SampleKind::Block) sample.blockName = SeenBlockName(entity);
    return sample;
}

}  // namespace

void PickPileSample(WindowState& state, const WindowServices& services) {
    if (!PickAnother(state, services)) return;
    ContinueOnFailure runner;
    if (!ConnectCad(state.cadSession, runner, services)) return;

    // GetEntity leaves the entity and the point picked in its arguments;
    // Esc makes it fail, and a cancelled pick changes nothing.
    std::vector<Variant> pick = {Variant(), Variant(), std::string(kSamplePrompt)};
    const bool picked = runner.Run([&] {
        CallWithResults(GetObject(state.cadSession.cadDocument, "Utility"), "GetEntity", pick);
    });
    if (services.showWindow) services.showWindow();
    if (!picked) return;

    std::optional<PileSample> sample;
    if (!runner.Run([&] { sample = SampleOf(pick[0].AsObject()); })) {
        Say(services, kUnreadableSampleMessage);
    } else if (!sample) {
        Say(services, kSampleKindsMessage);
    } else {
        state.pileSample = std::move(sample);
    }
}

}  // namespace velmora
