#include "number_piles.h"

#include <cmath>
#include <optional>
#include <string>

#include "automation/failure.h"
#include "automation/object.h"
#include "automation/status.h"
#include "values/numbers.h"
#include "window/control_values.h"

namespace velmora {

namespace {

using Order = void (*)(PickTable&);

// By NumberingOrder.
constexpr Order kOrders[kNumberingOrderCount] = {
    paixu::SortTopToBottomLeftToRight,
    paixu::SortBottomToTopLeftToRight,
    paixu::SortRightToLeftTopToBottom,
    paixu::SortRightToLeftBottomToTop,
};

double Finite(double value) {
    if (!std::isfinite(value)) Fail(status::kOverflow, "value past the double range");
    return value;
}

void ReadSettings(const ControlValues& controls, ContinueOnFailure& runner,
                  PassSettings& settings) {
    const auto number = [&](TextBox box) { return ReadLeadingNumber(Text(controls, box)); };
    runner.Run([&] { settings.startNumber = ToInt16(number(TextBox::StartNumber)); });
    runner.Run([&] { settings.textHeight = number(TextBox::TextHeight); });
    runner.Run(
        [&] { settings.offsetAngle = Finite(number(TextBox::OffsetAngle) * kPiFactor / 180); });
    runner.Run([&] { settings.offsetDistance = number(TextBox::OffsetDistance); });
}

// Writes one register row. The translated point starts empty for every pile,
// so a failed translation leaves the coordinate fields empty instead of
// repeating another pile's values.
void RecordPile(WindowState& state, ContinueOnFailure& runner, std::int16_t row,
                const std::array<double, 3>& pile, const std::string& label) {
    const double north = pile[0], east = pile[1], z = pile[2];
    PileRegister& rows = state.pileRegister;
    if (RecordMode(state.controls) == Coordinates::World) {
        runner.Run([&] { SetRegisterMode(rows, row, Coordinates::World); });
        DoubleArray translated;
        runner.Run([&] {
            const Object utility = GetObject(state.cadSession.cadDocument, "Utility");
            translated =
                Call(utility, "TranslateCoordinates",
                     {DoubleArray{east, north, z}, std::int32_t{0}, std::int32_t{1}, false})
                    .ToDoubleArray();
        });
        auto element = [&](std::size_t i) {
            if (i >= translated.size()) Fail(status::kSubscriptOutOfRange, "translated point");
            return translated[i];
        };
        runner.Run([&] { SetRegisterField(rows, row, 0, CoordinateText(element(1))); });
        runner.Run([&] { SetRegisterField(rows, row, 1, CoordinateText(element(0))); });
        runner.Run([&] { SetRegisterField(rows, row, 2, CoordinateText(element(2))); });
    } else {
        runner.Run([&] { SetRegisterMode(rows, row, Coordinates::User); });
        runner.Run([&] { SetRegisterField(rows, row, 0, CoordinateText(east)); });
        runner.Run([&] { SetRegisterField(rows, row, 1, CoordinateText(north)); });
        runner.Run([&] { SetRegisterField(rows, row, 2, CoordinateText(z)); });
    }
    runner.Run([&] { SetRegisterField(rows, row, 3, label); });
}

// Labels, records and centres one pile.
void NumberPile(const std::array<double, 3>& pile, WindowState& state, ContinueOnFailure& runner,
                const PassSettings& settings, std::int16_t& number, std::int16_t& row,
                bool recording) {
    const Object& document = state.cadSession.cadDocument;
    const double h = settings.textHeight, a = settings.offsetAngle, d = settings.offsetDistance;

    std::string label;
    runner.Run([&] {
        label = Text(state.controls, TextBox::Prefix) + std::to_string(number) +
                Text(state.controls, TextBox::Suffix);
    });

    // The offset point; the product first, then the pile's coordinate.
    DoubleArray point;
    runner.Run([&] {
        point = {Finite(d * std::sin(a) + pile[1]), Finite(d * std::cos(a) + pile[0]), pile[2]};
    });

    // The label reference is this pile's alone: when AddText fails the
    // centring below fails too, and never moves an earlier pile's label.
    Object text;
    if (!point.empty()) {
        runner.Run([&] {
            const Object modelSpace = GetObject(document, "ModelSpace");
            text = Call(modelSpace, "AddText", {label, point, h}).AsObject();
        });
    }

    if (recording) RecordPile(state, runner, row, pile, label);
    runner.Run([&] { row = Add16(row, 1); });
    runner.Run([&] { number = Add16(number, 1); });

    runner.Run([&] { Put(text, "Alignment", std::int16_t{1}); });
    runner.Run([&] {
        if (point.empty()) Fail(status::kSubscriptOutOfRange, "no label point");
        DoubleArray centre = point;
        centre[1] = Finite(centre[1] - h / 2);
        Put(text, "TextAlignmentPoint", centre);
    });
}

}  // namespace

void NumberPiles(PickTable& pickTable, WindowState& state, const WindowServices& services,
                 ContinueOnFailure& runner, PassSettings& settings, PassUndoGroup& undo) {
    if (const std::optional<NumberingOrder> order = SelectedOrder(state.controls)) {
        runner.Run([&] { kOrders[static_cast<int>(*order)](pickTable); });
    }

    // Without the distinct piles nothing of the pass can be numbered safely.
    PickTable piles;
    if (!runner.Run([&] { piles = paixu::RemoveDuplicatePiles(pickTable); })) return;
    if (piles.empty()) return;

    std::int16_t last = -1;
    runner.Run([&] { last = CheckedInt16(static_cast<long long>(piles.size()) - 1); });

    // When the count cannot take the pass, its piles are labelled but not
    // recorded: rows past the count are never read, and rows written there
    // would be taken over, field by field, by the next pass.
    std::int16_t row = state.pileCount;
    const bool recording =
        runner.Run([&] { state.pileCount = Add16(Add16(state.pileCount, last), 1); });

    ReadSettings(state.controls, runner, settings);

    // One undo group around the pass's label steps, opened only when there
    // is a pile to label: an empty group would cost the user a U for nothing.
    std::int16_t number = settings.startNumber;
    if (last >= 0) undo.Open();
    for (int n = 0; n <= last; ++n) {
        NumberPile(piles[n], state, runner, settings, number, row, recording);
    }
    undo.Close();

    // The number the pass ended on stays for the next pass of this command.
    settings.startNumber = number;
    runner.Run([&] {
        SetText(state.controls, TextBox::StartNumber, std::to_string(number));
        if (services.textChanged) services.textChanged(Text1Index(TextBox::StartNumber));
    });
}

}  // namespace velmora
