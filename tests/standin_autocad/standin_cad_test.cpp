// The stand-in AutoCAD fails the way AutoCAD does where the Number command
// depends on it: filters, argument types and an application that has gone
// away; and the tap's planned failures on it.
#include "standins/autocad/standin_cad.h"

#include <gtest/gtest.h>

#include <tuple>

#include "status_of.h"
#include "tap.h"

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
}

// GetEntity: one pick with its prompt on the command line, the entity and
// the picked point left in the arguments; a cancelled pick fails as
// AutoCAD's does and leaves them. Every entity tells its layer, a block
// reference its block as AutoCAD and as the user names it.
TEST(StandInCad, GetEntityLeavesThePickInItsArguments) {
    Cad cad;
    Drawing& drawing = cad.host->drawing;
    const EntityId block = AddBlockReference(drawing, {7, 8, 0}, "*U12", "ZH-1");
    const EntityId point = AddPoint(drawing, {1, 2, 0});
    FindEntity(drawing, block)->layer = "桩位";
    const EntityId erased = AddPoint(drawing, {3, 3, 0});
    EraseEntity(drawing, erased);
    cad.host->entityPicker = ScriptedEntityPicker({EntityPick{block, {7.5, 8, 0}}, std::nullopt,
                                                   EntityPick{erased, {}}, EntityPick{point, {}}});
    const Object utility = GetObject(cad.doc, "Utility");
    Call(utility, "Prompt", {"按样例选桩"});

    std::vector<Variant> args = {Variant(), Variant(), "选择样例桩："};
    ASSERT_EQ(StatusOf([&] { CallWithResults(utility, "GetEntity", args); }), status::kOk);
    const Object& entity = args[0].AsObject();
    const std::pair<const char*, Variant> properties[] = {{"ObjectName", "AcDbBlockReference"},
                                                          {"Name", "*U12"},
                                                          {"EffectiveName", "ZH-1"},
                                                          {"InsertionPoint", DoubleArray{7, 8, 0}},
                                                          {"Layer", "桩位"}};
    for (const auto& [member, value] : properties) EXPECT_EQ(Get(entity, member), value) << member;
    EXPECT_EQ(args[1], Variant(DoubleArray{7.5, 8, 0}));

    // Cancelled, an erased entity: 0x80020009, the arguments as they were.
    for (const char* pick : {"cancelled", "erased"}) {
        std::vector<Variant> kept = {Variant(), 1.0};
        EXPECT_EQ(StatusOf([&] { CallWithResults(utility, "GetEntity", kept); }),
                  status::kDispException)
            << pick;
        EXPECT_EQ(kept, (std::vector<Variant>{Variant(), 1.0})) << pick;
    }
    EXPECT_EQ(cad.host->commandLine,
              (std::deque<std::string>{"按样例选桩", "选择样例桩：", "选择对象：", "选择对象："}));
    // Its results need arguments by reference; a prompt is text.
    const std::pair<std::function<void()>, std::uint32_t> refusals[] = {
        {[&] {
             Call(utility, "GetEntity", {Variant(), Variant()});
         },
         status::kTypeMismatch},
        {[&] { CallWithResults(utility, "GetEntity", args = {Variant()}); },
         status::kBadParamCount},
        {[&] {
             CallWithResults(utility, "GetEntity", args = {Variant(), Variant(), 1.0});
         },
         status::kTypeMismatch},
        {[&] { Call(utility, "Prompt", {2.0}); }, status::kTypeMismatch}};
    for (const auto& [step, expected] : refusals) EXPECT_EQ(StatusOf(step), expected);
    EXPECT_EQ(Get(Enumerate(GetObject(cad.doc, "ModelSpace"))[1].AsObject(), "Layer"),
              Variant("0"));
}

