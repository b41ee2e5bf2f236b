// Piles drawn as blocks, circles and points on two layers, made by ezdxf,
// saved as DXF R12 once a pile is erased.
#include <gtest/gtest.h>

#include <cmath>

#include "dxf_support.h"
#include "standins/autocad/standin_cad.h"
#include "standins/drawing/dxf/dxf_file.h"

namespace velmora::testing {
namespace {

using standins::EntityKind;

// "INSERT *U1/ZH-DYN 桩位 0,5": kind, block names, layer, position from E, N.
std::string Shown(const standins::Entity& e) {
    std::string text(standins::TypeName(e.kind));
    if (e.kind == EntityKind::BlockReference) text += " " + e.blockName + "/" + e.effectiveName;
    return text + " " + e.layer + " " + Py(std::round(e.position.x - 512300)) + "," +
           Py(std::round(e.position.y - 3386400));
}

std::vector<std::string> ShownAll(const standins::Drawing& drawing) {
    std::vector<std::string> shown;
    for (const auto& [id, e] : drawing.entities) shown.push_back(Shown(e));
    return shown;
}

// With a pile erased the drawing is saved as DXF R12, which holds all but
// the block references, as it always left them out; they go from the
// drawing too. (Given back whole, a file keeps them: DxfRoundTrip.)
TEST(BlockPiles, SavedAsR12WithoutTheBlockReferences) {
    if (!EzdxfAvailable()) GTEST_SKIP() << "python3-ezdxf is not installed";
    const std::string saved = PilesFile("R2010") + "-r12.dxf";
    auto host = standins::NewCadHost(standins::LoadDxf(PilesFile("R2010")).drawing);
    const Object space =
        GetObject(GetObject(standins::CadApplication(host), "ActiveDocument"), "ModelSpace");
    Call(Enumerate(space).back().AsObject(), "Delete");  // the last point pile
    std::vector<std::string> kept = ShownAll(host->drawing);
    kept.erase(kept.begin(), kept.begin() + 9);
    ASSERT_EQ(standins::SaveDxf(host->drawing, saved).error, "");
    EXPECT_EQ(ShownAll(standins::LoadDxf(saved).drawing), kept);
    standins::DropWhatOnlyTheFileHeld(host->drawing);  // as the window does after such a save
    EXPECT_EQ(ShownAll(host->drawing), kept);
}

}  // namespace
}  // namespace velmora::testing
