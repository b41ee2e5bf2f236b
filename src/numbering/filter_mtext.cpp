#include "numbering/filter_mtext.h"

#include <cstdint>

#include "automation/failure.h"
#include "automation/object.h"
#include "automation/status.h"
#include "cad/connect_cad.h"
#include "number_piles.h"
#include "values/numbers.h"
#include "window/control_values.h"

namespace velmora {

namespace {

bool PointPiles(const WindowState& state) { return PileKind(state.controls) == PileType::Point; }

void ShowWindow(const WindowServices& services) {
    if (services.showWindow) services.showWindow();
}

// Puts the position of one entity of the set into row `captured` of the pick
// table; false, leaving the row free, when the position cannot be read or
// the table (sized by the set's count) has no such row.
bool TakePile(const Variant& item, bool point, ContinueOnFailure& runner, PickTable& pickTable,
              std::int16_t captured) {
    DoubleArray position;
    if (!runner.Run([&] {
            position = Get(item.AsObject(), point ? "Coordinates" : "Center").ToDoubleArray();
            if (position.size() < 2) Fail(status::kSubscriptOutOfRange, "position");
        })) {
        return false;
    }
    if (!runner.Run([&] {
            if (captured < 0 || std::size_t(captured) >= pickTable.size()) {
                Fail(status::kSubscriptOutOfRange, "more entities than the count");
            }
        })) {
        return false;
    }
    pickTable[captured][0] = position[1];
    pickTable[captured][1] = position[0];
    return true;
}

// Reads the position of every entity of the set into the pick table. Only
// successful reads take a place: an entity whose position cannot be read is
// left out of the pass, and the table is cut to the piles actually
// captured. Returns false when the pass holds more piles than a 16-bit index
// can count; such a pass is not numbered at all.
bool CapturePiles(const Object& selectionSet, const WindowState& state, ContinueOnFailure& runner,
                  PickTable& pickTable) {
    std::int16_t captured = 0;
    bool complete = true;
    runner.Run([&] {
        for (const Variant& item : Enumerate(selectionSet)) {
            if (!TakePile(item, PointPiles(state), runner, pickTable, captured)) continue;
            if (!runner.Run([&] { captured = Add16(captured, 1); })) {
                complete = false;
                break;
            }
        }
    });
    if (complete && std::size_t(captured) < pickTable.size()) pickTable.resize(captured);
    return complete;
}

}  // namespace

void FilterMtext(WindowState& state, const WindowServices& services) {
    ContinueOnFailure runner;
    if (!ConnectCad(state.cadSession, runner, services)) return;
    const Object& document = state.cadSession.cadDocument;

    PassSettings settings;
    PassUndoGroup undo(document);
    for (;;) {
        PickTable pickTable;

        Int16Array codes{-4, 0, -4};
        VariantArray values{"<or", PointPiles(state) ? "POINT" : "CIRCLE", "or>"};

        runner.Run([&] { Call(GetObject(document, "SelectionSets", {"Ssd"}), "Delete"); });

        Object selectionSet;
        runner.Run([&] {
            selectionSet = Call(GetObject(document, "SelectionSets"), "Add", {"Ssd"}).AsObject();
        });

        runner.Run([&] { Call(selectionSet, "SelectOnScreen", {codes, values}); });

        if (runner.Test([&] { return Get(selectionSet, "Count").ToInt32() == 0; })) {
            ShowWindow(services);
            return;
        }

        runner.Run([&] {
            const std::int32_t count = Get(selectionSet, "Count").ToInt32();
            if (count < 0) Fail(status::kSubscriptOutOfRange, "negative count");
            pickTable.assign(count, {0, 0, 0});
        });

        if (runner.LastError() == status::kDispException) {
            ShowWindow(services);
            return;
        }
        runner.Clear();

        if (CapturePiles(selectionSet, state, runner, pickTable) && !pickTable.empty()) {
            NumberPiles(pickTable, state, services, runner, settings, undo);
        }

        runner.Clear();
    }
}

}  // namespace velmora
