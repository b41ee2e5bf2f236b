// One undo group per pass of labels: AutoCAD then takes a whole pass back
// with one U (or UNDO 1), instead of one label step at a time. The marks
// are the document's StartUndoMark and EndUndoMark; no UNDO command is
// ever sent. A program without them (a CAD clone) labels exactly as
// before: every failure here is ignored and never reaches the command's
// LastError.
#pragma once

#include <cstdint>

#include "automation/object.h"
#include "automation/runner.h"

namespace velmora {

// AutoCAD's UNDOCTL bit "a group is currently active".
inline constexpr std::int32_t kUndoGroupActive = 8;

// Lives for one Number command; each pass opens and closes its group.
class PassUndoGroup {
  public:
    explicit PassUndoGroup(Object document) : document_(std::move(document)) {}
    // A group still open is closed on every path out of the command, an
    // escaping exception included.
    ~PassUndoGroup();
    PassUndoGroup(const PassUndoGroup&) = delete;
    PassUndoGroup& operator=(const PassUndoGroup&) = delete;

    // Before the pass's first label: a group AutoCAD reports open from
    // elsewhere (UNDOCTL bit 8) is closed, then the pass's own opens.
    // Nothing while the pass's own group is open.
    void Open();
    // After the pass's last label step.
    void Close();

  private:
    Object document_;
    ContinueOnFailure own_;  // never the command's runner
    bool open_ = false;
};

}  // namespace velmora