// Undo as AutoCAD keeps it: the changes of a group are one step, a change
// outside a group a step of its own, and a group begun while one is open
// ends that one; UNDOCTL shows 8 while a group is open.
TEST(StandInCad, UndoStepsAndGroups) {
    Cad cad;
    const Object modelSpace = GetObject(cad.doc, "ModelSpace");
    const EntityId drawn = AddPoint(cad.host->drawing, {7, 7, 0});  // before: no step
    const auto undoControl = [&] { return Call(cad.doc, "GetVariable", {"undoctl"}); };
    const auto addText = [&](const char* text) {
        return Call(modelSpace, "AddText", {text, DoubleArray{1, 1, 0}, 2.5}).AsObject();
    };
    const auto texts = [&] {
        std::string all;
        for (const Entity* text : Texts(cad.host->drawing)) all += text->text;
        return all;
    };
    EXPECT_EQ(undoControl(), Variant(std::int16_t{53}));
    Call(cad.doc, "StartUndoMark");
    EXPECT_EQ(undoControl(), Variant(std::int16_t{61}));
    Put(addText("a"), "Alignment", std::int16_t{1});
    Call(cad.doc, "StartUndoMark");
    addText("b");
    Call(cad.doc, "EndUndoMark");
    Call(cad.doc, "EndUndoMark");  // none open: no effect
    EXPECT_EQ(undoControl(), Variant(std::int16_t{53}));
    Call(GetObject(modelSpace, "Item", {std::int32_t{0}}), "Delete");
    addText("c");

    const std::tuple<const char*, std::string, bool> undone[] = {
        {"c alone", "ab", false},
        {"the erased point back", "ab", true},
        {"the second group", "a", true},
        {"the first group", "", true}};
    for (const auto& [name, left, pointThere] : undone) {
        ASSERT_TRUE(UndoLast(cad.host->undo, cad.host->drawing)) << name;
        EXPECT_EQ(texts(), left) << name;
        EXPECT_EQ(FindEntity(cad.host->drawing, drawn) != nullptr, pointThere) << name;
    }
    EXPECT_FALSE(UndoLast(cad.host->undo, cad.host->drawing));
    EXPECT_EQ(StatusOf([&] { Call(cad.doc, "GetVariable", {"NOSUCHVAR"}); }), status::kInvalidArg);
}

// Members: those an object lists, as GetIDsOfNames would find them; the
// window's handle as a 64-bit AutoCAD gives it.
TEST(StandInCad, ListedMembersAndTheWindowHandle) {
    Cad cad;
    EXPECT_TRUE(cad.app->HasMember("hwnd") && cad.doc->HasMember("StartUndoMark"));
    EXPECT_FALSE(cad.app->HasMember("Quit") || cad.doc->HasMember("SendCommand"));
    EXPECT_EQ(StatusOf([&] { Call(cad.app, "Quit"); }), status::kUnknownName);
    const std::pair<std::int64_t, Variant> handles[] = {
        {0, std::int32_t{0}}, {0x10062, std::int32_t{0x10062}}, {4294967298, 4294967298.0}};
    for (const auto& [handle, value] : handles) {
        cad.host->windowHandle = handle;
        EXPECT_EQ(Get(cad.app, "HWND"), value) << handle;
    }
}

TEST(StandInCad, PlannedFailuresAndClosing) {
    Cad cad;
    LocalDirectory directory;
    RegisterCad(cad.host, directory);
    auto tap = std::make_shared<testing::Tap>();
    Object app = testing::Tapped(directory.FindRunning("AutoCAD.Application"), tap);

    // Behind a tap the n-th call fails with the chosen status, and only that one.
    tap->failAt = 2;
    tap->failStatus = status::kCallRejected;
    EXPECT_EQ(StatusOf([&] { GetObject(app, "ActiveDocument"); }), status::kOk);
    EXPECT_EQ(StatusOf([&] { GetObject(app, "ActiveDocument"); }), status::kCallRejected);
    EXPECT_EQ(StatusOf([&] { GetObject(app, "ActiveDocument"); }), status::kOk);

    EXPECT_EQ(StatusOf([&] { Put(app, "WindowState", 3.0); }), status::kTypeMismatch);

    CloseCad(*cad.host);
    EXPECT_EQ(StatusOf([&] { directory.FindRunning("AutoCAD.Application"); }),
              status::kUnavailable);
    EXPECT_EQ(StatusOf([&] { GetObject(cad.doc, "ModelSpace"); }), status::kServerUnavailable);
}

}  // namespace
}  // namespace velmora::standins
