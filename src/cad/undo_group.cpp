#include "cad/undo_group.h"

namespace velmora {

PassUndoGroup::~PassUndoGroup() {
    try {
        Close();
    } catch (...) {
        // Close fails only by what its runner does not take (an exception
        // of a program's own kind); the command is ending already and the
        // group can be closed no better here, while an exception leaving a
        // destructor would end the program.
    }
}

void PassUndoGroup::Open() {
    if (open_) return;
    bool openElsewhere = false;
    own_.Run([&] {
        const std::int32_t undoControl = Call(document_, "GetVariable", {"UNDOCTL"}).ToInt32();
        openElsewhere = (undoControl & kUndoGroupActive) != 0;
    });
    if (openElsewhere) own_.Run([&] { Call(document_, "EndUndoMark"); });
    open_ = own_.Run([&] { Call(document_, "StartUndoMark"); });
}

void PassUndoGroup::Close() {
    if (!open_) return;
    open_ = false;
    own_.Run([&] { Call(document_, "EndUndoMark"); });
}

}  // namespace velmora
