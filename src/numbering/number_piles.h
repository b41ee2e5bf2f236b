// The numbering stage of a pick pass: order the captured piles, drop
// coinciding ones, label each pile in the drawing and record it in the
// pile register, then write the next number back into the window.
#pragma once

#include <cstdint>

#include "automation/runner.h"
#include "cad/undo_group.h"
#include "ordering/paixu.h"
#include "window/window_state.h"

namespace velmora {

// The settings of a pass. A setting that cannot be read keeps the value it
// had in the previous pass of the same command.
struct PassSettings {
    std::int16_t startNumber = 0;
    double textHeight = 0;
    double offsetAngle = 0;  // radians
    double offsetDistance = 0;
};

// Degrees to radians with the factor the tool has always used.
inline constexpr double kPiFactor = 3.14159265358979;

// Runs the stage on the pass's captured piles (at least one). Every step
// runs under the command's runner and goes on after a failure. The pass's
// labels are one undo group of `undo`.
void NumberPiles(PickTable& pickTable, WindowState& state, const WindowServices& services,
                 ContinueOnFailure& runner, PassSettings& settings, PassUndoGroup& undo);

}  // namespace velmora
