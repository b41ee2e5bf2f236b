// Piles drawn as blocks, circles and points on two layers, made by ezdxf:
// the stand-in reads their layers, block names, effective names and
// insertion points, its selection filter takes what each filter names, and
// the labelled drawing is saved back whole.
#include <gtest/gtest.h>

#include <cmath>

#include "dxf_support.h"
#include "standins/autocad/standin_cad.h"
#include "standins/drawing/dxf/dxf_file.h"
#include "standins/drawing/pick_geometry.h"

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

const std::vector<std::string> kPiles = Split(
    "INSERT ZH-1/ZH-1 桩位 0.0,0.0|INSERT ZH-1/ZH-1 桩位 5.0,0.0|INSERT ZH-1/ZH-1 桩位 10.0,0.0|"
    "INSERT ZH-1/ZH-1 其他 15.0,0.0|INSERT ZH.1/ZH.1 桩位 20.0,0.0|INSERT *U1/ZH-DYN 桩位 0.0,5.0|"
    "INSERT *U1/ZH-DYN 桩位 5.0,5.0|INSERT *U2/ZH-DYN 桩位 10.0,5.0|INSERT *U3/*U3 桩位 15.0,5.0|"
    "CIRCLE 桩位 0.0,10.0|CIRCLE 桩位 5.0,10.0|CIRCLE 其他 10.0,10.0|CIRCLE 其他 15.0,10.0|"
    "POINT 桩位 0.0,15.0|POINT 桩位 5.0,15.0|POINT 其他 10.0,15.0");

// Read (names in the file's code page before 2007, in UTF-8 from then
// on) and filtered as SelectOnScreen filters.
TEST(BlockPiles, ReadAndFilteredByTypeLayerAndBlockName) {
    if (!EzdxfAvailable()) GTEST_SKIP() << "python3-ezdxf is not installed";
    struct Case {
        const char* name;
        Int16Array codes;
        const char* values;      // split at |
        std::vector<int> taken;  // of kPiles
    };
    const Case cases[] = {
        {"everything", {0}, "*", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
        {"blocks on a layer", {-4, 0, 8, -4}, "<and|INSERT|桩位|and>", {0, 1, 2, 4, 5, 6, 7, 8}},
        {"a block's name in any case", {2}, "zh-1", {0, 1, 2, 3}},
        {"a dynamic block's references", {2}, "`*U*,ZH-DYN", {5, 6, 7, 8}},
        {"a period unescaped", {2}, "ZH.1", {0, 1, 2, 3, 4}},
        {"a period escaped", {2}, "ZH`.1", {4}},
        {"types on a layer pattern", {-4, 0, 8, -4}, "<and|CIRCLE,POINT|桩*|and>", {9, 10, 13, 14}},
        {"anything but a layer", {8}, "~桩位", {3, 11, 12, 15}},
        {"nested", {-4, -4, 0, 8, -4, 2, -4}, "<or|<and|POINT|桩位|and>|ZH`.1|or>", {4, 13, 14}},
        {"left out", {-4, 0, -4, 8, -4, -4}, "<and|INSERT|<not|桩位|not>|and>", {3}},
    };
    for (const std::string version : {"R2000", "R2018"}) {
        auto host = standins::NewCadHost(standins::LoadDxf(PilesFile(version, "ANSI_936")).drawing);
        host->picker = [](const standins::PickRequest& request) -> standins::Pick {
            return standins::PickInBox(request.drawing, request.filter, {-1e9, -1e9, 1e9, 1e9},
                                       true);
        };
        const Object sets =
            GetObject(GetObject(standins::CadApplication(host), "ActiveDocument"), "SelectionSets");
        for (const Case& c : cases) {
            const Object set = Call(sets, "Add", {c.name}).AsObject();
            VariantArray values;
            for (const std::string& value : Split(c.values)) values.emplace_back(value);
            Call(set, "SelectOnScreen", {c.codes, values});
            std::vector<std::string> taken, expected;
            for (const Variant& item : Enumerate(set)) {
                const auto id = Get(item.AsObject(), "ObjectID").AsInt32();
                taken.push_back(Shown(*standins::FindEntity(host->drawing, id)));
            }
            for (int i : c.taken) expected.push_back(kPiles[i]);
            EXPECT_EQ(taken, expected) << version << ": " << c.name;
        }
    }
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
