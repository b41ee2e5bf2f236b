// AutoCAD and Excel failing under the commands. A two-pass Number command
// (50 picks, 49 distinct piles) is run again and again with each of its
// automation calls in turn failing (E_FAIL, 0x80020009) or AutoCAD gone
// from that call on, in both record modes; an export with Excel failing or
// gone at each of its calls; every position of a pass unreadable. Whatever
// fails: no label stands anywhere but at a picked pile plus the offset, no
// register row holds another pile's data, no number repeats within a pass,
// what was made stays, the commands end or go on as they are meant to, and
// every reference taken to an AutoCAD or Excel object is let go: the unload
// releases the AutoCAD session and the Excel application, the workbook and
// sheet go with the window itself (counted on the stand-ins, whose objects
// each hold their application).
#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <map>
#include <set>

#include "automation/failure.h"
#include "automation/status.h"
#include "desk.h"
#include "values/numbers.h"

namespace velmora::testing {
namespace {

constexpr double kHeight = 2, kDistance = 4, kAngle = 30;
const Point3 kUcsOrigin{100, 50, 0};

using Position = std::pair<double, double>;  // world X, Y

void Report(const char* what, long faults) {
    std::cout << "[ faults   ] " << faults << " faults injected: " << what << "\n";
    ::testing::Test::RecordProperty("faults_injected", std::to_string(faults));
}

struct Scenario {
    bool world = false;
    std::vector<std::set<Position>> passes;

    void SetUp(Desk& h) {
        passes.assign(2, {});
        h.Set(0, "2");
        h.Set(4, "30");
        h.Set(5, "4");
        h.Set(2, "Z");
        if (world) h.Select("Option2", 2);
        h.cad->drawing.ucs = {kUcsOrigin, 0};
        std::vector<EntityId> first, second;
        // Three slightly uneven rows and a coinciding pair in the first pass.
        for (int i = 0; i < 30; ++i) {
            const double x = 500100 + 6.0 * (i % 10), y = 3200000 + 5.0 * (i / 10) + 0.01 * (i % 3);
            first.push_back(h.Point(x, y));
            passes[0].insert({x, y});
        }
        first.push_back(h.Point(500124, 3200000.01));
        for (int i = 0; i < 19; ++i) {
            const double x = 500400 + 7.0 * (i % 6), y = 3200100 + 4.0 * (i / 6);
            second.push_back(h.Point(x, y));
            passes[1].insert({x, y});
        }
        h.Picks({first, second});
    }

