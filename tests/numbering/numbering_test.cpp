// The Number command end to end against the stand-in AutoCAD: labels,
// register rows and the start-number box after one or more passes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "numbering_harness.h"

namespace velmora::testing {
namespace {

using Rows = std::vector<RegisterRow>;

bool Near(Point3 a, Point3 b) {
    return std::abs(a.x - b.x) < 1e-9 && std::abs(a.y - b.y) < 1e-9 && a.z == b.z;
}

// A label with its text, inserted at the offset point and centred on the
// alignment point.
void ExpectLabel(const Label& label, std::string text, Point3 insertion, Point3 anchor) {
    EXPECT_EQ(label.text, text);
    EXPECT_TRUE(Near(label.insertion, insertion)) << text;
    EXPECT_EQ(label.alignment, 1) << text;
    EXPECT_TRUE(Near(label.anchor, anchor)) << text;
}

TEST(Numbering, WorkedExampleWithDefaultsAndASecondPass) {
    NumberingHarness h;
    const EntityId a = h.Point(30, 20), b = h.Point(10, 40), c = h.Point(10, 20);
    const EntityId d = h.Point(60, 5), e = h.Point(50, 5);
    h.Picks({std::vector{a, b, c}, std::vector{d, e}});
    h.Run();  // the failed delete of the missing "Ssd" does not end the first pass

    // Numbered top row first, left to right; labels centred 1.25 below.
    const std::pair<int, int> order[] = {{10, 40}, {10, 20}, {30, 20}, {50, 5}, {60, 5}};
    const std::vector<Label> labels = h.Labels();
    ASSERT_EQ(labels.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        const auto [x, y] = order[i];
        const std::string number = std::to_string(i + 1);
        ExpectLabel(labels[i], number, {double(x), double(y), 0}, {double(x), y - 1.25, 0});
        EXPECT_EQ(h.Row(i), (RegisterRow{std::to_string(x), std::to_string(y), "0", number}));
    }
    EXPECT_EQ(h.Row(5), RegisterRow{});
    EXPECT_EQ(h.state.pileCount, 5);
    EXPECT_EQ(Text1(h.state.controls, 1), "6");
    EXPECT_EQ(h.changed, (std::vector<int>{1, 1}));  // the box is refreshed after each pass
    EXPECT_EQ(h.shown, 1);
    EXPECT_TRUE(h.messages.empty());
    EXPECT_EQ(h.cad->windowState, 3);
    // The set of the last (empty) pick stays; the next command replaces it.
    EXPECT_EQ(standins::SelectionSetNames(*h.cad), std::vector<std::string>{"Ssd"});
    h.Picks({std::vector{a}});
    h.Run();
    EXPECT_EQ(standins::SelectionSetNames(*h.cad), std::vector<std::string>{"Ssd"});
    EXPECT_EQ(h.Row(5), (RegisterRow{"30", "20", "0", "6"}));
}

TEST(Numbering, OffsetsHeightsAndLabelTexts) {
    struct Case {
        std::string angle, distance, height;
        Point3 insertion, anchor;
    };
    const Case cases[] = {
        {"90", "5", "2", {105, 200, 0}, {105, 199, 0}},
        {"180", "5", "2", {100, 195, 0}, {100, 194, 0}},
        {"270", "5", "2", {95, 200, 0}, {95, 199, 0}},
        {"0", "3", "4", {100, 203, 0}, {100, 201, 0}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE("angle " + test.angle);
        NumberingHarness h;
        const EntityId pile = h.Point(100, 200, 7);  // the label's Z is 0 whatever the pile's
        h.Set(4, test.angle);
        h.Set(5, test.distance);
        h.Set(0, test.height);
        h.Picks({std::vector{pile}});
        h.Run();
        ASSERT_EQ(h.Labels().size(), 1u);
        ExpectLabel(h.Labels()[0], "1", test.insertion, test.anchor);
        // The offset moves the label only, never the recorded coordinates.
        EXPECT_EQ(h.Row(0), (RegisterRow{"100", "200", "0", "1"}));
    }

    struct Start {
        std::string text, prefix, suffix;
        int piles;
        std::vector<std::string> labels;
        std::string box;
    };
    const Start starts[] = {
        {"7", "P", "a", 2, {"P7a", "P8a"}, "9"},
        {"2.5", "", "", 1, {"2"}, "3"},
        {"3.5", "", "", 1, {"4"}, "5"},
        {"", "", "", 2, {"0", "1"}, "2"},
        {"32767", "", "", 3, {"32767", "32767", "32767"}, "32767"},
        {"99999", "", "", 2, {"0", "1"}, "2"},  // past the 16-bit range: numbering from 0
    };
    for (const Start& test : starts) {
        SCOPED_TRACE("start " + test.text);
        NumberingHarness h;
        h.Set(1, test.text);
        h.Set(2, test.prefix);
        h.Set(3, test.suffix);
        std::vector<EntityId> piles;
        for (int i = 0; i < test.piles; ++i) piles.push_back(h.Point(10.0 * i, 0));
        h.Picks({piles});
        h.Run();
        std::vector<std::string> texts;
        for (const Label& label : h.Labels()) texts.push_back(label.text);
        EXPECT_EQ(texts, test.labels);
        EXPECT_EQ(Text1(h.state.controls, 1), test.box);
        EXPECT_EQ(h.Row(test.piles - 1)[3], test.labels.back());
    }
}

TEST(Numbering, PileTypesDuplicatesAndRecordModes) {
    {  // Circle piles: points are not picked, positions come from the centres.
        NumberingHarness h;
        h.Select("Option2", 0);
        const EntityId p = h.Point(1, 1), c1 = h.Circle(5, 9), c2 = h.Circle(5, 9),
                       c3 = h.Circle(8, 9);
        h.Picks({std::vector{p, c1, c2, c3}, std::vector{c2}});
        h.Run();
        EXPECT_EQ(h.Labels().size(), 3u);  // the coinciding circles got one number per pass
        EXPECT_EQ(h.Row(0), (RegisterRow{"5", "9", "0", "1"}));
        EXPECT_EQ(h.Row(1), (RegisterRow{"8", "9", "0", "2"}));
        EXPECT_EQ(h.Row(2), (RegisterRow{"5", "9", "0", "3"}));  // picked again: a new row
        EXPECT_EQ(h.state.pileCount, 3);
    }
    {  // A pick of points only, in circle mode, is empty and ends the command.
        NumberingHarness h;
        h.Select("Option2", 0);
        h.Picks({std::vector{h.Point(1, 1)}});
        h.Run();
        EXPECT_TRUE(h.Labels().empty());
        EXPECT_EQ(h.shown, 1);
    }
    struct Mode {
        bool world;
        standins::Ucs ucs;
        RegisterRow row;
    };
    const Mode modes[] = {
        {false, {}, {"110", "230", "0", "1"}},
        {true, {}, {"230", "110", "0", "1"}},
        {false, {{100, 200, 0}, 0}, {"110", "230", "0", "1"}},
        {true, {{100, 200, 0}, 0}, {"30", "10", "0", "1"}},
        {true, {{100, 200, 3}, 3.14159265358979323846 / 2}, {"-10", "30", "-3", "1"}},
    };
    for (const Mode& mode : modes) {
        SCOPED_TRACE(mode.row[0]);
        NumberingHarness h;
        if (mode.world) h.Select("Option2", 2);
        h.cad->drawing.ucs = mode.ucs;
        h.Set(5, "2");
        h.Picks({std::vector{h.Point(110, 230)}});
        h.Run();
        EXPECT_EQ(h.Row(0), mode.row);
        ASSERT_EQ(h.Labels().size(), 1u);
        ExpectLabel(h.Labels()[0], "1", {110, 232, 0}, {110, 230.75, 0});
    }
}

TEST(Numbering, RegisterLimits) {
    {  // Row 10000 is the last; later piles are labelled and counted, not stored.
        NumberingHarness h;
        h.state.pileCount = 9999;
        h.Picks({std::vector{h.Point(1, 3), h.Point(1, 2), h.Point(1, 1)}});
        h.Run();
        EXPECT_EQ(h.Row(9999), (RegisterRow{"1", "3", "0", "1"}));
        EXPECT_EQ(h.Row(10000), (RegisterRow{"1", "2", "0", "2"}));
        EXPECT_EQ(h.Labels().size(), 3u);
        EXPECT_EQ(h.state.pileCount, 10002);
        EXPECT_EQ(Text1(h.state.controls, 1), "4");
    }
    {  // A count that would pass 32767 stays where it was; the piles are labelled.
        NumberingHarness h;
        h.state.pileCount = 32766;
        h.Picks({std::vector{h.Point(1, 3), h.Point(1, 2)}, std::vector{h.Point(5, 5)}});
        h.Run();
        EXPECT_EQ(h.state.pileCount, 32767);
        EXPECT_EQ(h.Labels().size(), 3u);
        EXPECT_EQ(Text1(h.state.controls, 1), "4");
    }
    {  // Such a pass leaves no rows behind for a later pass to half overwrite.
        NumberingHarness h;
        h.state.pileCount = 9990;
        std::vector<EntityId> many;
        for (int i = 0; i < 22778; ++i) many.push_back(h.Point(i % 100, i / 100));
        h.Picks({many});
        h.Run();
        EXPECT_EQ(h.state.pileCount, 9990);
        EXPECT_EQ(h.Labels().size(), 22778u);
        EXPECT_EQ(h.Row(9990), RegisterRow{});
        EXPECT_EQ(h.Row(10000), RegisterRow{});
    }
}

TEST(Numbering, FailuresNeverMisplaceALabelOrARow) {
    auto threePiles = [](NumberingHarness& h) {
        h.Select("Option2", 2);  // world mode, to translate every pile
        h.cad->drawing.ucs = {{100, 0, 0}, 0};
        h.Picks({std::vector{h.Point(110, 30), h.Point(120, 20), h.Point(130, 10)}});
    };
    {  // An unreadable position leaves that entity out; no label at (0, 0).
        NumberingHarness h;
        threePiles(h);
        h.cad->failures.failCall = CallNumber(threePiles, "Get Coordinates", 2);
        h.Run();
        const std::vector<Label> labels = h.Labels();
        ASSERT_EQ(labels.size(), 2u);
        ExpectLabel(labels[0], "1", {110, 30, 0}, {110, 28.75, 0});
        ExpectLabel(labels[1], "2", {130, 10, 0}, {130, 8.75, 0});
        EXPECT_EQ(h.Row(1), (RegisterRow{"10", "30", "0", "2"}));
        EXPECT_EQ(h.state.pileCount, 2);
    }
    {  // A failed AddText: no label, the earlier label is not moved again.
        NumberingHarness h;
        threePiles(h);
        h.cad->failures.failCall = CallNumber(threePiles, "Call AddText", 2);
        h.cad->logCalls = true;
        h.Run();
        const std::vector<Label> labels = h.Labels();
        ASSERT_EQ(labels.size(), 2u);
        ExpectLabel(labels[0], "1", {110, 30, 0}, {110, 28.75, 0});
        ExpectLabel(labels[1], "3", {130, 10, 0}, {130, 8.75, 0});
        EXPECT_EQ(std::count(h.cad->callLog.begin(), h.cad->callLog.end(), "Put Alignment"), 2);
        EXPECT_EQ(h.Row(1), (RegisterRow{"20", "20", "0", "2"}));
    }
    {  // A failed translation after a good one leaves the coordinates empty.
        NumberingHarness h;
        threePiles(h);
        h.cad->failures.failCall = CallNumber(threePiles, "Call TranslateCoordinates", 2);
        h.Run();
        EXPECT_EQ(h.Row(0), (RegisterRow{"30", "10", "0", "1"}));
        EXPECT_EQ(h.Row(1), (RegisterRow{"", "", "", "2"}));
        EXPECT_EQ(h.Row(2), (RegisterRow{"10", "30", "0", "3"}));
        EXPECT_EQ(h.Labels().size(), 3u);
    }
    {  // A height AutoCAD refuses: no labels, but every pile is recorded and numbered.
        NumberingHarness h;
        threePiles(h);
        h.Set(0, "0");
        h.Run();
        EXPECT_TRUE(h.Labels().empty());
        EXPECT_EQ(h.Row(2), (RegisterRow{"10", "30", "0", "3"}));
        EXPECT_EQ(Text1(h.state.controls, 1), "4");
    }
    {  // Settings past the double range keep their earlier values.
        NumberingHarness h;
        h.Set(4, "1e308");
        h.Set(5, "1e999");
        h.Picks({std::vector{h.Point(3, 4)}});
        h.Run();
        ASSERT_EQ(h.Labels().size(), 1u);
        ExpectLabel(h.Labels()[0], "1", {3, 4, 0}, {3, 2.75, 0});
    }
}

TEST(Numbering, APickTooLargeToCountIsNotNumbered) {
    NumberingHarness h;
    std::vector<EntityId> many;
    for (int i = 0; i < 32768; ++i) many.push_back(h.Point(i % 200, i / 200));
    const EntityId later = h.Point(-5, -5);
    h.Picks({many, std::vector{later}});
    h.Run();
    // The first pass labels and records nothing; the command goes on.
    const std::vector<Label> labels = h.Labels();
    ASSERT_EQ(labels.size(), 1u);
    ExpectLabel(labels[0], "1", {-5, -5, 0}, {-5, -6.25, 0});
    EXPECT_EQ(h.Row(0), (RegisterRow{"-5", "-5", "0", "1"}));
    EXPECT_EQ(h.state.pileCount, 1);
    EXPECT_EQ(Text1(h.state.controls, 1), "2");
}

}  // namespace
}  // namespace velmora::testing
