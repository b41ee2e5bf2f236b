// Texts users paste into the six boxes of the window, each run through two
// pick passes of the Number command and an export. Whatever a box holds:
// nothing crashes, the command goes on to its normal end, a reading that
// fails keeps the value the setting had (0 in the first pass), a height
// AutoCAD refuses leaves the pile unlabelled but recorded, every label
// stands at its own picked pile plus the offset and carries exactly
// prefix, number and suffix, and every register row and table row holds
// the pile its label names.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "desk.h"
#include "values/numbers.h"

namespace velmora::testing {
namespace {

struct Hostile {
    const char* name;
    std::string text;
    std::optional<double> reads;  // the leading-number reading; nothing when it fails
};

const std::vector<Hostile>& HostileTexts() {
    // clang-format off
    static const std::vector<Hostile> texts = {
        {"empty", "", 0},                     {"huge", "1e308", 1e308},
        {"past the double range", "1e400", std::nullopt},
        {"negative past the range", "-1e400", std::nullopt},
        {"below the double range", "1e-400", 0},
        {"NaN", "NaN", 0},                    {"inf", "inf", 0},
        {"negative", "-5", -5},               {"plus sign", "+7.5", 7.5},
        {"half", "2.5", 2.5},                 {"hexadecimal", "0x1A", 0},
        {"decimal comma", "1,5", 1},          {"spaced", " 1 2\t.\n5", 12.5},
        {"Fortran exponent", "1D2", 100},     {"exponent without digits", "1e+", 1},
        {"ten thousand nines", std::string(10000, '9'), std::nullopt},
        {"ten thousand digits", "1." + std::string(9998, '3'), 4.0 / 3.0},
        {"ten thousand letters", std::string(10000, 'a'), 0},
        {"control characters", "\x01\x02\x7f\r3", 0},
        {"embedded NUL", std::string("1\0 2", 4), 1},
        {"invalid UTF-8", "\377\376\300\25712", 0},
        {"truncated UTF-8", "12\xe6\xa1", 12},
        {"emoji first", "😀12", 0},           {"emoji after", "12😀", 12},
        {"right-to-left marks", "\u200f\u202e12\u202c", 0},
        {"full-width digits", "１２", 0},     {"Chinese first", "桩12", 0},
        {"lone point", ".", 0},               {"lone minus", "-", 0},
        {"two points", "1.2.3", 1.2},
        {"start number rounds past the range", "32767.5", 32767.5},
        {"start number rounds to the lowest", "-32768.5", -32768.5},
    };
    // clang-format on
    return texts;
}

// The settings every run starts from; the box under test replaces one.
const char* const kBaseline[6] = {"2", "1", "P", "s", "30", "5"};

struct Pile {
    double x, y;
};

// Numbering order top to bottom, left to right; the second pass repeats
// the first pile of the first, which is numbered again there.
const std::vector<Pile> kFirstPass = {{10, 40}, {10, 20}, {30, 20}};
const std::vector<Pile> kSecondPass = {{50, 60}, {10, 40}};

// What the pass reads from a numeric box: the reading, or the value the
// setting started with when the reading fails.
double Setting(const Hostile& hostile) { return hostile.reads.value_or(0); }

int StartNumber(const Hostile& hostile) {
    if (!hostile.reads) return 0;
    const double rounded = std::nearbyint(*hostile.reads);
    return (rounded < -32768 || rounded > 32767) ? 0 : int(rounded);
}

double Radians(double degrees) {
    const double radians = degrees * 3.14159265358979 / 180;
    return std::isfinite(radians) ? radians : 0;
}

void RunAndCheck(int box, const Hostile& hostile) {
    Desk desk;
    std::vector<EntityId> first, second;
    for (const Pile& pile : kFirstPass) first.push_back(desk.Point(pile.x, pile.y));
    for (const Pile& pile : kSecondPass) second.push_back(desk.Point(pile.x, pile.y));
    desk.Picks({first, second});
    for (int i = 0; i < 6; ++i) desk.Set(i, kBaseline[i]);
    desk.Set(box, hostile.text);

    // Selecting all on focus copes with any text.
    const TextSelection selection = desk.window->GotFocus(box);
    EXPECT_EQ(selection.start, 0);
    EXPECT_LE(std::size_t(selection.length), hostile.text.size());

    desk.Run();
    EXPECT_EQ(desk.shown, 1) << "the command did not end normally";
    EXPECT_TRUE(desk.messages.empty());

    const double height = box == 0 ? Setting(hostile) : 2;
    const int start = box == 1 ? StartNumber(hostile) : 1;
    const double angle = Radians(box == 4 ? Setting(hostile) : 30);
    const double distance = box == 5 ? Setting(hostile) : 5;
    const std::string prefix = box == 2 ? hostile.text : "P";
    const std::string suffix = box == 3 ? hostile.text : "s";

    std::vector<Pile> numbered = kFirstPass;
    numbered.insert(numbered.end(), kSecondPass.begin(), kSecondPass.end());
    ASSERT_EQ(desk.State().pileCount, 5);

    // Every pile is recorded, whether or not it got its label; a height
    // AutoCAD refuses leaves every pile without one, otherwise each label
    // stands at its own pile plus the offset. The table shows each row as
    // stored.
    std::vector<RegisterRow> rows;
    std::vector<Label> labels;
    const double dx = distance * std::sin(angle), dy = distance * std::cos(angle);
    for (int n = 0; n < 5; ++n) {
        const auto [x, y] = numbered[n];
        const std::string text = prefix + std::to_string(start + n) + suffix;
        rows.push_back({CoordinateText(x), CoordinateText(y), "0", text});
        if (height > 0)
            labels.push_back(
                {text, {dx + x, dy + y, 0}, height, 1, {dx + x, dy + y - height / 2, 0}});
    }
    rows.push_back({});  // nothing past the count
    const auto& stored = desk.State().pileRegister.rows;
    EXPECT_EQ(std::vector(stored.begin(), stored.begin() + 6), rows);
    EXPECT_EQ(Text(desk.State().controls, TextBox::StartNumber), std::to_string(start + 5));
    EXPECT_EQ(desk.Labels(), labels);

    desk.Export();
    const standins::Sheet* sheet = desk.Sheet();
    ASSERT_NE(sheet, nullptr);
    for (int n = 0; n < 5; ++n) {
        EXPECT_EQ(CellNumber(*sheet, n + 3, 1), n + 1);
        EXPECT_EQ(CellText(*sheet, n + 3, 2), rows[n][3]);
        EXPECT_EQ(CellNumber(*sheet, n + 3, 3), numbered[n].x);
        EXPECT_EQ(CellNumber(*sheet, n + 3, 4), numbered[n].y);
    }
    EXPECT_TRUE(CellText(*sheet, 8, 1).empty());
}

TEST(HostileSettings, EveryTextInEveryBox) {
    for (int box = 0; box < 6; ++box) {
        for (const Hostile& hostile : HostileTexts()) {
            SCOPED_TRACE("Text1(" + std::to_string(box) + ") holding " + hostile.name);
            RunAndCheck(box, hostile);
            if (HasFatalFailure()) return;
        }
    }
}

}  // namespace
}  // namespace velmora::testing
