// A tap on an outside application: every object handed out through it (as
// a returned value, in an array or by enumeration) counts its calls on one
// switch, can log them with their argument kinds, and fails the planned
// calls.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "automation/object.h"
#include "automation/status.h"

namespace velmora::testing {

struct Tap {
    long calls = 0;
    // Planned failures: every Get, Put or Call of a member (names
    // case-insensitive, "" the default member).
    std::map<std::string, std::uint32_t> failMember;
    std::function<void()> onCall;  // runs at every call once it is counted; may fail it
    // Members the program lacks (a CAD clone without them): unknown names,
    // to GetIDsOfNames and to every call.
    std::vector<std::string> lacking;
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