    // The pass of the picked pile near a position, and that pile.
    std::pair<int, Position> Find(Position approx) const {
        for (std::size_t pass = 0; pass < passes.size(); ++pass) {
            for (const Position& pile : passes[pass]) {
                if (std::abs(pile.first - approx.first) < 1e-6 &&
                    std::abs(pile.second - approx.second) < 1e-6) {
                    return {int(pass), pile};
                }
            }
        }
        return {-1, {NAN, NAN}};
    }
};

void CheckSound(Desk& h, const Scenario& scenario) {
    const double a = kAngle * 3.14159265358979 / 180;
    std::map<std::string, Position> labelPiles;
    std::vector<std::set<std::string>> numbers(scenario.passes.size());
    for (const Label& label : h.Labels()) {
        const auto [pass, pile] = scenario.Find({label.insertion.x - kDistance * std::sin(a),
                                                 label.insertion.y - kDistance * std::cos(a)});
        ASSERT_GE(pass, 0) << "label " << label.text << " at an unpicked position";
        EXPECT_EQ(label.insertion.z, 0);
        if (label.alignment != 0) {
            EXPECT_EQ(label.alignmentPoint.x, label.insertion.x);
            EXPECT_TRUE(label.alignmentPoint.y == label.insertion.y ||
                        label.alignmentPoint.y == label.insertion.y - kHeight / 2);
        }
        EXPECT_TRUE(numbers[pass].insert(label.text).second) << "number repeated: " << label.text;
        labelPiles[label.text] = pile;
    }

    std::set<Position> recorded;
    const int rows = std::clamp<int>(h.State().pileCount, 0, kRegisterRows);
    for (int r = 0; r < rows; ++r) {
        const RegisterRow& row = h.Row(r);
        if (row[0].empty() && row[1].empty()) continue;
        ASSERT_FALSE(row[0].empty() || row[1].empty()) << "row " << r << " half written";
        const double first = ReadCoordinateText(row[0]), second = ReadCoordinateText(row[1]);
        const auto [pass, pile] =
            scenario.Find(scenario.world ? Position{second + kUcsOrigin.x, first + kUcsOrigin.y}
                                         : Position{first, second});
        ASSERT_GE(pass, 0) << "row " << r << " holds no picked pile";
        EXPECT_TRUE(recorded.insert(pile).second) << "row " << r << " repeats a pile";
        if (auto it = labelPiles.find(row[3]); it != labelPiles.end()) {
            EXPECT_EQ(it->second, pile) << "row " << r << " and label " << row[3] << " disagree";
        }
    }
    for (int r = rows; r < kRegisterRows; ++r) {
        ASSERT_TRUE(h.Row(r)[3].empty()) << "row " << r << " written past the count";
    }
}

void ExpectAllReleased(Desk& h) {
    h.window->Unload();
    EXPECT_EQ(h.CadReferences(), 0) << "AutoCAD objects still held after unload";
    EXPECT_EQ(h.State().excelApplication, nullptr);
    EXPECT_LE(h.ExcelReferences(), h.State().excelWorksheet ? 2 : h.State().excelWorkbook ? 1 : 0);
    h.window.reset();
    EXPECT_EQ(h.CadReferences() + h.ExcelReferences(), 0) << "held after the window went";
}

TEST(Faults, EveryCallOfANumberCommandFailingOrAutoCadGone) {
    long faults = 0;
    for (bool world : {false, true}) {
        Scenario scenario{world, {}};
        Desk clean;
        scenario.SetUp(clean);
        clean.Run();
        ASSERT_EQ(clean.Labels().size(), 49u);
        CheckSound(clean, scenario);
        const long calls = clean.cadTap->calls;
        clean.Export();
        clean.Export();
        ExpectAllReleased(clean);

        for (std::uint32_t failure : {status::kFail, status::kDispException, status::kOk}) {
            const bool gone = failure == status::kOk;
            for (long call = 1; call <= calls; ++call) {
                SCOPED_TRACE(std::string(world ? "world" : "user") + " mode, call " +
                             std::to_string(call) +
                             (gone ? " and later gone" : " failing with " + StatusText(failure)));
                Desk h;
                scenario.SetUp(h);
                (gone ? h.cadTap->goneAt : h.cadTap->failAt) = call;
                h.cadTap->failStatus = failure;
                h.Run();
                ++faults;
                EXPECT_EQ(h.shown, 1);
                EXPECT_TRUE(h.messages.empty());
                CheckSound(h, scenario);
                if (gone) {  // rows already written stay; the next command finds no AutoCAD
                    const PileRegister before = h.State().pileRegister;  // no references kept
                    h.Run();
                    EXPECT_EQ(h.messages, std::vector<std::string>{"请先打开CAD软件！"});
                    EXPECT_EQ(h.State().pileRegister.rows, before.rows);
                }
                ExpectAllReleased(h);
                if (HasFatalFailure() || HasNonfatalFailure()) return;
            }
        }
    }
    Report("a Number command's calls failing or AutoCAD gone", faults);
}

// Every cell present shows the data of its own register row.
void CheckTable(const standins::Sheet& sheet, Desk& h, int piles) {
    for (const auto& [key, value] : sheet.values) {
        const auto [row, column] = key;
        if (row < 3) continue;
        ASSERT_TRUE(row <= piles + 2 && column >= 1 && column <= 4) << "a cell past the table";
        const RegisterRow& stored = h.Row(row - 3);
        const std::optional<double> numbers[] = {row - 2, std::nullopt,
                                                 RoundHalfEven(ReadCoordinateText(stored[0]), 3),
                                                 RoundHalfEven(ReadCoordinateText(stored[1]), 3)};
        if (column == 2)
            EXPECT_EQ(CellText(sheet, row, 2), stored[3]);
        else
            EXPECT_EQ(CellNumber(sheet, row, column), numbers[column - 1]);
    }
}

TEST(Faults, EveryCallOfAnExportFailingOrExcelGone) {
    auto numbered = [](Desk& h) {
        h.Picks({std::vector{h.Point(10, 40), h.Point(10, 20), h.Point(30.0625, 20)}});
        h.Run();
    };
    Desk clean;
    numbered(clean);
    ASSERT_EQ(clean.State().pileCount, 3);
    clean.Export();
    const long accesses = clean.excelTap->calls;
    long faults = 0;

    for (bool gone : {false, true}) {
        for (long at = 1; at <= accesses; ++at) {
            SCOPED_TRACE(std::string(gone ? "Excel gone from" : "Excel failing") + " access " +
                         std::to_string(at));
            Desk h;
            numbered(h);
            const PileRegister before = h.State().pileRegister;  // no references kept
            (gone ? h.excelTap->goneAt : h.excelTap->failAt) = at;
            h.excelTap->failStatus = status::kDispException;
            h.Export();
            ++faults;

            // The register is read, never changed. Only a failure while
            // Excel, its workbook or sheet is obtained is told, once.
            EXPECT_EQ(h.State().pileCount, 3);
            EXPECT_EQ(h.State().pileRegister.rows, before.rows);
            EXPECT_EQ(h.messages.size(), h.State().excelWorksheet ? 0u : 1u);
            if (const standins::Sheet* sheet = h.Sheet()) CheckTable(*sheet, h, 3);

            // Excel working again, a second export gives the whole table.
            *h.excelTap = {};
            h.Export();
            const standins::Sheet* again = h.Sheet(h.excel->created.size() - 1);
            ASSERT_NE(again, nullptr);
            CheckTable(*again, h, 3);
            EXPECT_EQ(again->values.size(), 1u + 4 + 3 * 4);  // title, headers, rows
            ExpectAllReleased(h);
            if (HasFatalFailure()) return;
        }
    }
    Report("an export's calls failing or Excel gone", faults);
}

TEST(Faults, EveryPositionOfAPassUnreadable) {
    for (std::uint32_t failure : {status::kDispException, status::kFail}) {
        Desk h;
        h.Picks({std::vector{h.Point(1, 1), h.Point(2, 1)}, std::vector{h.Point(70, 80)},
                 std::nullopt});  // then cancelled
        h.cadTap->failMember["Coordinates"] = failure;
        // Reads work again from the second pick on.
        auto picker = h.cad->picker;
        int picks = 0;
        h.cad->picker = [&, picker](const standins::PickRequest& request) {
            if (++picks == 2) h.cadTap->failMember.clear();
            return picker(request);
        };
        h.Set(1, "7");
        h.Run();

        // The first pass numbers nothing and the command goes on; the
        // second numbers its pile from the number in the box.
        EXPECT_EQ(h.shown, 1);
        const std::vector<Label> labels = h.Labels();
        ASSERT_EQ(labels.size(), 1u);
        EXPECT_EQ(labels[0].text, "7");
        EXPECT_EQ(labels[0].insertion, (Point3{70, 80, 0}));
        EXPECT_EQ(h.Row(0), (RegisterRow{"70", "80", "0", "7"}));
        EXPECT_EQ(h.State().pileCount, 1);
        EXPECT_EQ(Text(h.State().controls, TextBox::StartNumber), "8");
        ExpectAllReleased(h);
    }
}

}  // namespace
}  // namespace velmora::testing
