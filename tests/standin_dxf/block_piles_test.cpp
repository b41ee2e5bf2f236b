// Piles drawn as blocks, circles and points on two layers, made by ezdxf:
// the stand-in reads their layers, block names, effective names and
// insertion points, its selection filter takes what each filter names, and
// the numbered drawing is saved back whole.
#include <gtest/gtest.h>

#include <cmath>

#include "dxf_support.h"
#include "standins/autocad/standin_cad.h"
#include "standins/drawing/dxf/dxf_file.h"
#include "standins/drawing/pick_geometry.h"
#include "status_of.h"

namespace velmora::testing {
namespace {

using standins::Entity;
using standins::EntityKind;

// The drawing of ezdxf_tool.py's `piles`, written once per version.
const standins::DxfRead& PilesDrawing(const std::string& version, const std::string& codePage) {
    static std::map<std::string, standins::DxfRead> read;
    if (!read.count(version)) {
        const std::string path = (ScratchFolder("piles-" + version) / "piles.dxf").string();
        Ezdxf("piles " + version + " " + codePage, path);
        read[version] = standins::LoadDxf(path);
    }
    return read[version];
}

// "INSERT *U1/ZH-DYN 桩位 0,5": kind, block names, layer and position from E, N.
std::string Shown(const Entity& e) {
    std::string text(standins::TypeName(e.kind));
    if (e.kind == EntityKind::BlockReference) text += " " + e.blockName + "/" + e.effectiveName;
    const double x = e.position.x - 512300, y = e.position.y - 3386400;
    return text + " " + e.layer + " " + Py(std::round(x * 1e9) / 1e9 + 0.0) + "," +
           Py(std::round(y * 1e9) / 1e9 + 0.0);
}

const std::vector<std::string> kPiles = {"INSERT ZH-1/ZH-1 桩位 0.0,0.0",
                                         "INSERT ZH-1/ZH-1 桩位 5.0,0.0",
                                         "INSERT ZH-1/ZH-1 桩位 10.0,0.0",
                                         "INSERT ZH-1/ZH-1 其他 15.0,0.0",
                                         "INSERT ZH.1/ZH.1 桩位 20.0,0.0",
                                         "INSERT *U1/ZH-DYN 桩位 0.0,5.0",
                                         "INSERT *U1/ZH-DYN 桩位 5.0,5.0",
                                         "INSERT *U2/ZH-DYN 桩位 10.0,5.0",
                                         "INSERT *U3/*U3 桩位 15.0,5.0",
                                         "CIRCLE 桩位 0.0,10.0",
                                         "CIRCLE 桩位 5.0,10.0",
                                         "CIRCLE 其他 10.0,10.0",
                                         "CIRCLE 其他 15.0,10.0",
                                         "POINT 桩位 0.0,15.0",
                                         "POINT 桩位 5.0,15.0",
                                         "POINT 其他 10.0,15.0"};

TEST(BlockPiles, ReadWithTheirLayersNamesAndInsertionPoints) {
    if (!EzdxfAvailable()) GTEST_SKIP() << "python3-ezdxf is not installed";
    // Names in the file's code page before 2007, in UTF-8 from then on.
    for (const auto& [version, codePage] :
         {std::pair{"R2000", "ANSI_936"}, {"R2018", "ANSI_1252"}}) {
        SCOPED_TRACE(version);
        const standins::DxfRead& read = PilesDrawing(version, codePage);
        ASSERT_EQ(read.error, "");
        std::vector<std::string> shown;
        std::map<standins::EntityId, int> shapes;
        for (const auto& [id, e] : read.drawing.entities) shown.push_back(Shown(e));
        for (const standins::ContextShape& shape : read.drawing.context) ++shapes[shape.owner];
        EXPECT_EQ(shown, kPiles);
        // Each block reference draws its symbol (a circle and two lines),
        // the one with an attribute its number too; nothing else is drawn.
        std::vector<int> counts;
        for (const auto& [owner, count] : shapes) counts.push_back(owner ? count : -count);
        EXPECT_EQ(counts, (std::vector<int>{3, 4, 3, 3, 3, 3, 3, 3, 3}));
    }
}

// The filter as SelectOnScreen takes it, over everything in the drawing.
struct FilterCase {
    const char* name;
    Int16Array codes;
    VariantArray values;
    std::vector<int> taken;  // indexes into kPiles
};

TEST(BlockPiles, SelectionFiltersTakeWhatTheyName) {
    if (!EzdxfAvailable()) GTEST_SKIP() << "python3-ezdxf is not installed";
    const FilterCase cases[] = {
        {"every block reference", {0}, {"INSERT"}, {0, 1, 2, 3, 4, 5, 6, 7, 8}},
        {"blocks on a layer",
         {-4, 0, 8, -4},
         {"<and", "INSERT", "桩位", "and>"},
         {0, 1, 2, 4, 5, 6, 7, 8}},
        {"a block by name", {0, 2}, {"INSERT", "ZH-1"}, {0, 1, 2, 3}},
        {"a block's name in any case", {2}, {"zh-1"}, {0, 1, 2, 3}},
        {"a dynamic block's anonymous references", {2}, {"`*U*,ZH-DYN"}, {5, 6, 7, 8}},
        {"a period unescaped takes ZH-1 too", {2}, {"ZH.1"}, {0, 1, 2, 3, 4}},
        {"a period escaped takes only ZH.1", {2}, {"ZH`.1"}, {4}},
        {"a block name with a wild card", {2}, {"ZH-?"}, {0, 1, 2, 3}},
        {"everything on a layer", {8}, {"其他"}, {3, 11, 12, 15}},
        {"a layer by a pattern",
         {-4, 0, 8, -4},
         {"<and", "CIRCLE,POINT", "桩*", "and>"},
         {9, 10, 13, 14}},
        {"anything but a layer", {8}, {"~桩位"}, {3, 11, 12, 15}},
        {"nested groups",
         {-4, -4, 0, 8, -4, -4, 2, 8, -4, -4},
         {"<or", "<and", "POINT", "桩位", "and>", "<and", "ZH-1", "其他", "and>", "or>"},
         {3, 13, 14}},
        {"a group left out",
         {-4, 0, -4, 8, -4, -4},
         {"<and", "INSERT", "<not", "桩位", "not>", "and>"},
         {3}},
    };
    const standins::DxfRead& read = PilesDrawing("R2018", "ANSI_1252");
    ASSERT_EQ(read.error, "");
    auto host = standins::NewCadHost(read.drawing);
    host->picker = [](const standins::PickRequest& request) -> standins::Pick {
        return standins::PickInBox(request.drawing, request.filter, {-1e9, -1e9, 1e9, 1e9}, true);
    };
    const Object sets =
        GetObject(GetObject(standins::CadApplication(host), "ActiveDocument"), "SelectionSets");
    int n = 0;
    for (const FilterCase& c : cases) {
        const Object set = Call(sets, "Add", {"S" + std::to_string(++n)}).AsObject();
        Call(set, "SelectOnScreen", {c.codes, c.values});
        std::vector<std::string> taken, expected;
        for (const Variant& item : Enumerate(set)) {
            const auto id = Get(item.AsObject(), "ObjectID").AsInt32();
            taken.push_back(Shown(*standins::FindEntity(host->drawing, id)));
        }
        for (int i : c.taken) expected.push_back(kPiles[i]);
        EXPECT_EQ(taken, expected) << c.name;
    }
    const Object set = Call(sets, "Add", {"refused"}).AsObject();
    EXPECT_EQ(StatusOf([&] {
                  Call(set, "SelectOnScreen", {Int16Array{62}, VariantArray{"1"}});
              }),
              status::kInvalidArg);
}

// Labelled, the file comes back whole, its block references as they were
// written. With a pile erased it is saved as DXF R12, which holds all the
// rest but the block references, as it always left them out.
TEST(BlockPiles, SavedBackWholeOrAsR12WithoutTheBlockReferences) {
    if (!EzdxfAvailable()) GTEST_SKIP() << "python3-ezdxf is not installed";
    const auto folder = ScratchFolder("piles-saved");
    const std::string original = (folder / "piles.dxf").string();
    const std::string whole = (folder / "whole.dxf").string(), r12 = (folder / "r12.dxf").string();
    Ezdxf("piles R2010 ANSI_1252", original);
    auto host = standins::NewCadHost(standins::LoadDxf(original).drawing);
    const Object document = GetObject(standins::CadApplication(host), "ActiveDocument");
    const Object space = GetObject(document, "ModelSpace");
    for (double x : {512300.0, 512305.0}) {  // centred, as the Number command writes them
        const DoubleArray at{x, 3386401, 0};
        const Object text = Call(space, "AddText", {"ZH", at, 0.5}).AsObject();
        Put(text, "Alignment", std::int16_t{1});
        Put(text, "TextAlignmentPoint", at);
    }
    ASSERT_EQ(standins::SaveDxf(host->drawing, whole).error, "");
    const std::vector<std::string> labels = Ezdxf("check '" + original + "'", whole);
    ASSERT_EQ(labels.size(), 2u);
    for (const std::string& line : labels) EXPECT_EQ(line.rfind("LABEL|TEXT|ZH|", 0), 0u) << line;

    Object point;  // the last point pile
    for (const Variant& item : Enumerate(space))
        if (Get(item.AsObject(), "ObjectName") == Variant("AcDbPoint")) point = item.AsObject();
    Call(point, "Delete");
    std::vector<std::string> kept;
    for (const auto& [id, e] : host->drawing.entities)
        if (e.kind != EntityKind::BlockReference) kept.push_back(Shown(e));
    ASSERT_EQ(standins::SaveDxf(host->drawing, r12).error, "");
    const standins::DxfRead saved = standins::LoadDxf(r12);
    ASSERT_EQ(saved.error, "");
    std::vector<std::string> shown;
    for (const auto& [id, e] : saved.drawing.entities) shown.push_back(Shown(e));
    std::sort(kept.begin(), kept.end());
    std::sort(shown.begin(), shown.end());
    EXPECT_EQ(shown, kept);
}

}  // namespace
}  // namespace velmora::testing
