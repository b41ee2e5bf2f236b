// An automation object reached by member name at run time. Every backend
// (the in-process stand-ins, Windows COM) implements Dispatch; commands use
// the free helpers below, which also turn an empty reference into the
// "object required" failure instead of a crash.
#pragma once

#include <initializer_list>
#include <span>
#include <string_view>
#include <vector>

#include "automation/variant.h"

namespace velmora {

// The member name "" stands for the object's default member (DISPID_VALUE),
// as in SelectionSets("Ssd") applied to the collection's Item.
class Dispatch {
  public:
    virtual ~Dispatch() = default;

    // Property get, with optional arguments (a collection's item, Cells(r, c)).
    virtual Variant Get(std::string_view member, std::span<const Variant> args) = 0;
    // Property put; args are the property's own arguments, if any.
    virtual void Put(std::string_view member, std::span<const Variant> args,
                     const Variant& value) = 0;
    // Method call.
    virtual Variant Call(std::string_view member, std::span<const Variant> args) = 0;
    // Method call whose arguments go by reference, so that the member can
    // leave results in them (Utility.GetEntity leaves the entity and the
    // picked point). A member that leaves nothing there is called as Call.
    virtual Variant CallByReference(std::string_view member, std::span<Variant> args) {
        return Call(member, args);
    }
    // Standard collection enumeration: every item once, in the collection's order.
    virtual std::vector<Variant> Enumerate() = 0;
    // Whether the object has a member of that name, as GetIDsOfNames
    // answers before any call is made. An object that cannot tell says yes.
    virtual bool HasMember(std::string_view member) const;
};

using Args = std::initializer_list<Variant>;

Variant Get(const Object& object, std::string_view member, Args args = {});
Object GetObject(const Object& object, std::string_view member, Args args = {});
void Put(const Object& object, std::string_view member, const Variant& value);
void PutWithArgs(const Object& object, std::string_view member, Args args, const Variant& value);
Variant Call(const Object& object, std::string_view member, Args args = {});
// A method call whose arguments go by reference: afterwards each element of
// args holds what the member left in it. When the call fails, args stay as
// they were.
Variant CallWithResults(const Object& object, std::string_view member, std::vector<Variant>& args);
std::vector<Variant> Enumerate(const Object& object);

// Member names compare as IDispatch compares them: ASCII case-insensitive.
bool SameMember(std::string_view a, std::string_view b);

// Whether a table of member names, one a line (or apart by any white
// space), holds member.
bool ListsMember(std::string_view members, std::string_view member);

}  // namespace velmora
