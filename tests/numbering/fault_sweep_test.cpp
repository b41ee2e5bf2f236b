// A two-pass run of 50 picks (49 distinct piles), repeated with a failure injected at each
// automation call in turn. Whatever fails, no label stands anywhere but at
// a picked pile plus the offset, no register row holds another pile's
// coordinates, and no number repeats within a pass.
#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <map>
#include <set>

#include "automation/failure.h"
#include "automation/status.h"
#include "numbering_harness.h"
#include "values/numbers.h"

namespace velmora::testing {
namespace {

constexpr double kHeight = 2, kDistance = 4, kAngle = 30;
const Point3 kUcsOrigin{100, 50, 0};

using Position = std::pair<double, double>;  // world X, Y

struct Scenario {
    bool world;
    std::vector<std::set<Position>> passes;

    void operator()(NumberingHarness& h) {
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
        const auto& twin = h.cad->drawing.entities.at(first[4]).position;
        first.push_back(h.Point(twin.x, twin.y));
        for (int i = 0; i < 19; ++i) {
            const double x = 500400 + 7.0 * (i % 6), y = 3200100 + 4.0 * (i / 6);
            second.push_back(h.Point(x, y));
            passes[1].insert({x, y});
        }
        h.Picks({first, second});
    }
};

int PassOf(const Scenario& scenario, Position pile) {
    for (std::size_t pass = 0; pass < scenario.passes.size(); ++pass) {
        if (scenario.passes[pass].count(pile)) return int(pass);
    }
    return -1;
}

// The picked pile a label belongs to, found from where the label stands.
Position LabelPile(const Label& label) {
    const double a = kAngle * 3.14159265358979 / 180;
    return {label.insertion.x - kDistance * std::sin(a),
            label.insertion.y - kDistance * std::cos(a)};
}

Position Nearest(const Scenario& scenario, Position approx) {
    for (const auto& pass : scenario.passes) {
        for (const Position& pile : pass) {
            if (std::abs(pile.first - approx.first) < 1e-6 &&
                std::abs(pile.second - approx.second) < 1e-6) {
                return pile;
            }
        }
    }
    return {NAN, NAN};
}

void CheckRun(const NumberingHarness& h, const Scenario& scenario) {
    EXPECT_EQ(h.shown, 1);
    std::map<std::string, Position> labelPiles;
    std::vector<std::set<std::string>> numbers(scenario.passes.size());
    for (const Label& label : h.Labels()) {
        const Position pile = Nearest(scenario, LabelPile(label));
        const int pass = PassOf(scenario, pile);
        ASSERT_GE(pass, 0) << "label " << label.text << " at an unpicked position";
        EXPECT_EQ(label.insertion.z, 0);
        if (label.alignment != 0) {
            EXPECT_EQ(label.anchor.x, label.insertion.x);
            EXPECT_TRUE(label.anchor.y == label.insertion.y ||
                        label.anchor.y == label.insertion.y - kHeight / 2);
        }
        EXPECT_TRUE(numbers[pass].insert(label.text).second) << "number repeated: " << label.text;
        labelPiles[label.text] = pile;
    }

    std::set<Position> recorded;
    const int rows = std::min<int>(std::max<int>(h.state.pileCount, 0), kRegisterRows);
    for (int r = 0; r < rows; ++r) {
        const RegisterRow& row = h.state.pileRegister.rows[r];
        if (row[0].empty() && row[1].empty()) continue;
        ASSERT_FALSE(row[0].empty() || row[1].empty()) << "row " << r << " half written";
        Position pile = scenario.world
                            ? Position{ReadCoordinateText(row[1]) + kUcsOrigin.x,
                                       ReadCoordinateText(row[0]) + kUcsOrigin.y}
                            : Position{ReadCoordinateText(row[0]), ReadCoordinateText(row[1])};
        pile = Nearest(scenario, pile);
        ASSERT_GE(PassOf(scenario, pile), 0) << "row " << r << " holds no picked pile";
        EXPECT_TRUE(recorded.insert(pile).second) << "row " << r << " repeats a pile";
        if (auto it = labelPiles.find(row[3]); it != labelPiles.end()) {
            EXPECT_EQ(it->second, pile) << "row " << r << " and label " << row[3] << " disagree";
        }
    }
}

TEST(NumberingFaultSweep, EveryCallFailingInTurn) {
    long faults = 0;
    for (bool world : {false, true}) {
        Scenario scenario{world, {}};
        NumberingHarness clean;
        scenario(clean);
        clean.Run();
        ASSERT_EQ(clean.Labels().size(), 49u);
        CheckRun(clean, scenario);
        const long calls = clean.cad->callCount;

        for (std::uint32_t failure : {status::kFail, status::kDispException}) {
            for (long call = 1; call <= calls; ++call) {
                SCOPED_TRACE(std::string(world ? "world" : "user") + " mode, call " +
                             std::to_string(call) + " failing with " + StatusText(failure));
                NumberingHarness h;
                scenario(h);
                h.cad->failures.failCall = call;
                h.cad->failures.failCallStatus = failure;
                h.Run();
                ++faults;
                CheckRun(h, scenario);
                if (HasFatalFailure() || HasNonfatalFailure()) return;
            }
        }
    }
    RecordProperty("faults_injected", std::to_string(faults));
    std::cout << "[ sweep    ] " << faults << " faults injected\n";
}

}  // namespace
}  // namespace velmora::testing
