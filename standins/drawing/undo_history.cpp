#include "standins/drawing/undo_history.h"

namespace velmora::standins {

namespace {

// The step a change belongs to: the open group's, else a step of its own.
UndoStep& StepFor(UndoHistory& history) {
    if (!history.groupOpen || history.steps.empty()) history.steps.emplace_back();
    return history.steps.back();
}

}  // namespace

void BeginUndoGroup(UndoHistory& history) {
    history.steps.emplace_back();
    history.groupOpen = true;
}

void EndUndoGroup(UndoHistory& history) { history.groupOpen = false; }

void NoteChanged(UndoHistory& history, const Entity& before) {
    // The first state a step saw is the one to go back to.
    StepFor(history).before.try_emplace(before.id, before);
}

void NoteAdded(UndoHistory& history, EntityId id) {
    StepFor(history).before.try_emplace(id, std::nullopt);
}

bool UndoLast(UndoHistory& history, Drawing& drawing) {
    history.groupOpen = false;
    if (history.steps.empty()) return false;
    const UndoStep step = std::move(history.steps.back());
    history.steps.pop_back();
    for (const auto& [id, before] : step.before) {
        if (before) {
            drawing.entities.insert_or_assign(id, *before);
        } else {
            drawing.entities.erase(id);
        }
    }
    return true;
}

}  // namespace velmora::standins
