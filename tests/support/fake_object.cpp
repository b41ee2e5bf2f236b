#include "fake_object.h"

#include "automation/failure.h"
#include "automation/status.h"
#include "tap.h"

namespace velmora::testing {

namespace {

// The member's answer, found as IDispatch finds names (any case); an
// unscripted member fails with the unknown-name status.
template <class Map>
auto& Answer(Map& map, std::string_view member) {
    for (auto& [name, answer] : map) {
        if (SameMember(name, member)) return answer;
    }
    Fail(status::kUnknownName, std::string(member));
}

}  // namespace

FakeObject::FakeObject(std::string name, std::shared_ptr<CallLog> log)
    : name_(std::move(name)), log_(log ? std::move(log) : std::make_shared<CallLog>()) {}

FakeObject& FakeObject::Stores(std::string member) {
    std::string key = member;
    return OnPut(std::move(member), [this, key](std::span<const Variant>, const Variant& value) {
        stored_[key] = value;
    });
}

Variant FakeObject::Stored(const std::string& member) const {
    auto it = stored_.find(member);
    return it == stored_.end() ? Variant() : it->second;
}

void FakeObject::Record(std::string_view access, std::string_view member,
                        std::span<const Variant> args, const Variant* value) {
    log_->calls.push_back(name_ + "." + CallText(access, member, args, value));
}

Variant FakeObject::Get(std::string_view member, std::span<const Variant> args) {
    Record("Get", member, args);
    return Answer(gets_, member)(args);
}

void FakeObject::Put(std::string_view member, std::span<const Variant> args, const Variant& value) {
    Record("Put", member, args, &value);
    Answer(puts_, member)(args, value);
}

Variant FakeObject::Call(std::string_view member, std::span<const Variant> args) {
    Record("Call", member, args);
    return Answer(calls_, member)(args);
}

// A member without results of its own is an ordinary method.
Variant FakeObject::CallByReference(std::string_view member, std::span<Variant> args) {
    for (auto& [name, answer] : results_) {
        if (!SameMember(name, member)) continue;
        Record("CallWithResults", member, args);
        return answer(args);
    }
    return Call(member, args);
}

std::vector<Variant> FakeObject::Enumerate() {
    Record("Enumerate", "", {});
    if (!enumerate_) Fail(status::kUnknownName, "_NewEnum");
    return enumerate_();
}

std::shared_ptr<FakeObject> MakeFake(std::string name, std::shared_ptr<CallLog> log) {
    return std::make_shared<FakeObject>(std::move(name), std::move(log));
}

}  // namespace velmora::testing
