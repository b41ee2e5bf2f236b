#include "automation/object.h"

#include "automation/failure.h"
#include "automation/status.h"

namespace velmora {

namespace {

Dispatch& Require(const Object& object) {
    if (!object) Fail(status::kObjectRequired, "empty reference");
    return *object;
}

std::span<const Variant> Span(Args args) { return {args.begin(), args.size()}; }

}  // namespace

Variant Get(const Object& object, std::string_view member, Args args) {
    return Require(object).Get(member, Span(args));
}

Object GetObject(const Object& object, std::string_view member, Args args) {
    return Get(object, member, args).AsObject();
}

void Put(const Object& object, std::string_view member, const Variant& value) {
    Require(object).Put(member, {}, value);
}

void PutWithArgs(const Object& object, std::string_view member, Args args, const Variant& value) {
    Require(object).Put(member, Span(args), value);
}

Variant Call(const Object& object, std::string_view member, Args args) {
    return Require(object).Call(member, Span(args));
}

Variant CallWithResults(const Object& object, std::string_view member, std::vector<Variant>& args) {
    // The member works on a copy, so that a failure part-way leaves nothing half written.
    std::vector<Variant> results = args;
    Variant value = Require(object).CallByReference(member, results);
    args = std::move(results);
    return value;
}

std::vector<Variant> Enumerate(const Object& object) { return Require(object).Enumerate(); }

bool Dispatch::HasMember(std::string_view) const { return true; }

bool SameMember(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

bool ListsMember(std::string_view members, std::string_view member) {
    constexpr std::string_view kSpace = " \t\r\n";
    for (std::size_t at = members.find_first_not_of(kSpace); at != std::string_view::npos;) {
        const std::size_t end = members.find_first_of(kSpace, at);
        if (SameMember(members.substr(at, end - at), member)) return true;
        at = members.find_first_not_of(kSpace, end);
    }
    return false;
}

}  // namespace velmora
