// Makes an outside application go away in the middle of a command: every
// object handed out through the proxy counts its calls on one switch, and
// from the n-th call on every call fails with the status of a server that
// is no longer there, as a closed or crashed AutoCAD or Excel answers.
#pragma once

#include <functional>
#include <memory>

#include "automation/object.h"

namespace velmora::testing {

struct GoneSwitch {
    long calls = 0;
    long goneAt = 0;  // 0: never
    bool gone = false;
    std::function<void()> onGone;  // runs once, just before the first refused call
};

// The object, and every object reached through it, behind the switch.
Object BehindSwitch(Object inner, std::shared_ptr<GoneSwitch> gone);

}  // namespace velmora::testing
