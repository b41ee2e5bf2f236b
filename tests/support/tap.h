// A tap on an outside application: every object handed out through it counts
// its calls on one switch, can log them with their argument kinds, and from
// the n-th call on fails every call with the status of a server that is no
// longer there, as a closed or crashed AutoCAD or Excel answers.
#pragma once

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "automation/object.h"

namespace velmora::testing {

struct Tap {
    long calls = 0;
    long goneAt = 0;  // 0: never
    bool gone = false;
    std::function<void()> onGone;  // runs once, just before the first refused call
    bool logging = false;
    std::vector<std::string> log;  // "Call AddText("1", r8[1,2,0], r8:2.5)", when logging
};

// "Call AddText("1", r8[1,2,0], r8:2.5)": an access with its arguments
// kinds and values, and the value put.
std::string CallText(std::string_view access, std::string_view member,
                     std::span<const Variant> args, const Variant* value = nullptr);

// The object, and every object reached through it, behind the tap.
Object Tapped(Object inner, std::shared_ptr<Tap> tap);

}  // namespace velmora::testing
