#include "numbering/filter_mtext.h"

#include <cstdint>

#include "automation/failure.h"
#include "automation/object.h"
#include "automation/status.h"
#include "cad/connect_cad.h"
#include "number_piles.h"
#include "numbering/pass_filter.h"
#include "values/numbers.h"
#include "window/control_values.h"

namespace velmora {

namespace {

void ShowWindow(const WindowServices& services) {
    if (services.showWindow) services.showWindow();
}

// Says the sample in force on the CAD's command line before the pick. A
// program without Prompt changes nothing: the step has a runner of its own,
// so the pass's LastError never sees it.
void SaySample(const WindowState& state) {
    if (!state.pileSample) return;
    ContinueOnFailure own;
    own.Run([&] {
        Call(GetObject(state.cadSession.cadDocument, "Utility"), "Prompt",
             {"\n" + SampleInForce(*state.pileSample)});
    });
}

// Puts the position of one entity of the set into row `captured` of the pick
// table; false, leaving the row free, when the entity is no pile of the
// sample's block, its position cannot be read or the table (sized by the
// set's count) has no such row.
bool TakePile(const Variant& item, const WindowState& state, ContinueOnFailure& runner,
              PickTable& pickTable, std::int16_t captured) {
    // Another block's reference (or one whose names cannot be read) is no
    // pile of the sample; the pass's LastError does not hear of it.
    if (state.pileSample) {
        bool pile = false;
        ContinueOnFailure own;
        own.Run([&] { pile = IsSamplePile(item.AsObject(), *state.pileSample); });
        if (!pile) return false;
    }
    DoubleArray position;
    if (!runner.Run([&] {
            position = Get(item.AsObject(), PositionMember(state)).ToDoubleArray();
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
            if (!TakePile(item, state, runner, pickTable, captured)) continue;
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

        const PassFilter filter = PassFilterOf(state);

        runner.Run([&] { Call(GetObject(document, "SelectionSets", {"Ssd"}), "Delete"); });

        Object selectionSet;
        runner.Run([&] {
            selectionSet = Call(GetObject(document, "SelectionSets"), "Add", {"Ssd"}).AsObject();
        });

        SaySample(state);
        runner.Run([&] { Call(selectionSet, "SelectOnScreen", {filter.codes, filter.values}); });

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
