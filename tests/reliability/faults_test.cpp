// AutoCAD and Excel failing under the commands: AutoCAD closed between any
// two calls of a Number command, Excel failing at any call of an export or
// going away there, every pile of a pass unreadable, and picks of 32 768
// entities or more. Nothing crashes, what was made stays, nothing is
// labelled at a position that was not picked, no row holds another pile's
// data, and the commands end or go on as they are meant to.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <map>

#include "automation/status.h"
#include "desk.h"
#include "values/numbers.h"

namespace velmora::testing {
namespace {

using Position = std::pair<double, double>;

constexpr double kHeight = 2, kDistance = 3;  // offset straight up (angle 0)

void Report(const char* what, long faults) {
    std::cout << "[ faults   ] " << faults << " faults injected: " << what << "\n";
    ::testing::Test::RecordProperty("faults_injected", std::to_string(faults));
}

// Two passes of piles (a coinciding pair in the first) and a third pass
// that would pick again.
struct Scene {
    std::vector<std::vector<Position>> passes = {
        {{10, 40}, {10, 20}, {30, 20}, {30, 20}, {50, 40}},
        {{70, 80}, {90, 80}, {70, 60}},
        {{110, 10}},
    };

    void SetUp(Desk& desk) const {
        std::vector<std::vector<EntityId>> picks;
        for (const auto& pass : passes) {
            std::vector<EntityId> ids;
            for (const auto& [x, y] : pass) ids.push_back(desk.Point(x, y));
            picks.push_back(ids);
        }
        desk.Picks(picks);
        desk.Type(0, "2");
        desk.Type(5, "3");
    }

