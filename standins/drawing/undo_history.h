// AutoCAD's undo, as far as the stand-in keeps it: every change made to the
// drawing is one step, and the changes between StartUndoMark and
// EndUndoMark (a group) are one step together. Undoing a step puts every
// entity it touched back as it was: an added one goes, a changed or erased
// one comes back.
#pragma once

#include <map>
#include <optional>
#include <vector>

#include "standins/drawing/drawing.h"

namespace velmora::standins {

struct UndoStep {
    // Each entity the step touched, as it was before; nothing when the step
    // added it.
    std::map<EntityId, std::optional<Entity>> before;
};

struct UndoHistory {
    std::vector<UndoStep> steps;
    bool groupOpen = false;
};

// A group begins; one already open ends first, as AutoCAD's UNDO Begin
// ends it. Ending without an open group does nothing.
void BeginUndoGroup(UndoHistory& history);
void EndUndoGroup(UndoHistory& history);

// Notes a change before it is made (`before` is the entity as it is), or
// an entity just added.
void NoteChanged(UndoHistory& history, const Entity& before);
void NoteAdded(UndoHistory& history, EntityId id);

// Undoes the last step, ending an open group first; false when there is
// nothing to undo.
bool UndoLast(UndoHistory& history, Drawing& drawing);

}  // namespace velmora::standins
