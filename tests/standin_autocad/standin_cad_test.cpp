// The stand-in AutoCAD answers the members the Number command uses the way
// AutoCAD does, including its failures.
#include "standin_cad.h"

#include <gtest/gtest.h>

#include "automation/failure.h"
#include "automation/status.h"

namespace velmora::standins {
namespace {

std::uint32_t StatusOf(const std::function<void()>& step) {
    try {
        step();
    } catch (const Failure& failure) {
        return failure.Status();
    }
    return status::kOk;
}

struct Cad {
    std::shared_ptr<CadHost> host = NewCadHost();
    Object app = CadApplication(host);
    Object doc = GetObject(app, "ActiveDocument");

    Object NewSet(const char* name = "Ssd") {
        return Call(GetObject(doc, "SelectionSets"), "Add", {name}).AsObject();
    }
};

const Variant kPointFilterCodes = Int16Array{-4, 0, -4};
const Variant kPointFilterValues = VariantArray{"<or", "POINT", "or>"};

TEST(StandInCad, SelectionSetsBehaveLikeAutoCad) {
    Cad cad;
    // Deleting a set that does not exist fails, but not with 0x80020009.
    const std::uint32_t missing =
        StatusOf([&] { Call(GetObject(cad.doc, "SelectionSets", {"Ssd"}), "Delete"); });
    EXPECT_NE(missing, status::kOk);
    EXPECT_NE(missing, status::kDispException);

    Object set = cad.NewSet();
    EXPECT_EQ(StatusOf([&] { cad.NewSet("ssd"); }), status::kInvalidArg);  // names ignore case
    EXPECT_EQ(Get(GetObject(cad.doc, "SelectionSets"), "Count").ToInt32(), 1);
    EXPECT_EQ(Get(GetObject(cad.doc, "selectionsets", {"SSD"}), "Name").AsText(), "Ssd");

    Call(GetObject(cad.doc, "SelectionSets", {"Ssd"}), "Delete");
    EXPECT_TRUE(SelectionSetNames(*cad.host).empty());
    EXPECT_NE(StatusOf([&] { Get(set, "Count"); }), status::kOk);  // the deleted set is gone
    EXPECT_NO_THROW(cad.NewSet());                                 // and the name is free again

    for (int i = 1; i < 128; ++i) cad.NewSet(("S" + std::to_string(i)).c_str());
    EXPECT_NE(StatusOf([&] { cad.NewSet("One too many"); }), status::kOk);
    EXPECT_EQ(SelectionSetNames(*cad.host).size(), 128u);
}

TEST(StandInCad, SelectOnScreenKeepsWhatTheFilterAdmits) {
    Cad cad;
    const EntityId p1 = AddPoint(cad.host->drawing, {1, 2, 0});
    const EntityId c1 = AddCircle(cad.host->drawing, {3, 4, 0}, 0.5);
    const EntityId p2 = AddPoint(cad.host->drawing, {5, 6, 7});
    const EntityId t1 = AddText(cad.host->drawing, "x", {0, 0, 0}, 1);
    cad.host->picker =
        ScriptedPicker({std::vector{p2, c1, t1, p1, p2, EntityId{999}}, std::nullopt});

    Object set = cad.NewSet();
    Call(set, "SelectOnScreen", {kPointFilterCodes, kPointFilterValues});
    ASSERT_EQ(Get(set, "Count").ToInt32(), 2);
    const std::vector<Variant> items = Enumerate(set);
    ASSERT_EQ(items.size(), 2u);  // in pick order, each once
    EXPECT_EQ(Get(items[0].AsObject(), "Coordinates").AsDoubleArray(), (DoubleArray{5, 6, 7}));
    EXPECT_EQ(Get(items[1].AsObject(), "coordinates").AsDoubleArray(), (DoubleArray{1, 2, 0}));
    EXPECT_EQ(Get(Get(set, "Item", {std::int32_t{1}}).AsObject(), "ObjectName").AsText(),
              "AcDbPoint");
    EXPECT_EQ(StatusOf([&] { Get(items[0].AsObject(), "Center"); }), status::kUnknownName);

    // A cancelled pick fails with 0x80020009; an exhausted script picks nothing.
    EXPECT_EQ(StatusOf([&] {
                  Call(set, "SelectOnScreen", {kPointFilterCodes, kPointFilterValues});
              }),
              status::kDispException);
    Object other = cad.NewSet("Other");
    Call(other, "SelectOnScreen", {kPointFilterCodes, kPointFilterValues});
    EXPECT_EQ(Get(other, "Count").ToInt32(), 0);
}

TEST(StandInCad, FiltersAreCheckedAndEvaluated) {
    Drawing drawing;
    const Entity& point = drawing.entities[AddPoint(drawing, {})];
    const Entity& circle = drawing.entities[AddCircle(drawing, {}, 1)];
    auto filter = [](Int16Array codes, VariantArray values) {
        return ReadSelectionFilter(Variant(std::move(codes)), Variant(std::move(values)));
    };
    const SelectionFilter either = filter({-4, 0, 0, -4}, {"<OR", "point", "Circle", "or>"});
    EXPECT_TRUE(Admits(either, point));
    EXPECT_TRUE(Admits(either, circle));
    const SelectionFilter notCircle = filter({-4, 0, -4}, {"<not", "CIRCLE", "not>"});
    EXPECT_TRUE(Admits(notCircle, point));
    EXPECT_FALSE(Admits(notCircle, circle));
    EXPECT_TRUE(Admits(filter({0}, {"TEXT,CIRCLE"}), circle));
    EXPECT_FALSE(Admits(filter({0}, {"TEXT,CIRCLE"}), point));

    auto statusOf = [](Variant codes, Variant values) {
        return StatusOf([&] { ReadSelectionFilter(codes, values); });
    };
    EXPECT_EQ(statusOf(VariantArray{-4, 0, -4}, kPointFilterValues), status::kTypeMismatch);
    EXPECT_EQ(statusOf(kPointFilterCodes, Int16Array{1, 2, 3}), status::kTypeMismatch);
    EXPECT_EQ(statusOf(Int16Array{-4, 0}, kPointFilterValues), status::kInvalidArg);
    EXPECT_EQ(statusOf(kPointFilterCodes, VariantArray{"<or", "POINT", "and>"}),
              status::kInvalidArg);
    EXPECT_EQ(statusOf(Int16Array{62}, VariantArray{"1"}), status::kInvalidArg);
}

TEST(StandInCad, TextsAndCoordinateTranslation) {
    Cad cad;
    Object modelSpace = GetObject(cad.doc, "ModelSpace");
    Object text = Call(modelSpace, "AddText", {"P1", DoubleArray{1, 2, 0}, 2.5}).AsObject();
    ASSERT_EQ(Texts(cad.host->drawing).size(), 1u);
    const Entity& label = *Texts(cad.host->drawing)[0];
    EXPECT_EQ(label.text, "P1");
    EXPECT_EQ(TextAnchor(label), (Point3{1, 2, 0}));
    // A left-aligned text has no alignment point; centred, it stands on it.
    EXPECT_EQ(StatusOf([&] {
                  Put(text, "TextAlignmentPoint", DoubleArray{1, 1, 0});
              }),
              status::kInvalidArg);
    Put(text, "Alignment", std::int16_t{1});
    Put(text, "TextAlignmentPoint", DoubleArray{1, 0.75, 0});
    EXPECT_EQ(TextAnchor(label), (Point3{1, 0.75, 0}));
    EXPECT_EQ(Get(text, "Alignment").ToInt32(), 1);

    auto addText = [&](Variant point, Variant height) {
        return StatusOf([&] { Call(modelSpace, "AddText", {"x", point, height}); });
    };
    EXPECT_EQ(addText(VariantArray{1.0, 2.0, 0.0}, 1.0), status::kTypeMismatch);
    EXPECT_EQ(addText(DoubleArray{1, 2}, 1.0), status::kInvalidArg);
    EXPECT_EQ(addText(DoubleArray{1, 2, 0}, 0.0), status::kInvalidArg);
    EXPECT_EQ(StatusOf([&] {
                  Call(modelSpace, "AddText", {"x", DoubleArray{1, 2, 0}});
              }),
              status::kBadParamCount);
    EXPECT_EQ(Texts(cad.host->drawing).size(), 1u);

    cad.host->drawing.ucs = {{100, 200, 0}, 3.14159265358979323846 / 2};
    Object utility = GetObject(cad.doc, "Utility");
    auto translate = [&](DoubleArray point, std::int32_t from, std::int32_t to, bool displacement) {
        return Call(utility, "TranslateCoordinates", {point, from, to, displacement})
            .AsDoubleArray();
    };
    const DoubleArray local = translate({110, 230, 5}, 0, 1, false);
    EXPECT_NEAR(local[0], 30, 1e-9);  // the UCS X axis points north
    EXPECT_NEAR(local[1], -10, 1e-9);
    EXPECT_NEAR(local[2], 5, 1e-9);
    const DoubleArray back = translate(local, 1, 0, false);
    EXPECT_NEAR(back[0], 110, 1e-9);
    EXPECT_NEAR(back[1], 230, 1e-9);
    EXPECT_NEAR(translate({1, 0, 0}, 0, 1, true)[1], -1, 1e-9);  // a displacement only turns
    EXPECT_EQ(StatusOf([&] { translate({1, 0, 0}, 0, 7, false); }), status::kInvalidArg);
}

TEST(StandInCad, FailurePlanAndClosing) {
    Cad cad;
    LocalDirectory directory;
    RegisterCad(cad.host, directory);
    Object app = directory.FindRunning("AutoCAD.Application");

    // The n-th call fails with the chosen status, and only that one.
    cad.host->failures.failCall = cad.host->callCount + 2;
    cad.host->failures.failCallStatus = status::kCallRejected;
    EXPECT_EQ(StatusOf([&] { GetObject(app, "ActiveDocument"); }), status::kOk);
    EXPECT_EQ(StatusOf([&] { GetObject(app, "ActiveDocument"); }), status::kCallRejected);
    EXPECT_EQ(StatusOf([&] { GetObject(app, "ActiveDocument"); }), status::kOk);

    FailEveryCall(cad.host->failures, "windowstate", status::kDispException);
    EXPECT_EQ(StatusOf([&] { Put(app, "WindowState", std::int32_t{3}); }), status::kDispException);
    cad.host->failures.failMember.clear();
    int maximised = 0;
    cad.host->onWindowState = [&](int state) { maximised += state == 3; };
    Put(app, "WINDOWSTATE", std::int32_t{3});
    EXPECT_EQ(maximised, 1);
    EXPECT_EQ(StatusOf([&] { Put(app, "WindowState", 3.0); }), status::kTypeMismatch);
    EXPECT_EQ(StatusOf([&] { Get(app, "NoSuchMember"); }), status::kUnknownName);

    CloseCad(*cad.host);
    EXPECT_EQ(StatusOf([&] { directory.FindRunning("AutoCAD.Application"); }),
              status::kUnavailable);
    EXPECT_EQ(StatusOf([&] { GetObject(app, "ActiveDocument"); }), status::kServerUnavailable);
    EXPECT_EQ(StatusOf([&] { GetObject(cad.doc, "ModelSpace"); }), status::kServerUnavailable);
}

}  // namespace
}  // namespace velmora::standins
