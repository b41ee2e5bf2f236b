// The stand-in AutoCAD fails the way AutoCAD does where the Number command
// depends on it: filters, argument types and an application that has gone
// away.
#include "standins/autocad/standin_cad.h"

#include <gtest/gtest.h>

#include "status_of.h"

namespace velmora::standins {
namespace {

using testing::StatusOf;

struct Cad {
    std::shared_ptr<CadHost> host = NewCadHost();
    Object app = CadApplication(host);
    Object doc = GetObject(app, "ActiveDocument");

    Object NewSet(const std::string& name) {
        return Call(GetObject(doc, "SelectionSets"), "Add", {name}).AsObject();
    }
    std::uint32_t Pick(const Object& set, Variant codes, Variant values) {
        return StatusOf([&] { Call(set, "SelectOnScreen", {codes, values}); });
    }
};

const Variant kCodes = Int16Array{-4, 0, -4};
const Variant kPoints = VariantArray{"<or", "POINT", "or>"};

TEST(StandInCad, SelectOnScreenAndArgumentTypes) {
    Cad cad;
    const EntityId p1 = AddPoint(cad.host->drawing, {1, 2, 0});
    const EntityId c1 = AddCircle(cad.host->drawing, {3, 4, 0}, 0.5);
    const EntityId p2 = AddPoint(cad.host->drawing, {5, 6, 7});
    cad.host->picker = ScriptedPicker({std::vector{p2, c1, p1, p2, EntityId{99}}, std::nullopt});

    // Wrong array types fail before anything is picked.
    Object set = cad.NewSet("Ssd");
    EXPECT_EQ(cad.Pick(set, VariantArray{-4, 0, -4}, kPoints), status::kTypeMismatch);
    EXPECT_EQ(cad.Pick(set, kCodes, VariantArray{"<or", "POINT"}), status::kInvalidArg);
    EXPECT_EQ(cad.Pick(set, kCodes, VariantArray{"<or", "POINT", "and>"}), status::kInvalidArg);

    // Only what the filter admits, each once, in pick order.
    EXPECT_EQ(cad.Pick(set, kCodes, kPoints), status::kOk);
    const std::vector<Variant> items = Enumerate(set);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(Get(items[0].AsObject(), "Coordinates").AsDoubleArray(), (DoubleArray{5, 6, 7}));
    EXPECT_EQ(Get(items[1].AsObject(), "coordinates").AsDoubleArray(), (DoubleArray{1, 2, 0}));
    EXPECT_EQ(StatusOf([&] { Get(items[0].AsObject(), "Center"); }), status::kUnknownName);
    // A cancelled pick fails with 0x80020009.
    EXPECT_EQ(cad.Pick(set, kCodes, kPoints), status::kDispException);

    Object modelSpace = GetObject(cad.doc, "ModelSpace");
    auto addText = [&](Variant point, Variant height) {
        return StatusOf([&] { Call(modelSpace, "AddText", {"x", point, height}); });
    };
    EXPECT_EQ(addText(VariantArray{1.0, 2.0, 0.0}, 1.0), status::kTypeMismatch);
    EXPECT_EQ(addText(DoubleArray{1, 2}, 1.0), status::kInvalidArg);
    EXPECT_EQ(addText(DoubleArray{1, 2, 0}, 0.0), status::kInvalidArg);
    EXPECT_TRUE(Texts(cad.host->drawing).empty());
    EXPECT_EQ(StatusOf([&] { Put(cad.app, "WindowState", 3.0); }), status::kTypeMismatch);

    CloseCad(*cad.host);  // AutoCAD gone: what it handed out answers no more
    EXPECT_EQ(StatusOf([&] { GetObject(cad.doc, "ModelSpace"); }), status::kServerUnavailable);
}

// Undo as AutoCAD keeps it: the changes of a group are one step, a change
// outside a group one of its own, a group begun while one is open ends
// that one; undoing puts an erased entity back. UNDOCTL shows 8 while a
// group is open.
TEST(StandInCad, UndoStepsAndGroups) {
    Cad cad;
    const Object modelSpace = GetObject(cad.doc, "ModelSpace");
    const EntityId drawn = AddPoint(cad.host->drawing, {7, 7, 0});  // before: no step
    const auto undoControl = [&] { return Call(cad.doc, "GetVariable", {"undoctl"}).ToInt32(); };
    const auto label = [&](const char* text) {
        return Call(modelSpace, "AddText", {text, DoubleArray{1, 1, 0}, 2.5}).AsObject();
    };
    Call(cad.doc, "StartUndoMark");
    EXPECT_EQ(undoControl(), 61);
    Put(label("a"), "Alignment", std::int16_t{1});
    Call(cad.doc, "StartUndoMark");
    label("b");
    for (int i = 0; i < 2; ++i) Call(cad.doc, "EndUndoMark");  // the second finds none open
    EXPECT_EQ(undoControl(), 53);
    Call(GetObject(modelSpace, "Item", {std::int32_t{0}}), "Delete");
    label("c");
    int undone = 0;  // c; the erased point; the second group; the first
    for (const auto& [left, pointThere] :
         {std::pair{"ab", false}, {"ab", true}, {"a", true}, {"", true}}) {
        ASSERT_TRUE(UndoLast(cad.host->undo, cad.host->drawing));
        std::string texts;
        for (const Entity* text : Texts(cad.host->drawing)) texts += text->text;
        EXPECT_EQ(std::pair(texts, FindEntity(cad.host->drawing, drawn) != nullptr),
                  std::pair(std::string(left), pointThere))
            << "undo " << ++undone;
    }
    EXPECT_FALSE(UndoLast(cad.host->undo, cad.host->drawing));
    EXPECT_EQ(StatusOf([&] { Call(cad.doc, "GetVariable", {"NOSUCHVAR"}); }), status::kInvalidArg);
}

}  // namespace
}  // namespace velmora::standins
