// The Number command end to end against the stand-in AutoCAD: the calls it
// makes, the labels, the register rows and the start-number box after one
// or more passes, and how it ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <stdexcept>
#include <tuple>

#include "automation/status.h"
#include "desk.h"

namespace velmora::testing {
namespace {

bool Near(Point3 a, Point3 b) {
    return std::abs(a.x - b.x) < 1e-9 && std::abs(a.y - b.y) < 1e-9 && a.z == b.z;
}

// A label with its text, inserted at the offset point and centred on the
// alignment point.
void ExpectLabel(const Label& label, std::string text, Point3 insertion, Point3 anchor) {
    EXPECT_EQ(label.text, text);
    EXPECT_TRUE(Near(label.insertion, insertion)) << text;
    EXPECT_EQ(label.alignment, 1) << text;
    EXPECT_TRUE(Near(label.alignmentPoint, anchor)) << text;
}

// Every call of a one-pile command, with its arguments' types, in both
// record modes; the second command finds "Ssd" to delete.
TEST(Numbering, CallsOfAOnePilePass) {
    const std::vector<std::string> pass = {
        R"(Get SelectionSets("Ssd"))",
        R"(Call Delete)",
        R"(Get SelectionSets)",
        R"(Call Add("Ssd"))",
        R"(Call SelectOnScreen(i2[-4,0,-4], v["<or","POINT","or>"]))",
        R"(Get Count)",
    };
    const std::vector<std::string> pile = {
        R"(Get Count)",
        R"(Enumerate)",
        R"(Get Coordinates)",
        R"(Call GetVariable("UNDOCTL"))",
        R"(Call StartUndoMark)",
        R"(Get ModelSpace)",
        R"(Call AddText("1", r8[10,21,0], r8:2))",
    };
    const std::vector<std::string> translate = {
        R"(Get Utility)",
        R"(Call TranslateCoordinates(r8[10,20,0], i4:0, i4:1, false))",
    };
    const std::vector<std::string> centre = {
        R"(Put Alignment = i2:1)",
        R"(Put TextAlignmentPoint = r8[10,20,0])",
        R"(Call EndUndoMark)",
    };
    for (bool world : {false, true}) {
        SCOPED_TRACE(world ? "world" : "user");
        Desk h;
        h.Run();  // leaves "Ssd" behind
        h.Set(0, "2");
        h.Set(5, "1");
        h.Set(1, "1");
        if (world) h.Select("Option2", 2);
        h.Picks({std::vector{h.Point(10, 20)}});
        h.cadTap->logging = true;
        h.Run();
        std::vector<std::string> expected = {"Get ActiveDocument", "Put WindowState = i4:3",
                                             "Get HWND"};
        for (const auto* part : {&pass, &pile, world ? &translate : nullptr, &centre, &pass}) {
            if (part) expected.insert(expected.end(), part->begin(), part->end());
        }
        EXPECT_EQ(h.cadTap->log, expected);
        EXPECT_EQ(h.broughtForward, std::vector<std::int64_t>(2, kCadWindow));  // each command
    }
}

// Two passes of two piles each, run after `prepare`: the labels, rows and
// start number the command leaves.
auto TwoPasses(Desk& h, const std::function<void(Desk&)>& prepare = {}) {
    h.Picks({std::vector{h.Point(1, 1), h.Point(2, 1)}, std::vector{h.Point(5, 5), h.Point(6, 5)}});
    if (prepare) prepare(h);
    h.Run();
    return std::tuple(h.Labels(), h.Row(3), Text(h.State().controls, TextBox::StartNumber));
}

// Each pass's labels are one undo step, closed when the command ends: one U
// takes back the last pass alone. A group left open elsewhere is closed
// first. The foreground and undo steps change nothing that is numbered, and
// none of their failures ends the command, whatever they meet.
TEST(Numbering, EachPassIsOneUndoStepAndTheExtraStepsChangeNothing) {
    Desk clean;
    const auto numbered = TwoPasses(clean);
    const std::vector<Label> labels = std::get<0>(numbered);
    EXPECT_EQ(std::tuple(labels.size(), clean.cad->undo.steps.size()), std::tuple(4u, 2u));
    ASSERT_TRUE(standins::UndoLast(clean.cad->undo, clean.cad->drawing));
    EXPECT_EQ(clean.Labels(), std::vector(labels.begin(), labels.begin() + 2));

    const std::vector<std::string> extra = {"HWND", "GetVariable", "StartUndoMark", "EndUndoMark"};
    const std::pair<const char*, std::function<void(Desk&)>> cases[] = {
        {"a group left open elsewhere", [](Desk& h) { standins::BeginUndoGroup(h.cad->undo); }},
        {"a CAD clone without the members", [&](Desk& h) { h.cadTap->lacking = extra; }},
        {"each raising 0x80020009",
         [&](Desk& h) {
             for (const std::string& member : extra) h.cadTap->failMember[member] = 0x80020009;
         }},
    };
    for (const auto& [name, prepare] : cases) {
        Desk h;
        h.cadTap->logging = true;
        EXPECT_EQ(TwoPasses(h, prepare), numbered) << name;
        EXPECT_FALSE(h.cad->undo.groupOpen) << name;
        const auto start =
            std::find(h.cadTap->log.begin(), h.cadTap->log.end(), "Call StartUndoMark");
        EXPECT_EQ(start[-1] == "Call EndUndoMark", name == cases[0].first) << name;
    }
}

// Something other than a failure escapes a pass (here from the drawing's
// own hook): its group is closed on the way out, and what escaped is said
// with the command's caption.
TEST(Numbering, AGroupIsClosedWhenSomethingEscapesThePass) {
    Desk h;
    std::string said;
    h.window->Services().sayEscaped = [&said](std::string_view text) { said += text; };
    h.cad->onDrawingChanged = [] { throw std::runtime_error("drawing hook"); };
    h.Picks({std::vector{h.Point(1, 1), h.Point(2, 1)}});
    h.Run();
    EXPECT_FALSE(h.cad->undo.groupOpen);
    EXPECT_EQ(said, "Velmora: a failure ended the command 编号: drawing hook");
}

// A pick of n entities at distinct positions (none: three piles in a
// column), then a pick of two piles.
void PickMany(Desk& desk, int n) {
    std::vector<EntityId> many;
    many.reserve(n);
    for (int i = 0; i < n; ++i) many.push_back(desk.Point(i % 200, i / 200));
    if (n == 0) many = {desk.Point(1, 3), desk.Point(1, 2), desk.Point(1, 1)};
    desk.Picks({many, std::vector{desk.Point(1000, 1000), desk.Point(1010, 1000)}});
}

// The register's 10 000 rows, the count and numbers in 16 bits, a pick
// too large to count.
TEST(Numbering, RegisterCountAndPickLimits) {
    struct Case {
        const char* name;
        int countBefore, picked;
        std::size_t labels;
        int countAfter;
        std::vector<std::pair<int, RegisterRow>> rows;
        std::vector<std::pair<std::size_t, const char*>> texts;  // labels' texts by position
        const char* startNumber;
    };
    // clang-format off
    const Case cases[] = {
        {"row 10000 is the last; later piles are labelled and counted, not stored",
         9999, 0, 5, 10004, {{9999, {"1", "3", "0", "1"}}, {10000, {"1", "2", "0", "2"}}}, {}, "6"},
        {"a pass the count cannot take is labelled but leaves no rows to half overwrite",
         9990, 22778, 22780, 9992, {{9990, {"1000", "1000", "0", "22779"}}, {9992, {}}}, {}, "22781"},
        {"32768 entities: the pass numbers nothing, the next goes on",
         0, 32768, 2, 2, {{0, {"1000", "1000", "0", "1"}}, {1, {"1010", "1000", "0", "2"}}}, {{0, "1"}}, "3"},
        {"40000 entities: the pass numbers nothing, the next goes on",
         0, 40000, 2, 2, {{1, {"1010", "1000", "0", "2"}}}, {{0, "1"}}, "3"},
        {"32767 piles: rows stop at 10000, numbers at 32767, the next pass is not recorded",
         0, 32767, 32769, 32767, {{10000, {"33", "113", "0", "10001"}}}, {{32766, "32767"}, {32768, "32767"}}, "32767"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Desk h;
        h.State().pileCount = c.countBefore;
        PickMany(h, c.picked);
        h.Run();
        const std::vector<Label> labels = h.Labels();
        ASSERT_EQ(labels.size(), c.labels);
        for (const auto& [position, text] : c.texts) EXPECT_EQ(labels[position].text, text);
        if (c.labels == 2) ExpectLabel(labels[0], "1", {1000, 1000, 0}, {1000, 998.75, 0});
        for (const auto& [row, expected] : c.rows) EXPECT_EQ(h.Row(row), expected) << row;
        EXPECT_EQ(h.State().pileCount, c.countAfter);
        EXPECT_EQ(Text(h.State().controls, TextBox::StartNumber), c.startNumber);
    }
}

// Every call of the member fails until the second pick of the picks set
// on the desk; from there on it works again.
void FailUntilSecondPick(Desk& h, const char* member, std::uint32_t failure) {
    h.cadTap->failMember[member] = failure;
    h.cad->picker = [&h, picker = h.cad->picker, picks = 0](const auto& request) mutable {
        if (++picks == 2) h.cadTap->failMember.clear();
        return picker(request);
    };
}

// A pick that ends the command, after the passes before it.
TEST(Numbering, EndsOnAnEmptyOrCancelledPick) {
    struct Case {
        const char* name;
        std::function<void(Desk&)> prepare;
        std::size_t labels;
        int count;
        const char* startNumber;
    };
    const Case cases[] = {
        {"nothing picked: nothing changes", [](Desk& h) { h.Point(1, 1); }, 0, 0, "1"},
        {"cancelled in the second pass: the first keeps its labels and rows",
         [](Desk& h) {
             h.Picks({std::vector{h.Point(1, 1)}, std::nullopt, std::vector{h.Point(2, 2)}});
         },
         1, 1, "2"},
        // A set "Ssd" left by an earlier command is there to delete, so no
        // later failure replaces that status before the test.
        {"maximising fails with 0x80020009: the first pick is taken, not numbered",
         [](Desk& h) {
             h.Run();
             h.cadTap->failMember["WindowState"] = status::kDispException;
             h.Picks({std::vector{h.Point(1, 1)}, std::vector{h.Point(2, 2)}});
         },
         0, 0, "1"},
        {"the count unreadable: the command ends; a second pick is not even asked for",
         [](Desk& h) {
             h.Picks({std::vector{h.Point(1, 1)}, std::vector{h.Point(2, 2)}});
             FailUntilSecondPick(h, "Count", status::kFail);
         },
         0, 0, "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Desk h;
        c.prepare(h);
        const int shownBefore = h.shown;
        h.Run();
        EXPECT_EQ(h.shown, shownBefore + 1);
        EXPECT_EQ(h.Labels().size(), c.labels);
        EXPECT_EQ(h.State().pileCount, c.count);
        EXPECT_EQ(Text(h.State().controls, TextBox::StartNumber), c.startNumber);
        EXPECT_EQ(h.changed.size(), c.labels == 0 ? 0u : 1u);
        if (shownBefore > 0) {
            EXPECT_EQ(standins::SelectionSetContents(*h.cad, "Ssd")->size(), 1u);
        }
    }
}

// Every position of the first pass unreadable: that pass numbers nothing
// and the command goes on; the second numbers its pile from the number in
// the box. The unload lets go of every AutoCAD object taken (counted on the
// stand-in, whose objects each hold their application).
TEST(Numbering, EveryPositionOfAPassUnreadable) {
    for (std::uint32_t failure : {status::kDispException, status::kFail}) {
        Desk h;
        h.Picks({std::vector{h.Point(1, 1), h.Point(2, 1)}, std::vector{h.Point(70, 80)},
                 std::nullopt});  // then cancelled
        FailUntilSecondPick(h, "Coordinates", failure);
        h.Set(1, "7");
        h.Run();
        EXPECT_EQ(h.shown, 1);
        const std::vector<Label> labels = h.Labels();
        ASSERT_EQ(labels.size(), 1u);
        EXPECT_EQ(std::tuple(labels[0].text, labels[0].insertion),
                  std::tuple("7", Point3{70, 80, 0}));
        EXPECT_EQ(h.Row(0), (RegisterRow{"70", "80", "0", "7"}));
        EXPECT_EQ(h.State().pileCount, 1);
        EXPECT_EQ(Text(h.State().controls, TextBox::StartNumber), "8");
        h.window->Unload();
        EXPECT_EQ(h.CadReferences(), 0) << "AutoCAD objects still held after unload";
    }
}

}  // namespace
}  // namespace velmora::testing