    bool Picked(Position pile) const {
        for (const auto& pass : passes) {
            for (const Position& p : pass) {
                if (p == pile) return true;
            }
        }
        return false;
    }
};

// What any run must leave: labels only at picked piles plus the offset,
// each number once, register rows holding the pile their label names.
void CheckSound(Desk& desk, const Scene& scene) {
    std::map<std::string, Position> labelled;
    for (const Label& label : desk.Labels()) {
        const Position pile{label.insertion.x, label.insertion.y - kDistance};
        EXPECT_TRUE(scene.Picked(pile))
            << "label " << label.text << " at " << pile.first << ", " << pile.second;
        EXPECT_TRUE(labelled.emplace(label.text, pile).second) << "repeated " << label.text;
    }
    const int rows = std::clamp<int>(desk.State().pileCount, 0, kRegisterRows);
    for (int r = 0; r < rows; ++r) {
        const RegisterRow& row = desk.Row(r);
        if (row[0].empty() && row[1].empty()) continue;
        const Position pile{ReadCoordinateText(row[0]), ReadCoordinateText(row[1])};
        EXPECT_TRUE(scene.Picked(pile)) << "row " << r;
        if (auto it = labelled.find(row[3]); it != labelled.end()) {
            EXPECT_EQ(it->second, pile) << "row " << r << " and its label disagree";
        }
    }
    for (int r = rows; r < kRegisterRows; ++r) {
        ASSERT_TRUE(desk.Row(r)[3].empty()) << "row " << r << " written past the count";
    }
}

TEST(Faults, AutoCadClosedBetweenAnyTwoCalls) {
    const Scene scene;
    Desk clean;
    scene.SetUp(clean);
    clean.window->FilterMtext();
    const long calls = clean.cadSwitch->calls;
    const std::vector<Label> cleanLabels = clean.Labels();
    ASSERT_EQ(cleanLabels.size(), 8u);
    long faultsInjected = 0;

    for (long goneAt = 1; goneAt <= calls; ++goneAt) {
        SCOPED_TRACE("AutoCAD gone from call " + std::to_string(goneAt));
        Desk desk;
        scene.SetUp(desk);
        desk.cadSwitch->goneAt = goneAt;
        desk.window->FilterMtext();
        ++faultsInjected;

        // The command ends at the next count read; nothing was asked of
        // the user, and the window is shown, unless AutoCAD went before the
        // attach was complete.
        EXPECT_TRUE(desk.messages.empty());
        EXPECT_EQ(desk.shown, 1);
        CheckSound(desk, scene);
        // The labels made before AutoCAD went are the clean run's first ones.
        const std::vector<Label> labels = desk.Labels();
        ASSERT_LE(labels.size(), cleanLabels.size());
        for (std::size_t i = 0; i < labels.size(); ++i) {
            EXPECT_EQ(labels[i].text, cleanLabels[i].text);
            EXPECT_EQ(labels[i].insertion, cleanLabels[i].insertion);
        }
        // Rows already written stay; the next command finds no AutoCAD.
        const WindowState before = desk.State();
        desk.window->FilterMtext();
        EXPECT_EQ(desk.messages, std::vector<std::string>{"请先打开CAD软件！"});
        EXPECT_EQ(desk.State().pileCount, before.pileCount);
        EXPECT_EQ(desk.State().pileRegister.rows, before.pileRegister.rows);
        if (HasFatalFailure()) return;
    }
    Report("AutoCAD closed mid-command", faultsInjected);
}

// Fills the register with the clean scene, then exports with Excel failing
// as the plan says; returns the desk for checks.
void NumberScene(Desk& desk) {
    Scene().SetUp(desk);
    desk.window->FilterMtext();
    ASSERT_EQ(desk.State().pileCount, 8);
}

// Every cell present shows the data of its own register row.
void CheckTable(const standins::Sheet& sheet, Desk& desk) {
    for (const auto& [key, value] : sheet.values) {
        const auto [row, column] = key;
        if (row < 3) continue;
        ASSERT_LE(row, 10) << "a row past the table";
        const RegisterRow& stored = desk.Row(row - 3);
        switch (column) {
            case 1:
                EXPECT_EQ(CellNumber(sheet, row, 1), row - 2);
                break;
            case 2:
                EXPECT_EQ(CellText(sheet, row, 2), stored[3]);
                break;
            case 3:
                EXPECT_EQ(CellNumber(sheet, row, 3), ReadCoordinateText(stored[0]));
                break;
            case 4:
                EXPECT_EQ(CellNumber(sheet, row, 4), ReadCoordinateText(stored[1]));
                break;
            default:
                ADD_FAILURE() << "a cell in column " << column;
        }
    }
}

TEST(Faults, ExcelFailingOrGoneAtAnyCall) {
    Desk clean;
    NumberScene(clean);
    clean.window->ExportCoordinateTable();
    const long accesses = clean.excel->created.at(0)->accessCount;
    ASSERT_EQ(clean.excelSwitch->calls, accesses);
    long faultsInjected = 0;

    for (bool gone : {false, true}) {
        for (long at = 1; at <= accesses; ++at) {
            SCOPED_TRACE(std::string(gone ? "Excel gone from" : "Excel failing") + " access " +
                         std::to_string(at));
            Desk desk;
            NumberScene(desk);
            const WindowState before = desk.State();
            if (gone) {
                desk.excelSwitch->goneAt = at;
            } else {
                desk.excelFailures.failAccessNumber = static_cast<int>(at);
            }
            desk.window->ExportCoordinateTable();
            ++faultsInjected;

            // The register is read, never changed.
            EXPECT_EQ(desk.State().pileCount, before.pileCount);
            EXPECT_EQ(desk.State().pileRegister.rows, before.pileRegister.rows);
            // Only a failure while Excel, its workbook or sheet is obtained
            // is told to the user, once.
            EXPECT_LE(desk.messages.size(), 1u);
            if (const standins::Sheet* sheet = desk.Sheet()) CheckTable(*sheet, desk);

            // Excel working again, a second export gives the whole table.
            desk.excelSwitch->goneAt = 0;
            desk.excelSwitch->gone = false;
            desk.excelFailures = {};
            desk.window->ExportCoordinateTable();
            const standins::Sheet* again = desk.Sheet(desk.excel->created.size() - 1);
            ASSERT_NE(again, nullptr);
            CheckTable(*again, desk);
            EXPECT_EQ(again->values.size(), 1u + 4 + 8 * 4);  // title, headers, rows
            if (HasFatalFailure()) return;
        }
    }
    Report("Excel failing or gone mid-export", faultsInjected);
}

TEST(Faults, EveryPositionOfAPassUnreadable) {
    long faultsInjected = 0;
    for (std::uint32_t failure : {status::kDispException, status::kFail}) {
        Desk desk;
        const Scene scene;
        scene.SetUp(desk);
        standins::FailEveryCall(desk.cad->failures, "Coordinates", failure);
        // Reads work again from the second pick on.
        auto picker = desk.cad->picker;
        int picks = 0;
        desk.cad->picker = [&, picker](const standins::PickRequest& request) {
            if (++picks == 2) desk.cad->failures.failMember.clear();
            return picker(request);
        };
        desk.Type(1, "7");
        desk.window->FilterMtext();
        ++faultsInjected;

        // The first pass numbers nothing and the command goes on; the
        // second numbers its three piles from the number in the box.
        EXPECT_EQ(desk.shown, 1);
        CheckSound(desk, scene);
        const std::vector<Label> labels = desk.Labels();
        ASSERT_EQ(labels.size(), 4u);
        EXPECT_EQ(labels[0].text, "7");
        EXPECT_EQ(labels[0].insertion, (Point3{70, 80 + kDistance, 0}));
        EXPECT_EQ(desk.State().pileCount, 4);
        EXPECT_EQ(desk.Row(0)[3], "7");
        EXPECT_EQ(Text1(desk.State().controls, 1), "11");
    }
    Report("every position of a pass unreadable", faultsInjected);
}

// A pick of n entities at distinct positions, then a pick of two piles.
void PickMany(Desk& desk, int n) {
    std::vector<EntityId> many;
    many.reserve(n);
    for (int i = 0; i < n; ++i) many.push_back(desk.Point(i % 200, i / 200));
    const std::vector<EntityId> two = {desk.Point(1000, 1000), desk.Point(1010, 1000)};
    desk.Picks({many, two});
}

TEST(Faults, PicksOfThirtyTwoThousandEntitiesAndMore) {
    // 32 768 or more: the pass cannot be counted in 16 bits and numbers
    // nothing; the command goes on with the next pass.
    for (int n : {32768, 40000}) {
        SCOPED_TRACE(std::to_string(n) + " entities");
        Desk desk;
        PickMany(desk, n);
        desk.window->FilterMtext();
        EXPECT_EQ(desk.shown, 1);
        const std::vector<Label> labels = desk.Labels();
        ASSERT_EQ(labels.size(), 2u);
        EXPECT_EQ(labels[0].text, "1");
        EXPECT_EQ(labels[0].insertion, (Point3{1000, 1000, 0}));
        EXPECT_EQ(desk.State().pileCount, 2);
        EXPECT_EQ(desk.Row(0)[0], "1000");
        EXPECT_EQ(desk.Row(1)[0], "1010");
    }

    // 32 767 distinct piles are numbered; rows stop at 10 000, the numbers
    // at 32 767, and the count still counts every pile.
    Desk desk;
    PickMany(desk, 32767);
    desk.window->FilterMtext();
    const std::vector<Label> labels = desk.Labels();
    ASSERT_EQ(labels.size(), 32767u + 2);
    EXPECT_EQ(labels[32766].text, "32767");
    EXPECT_EQ(labels[32767].text, "32767");
    EXPECT_EQ(desk.State().pileCount, 32767);  // the last pass would overflow it
    EXPECT_EQ(desk.Row(10000)[3], "10001");
    EXPECT_EQ(Text1(desk.State().controls, 1), "32767");
}

}  // namespace
}  // namespace velmora::testing
