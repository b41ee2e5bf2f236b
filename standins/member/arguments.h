// The checks a stand-in's member applies to its arguments, with the statuses
// IDispatch gives: a member the object lacks, a wrong argument count, an
// argument of the wrong type or out of range.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "automation/variant.h"

namespace velmora::standins {

// How a program takes an argument of another type than the member's own.
// AutoCAD's objects take a number (or a boolean) for a number, a finite one,
// and only a 16- or 32-bit integer for an integer or a truth value. Excel
// converts as OLE does: text that reads wholly as a number, a number rounded
// to an integer (outside 32 bits an overflow), any number as a truth value.
enum class Conversion { Exact, Ole };

[[noreturn]] void UnknownMember(std::string_view member);

// Counts outside [min, max] fail with the bad-parameter-count status.
void ExpectArgs(std::span<const Variant> args, std::size_t min, std::size_t max);

double NumberArg(const Variant& value, Conversion conversion = Conversion::Exact);
int IntegerArg(const Variant& value, Conversion conversion = Conversion::Exact);
bool BoolArg(const Variant& value, Conversion conversion = Conversion::Exact);

}  // namespace velmora::standins
