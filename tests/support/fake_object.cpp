#include "fake_object.h"

#include "automation/failure.h"
#include "automation/status.h"

namespace velmora::testing {

namespace {

// Indexed by Access.
const char* const kAccessNames[] = {"Get", "Put", "Call", "Enumerate"};

template <class Map>
auto Find(Map& map, std::string_view member) {
    for (auto it = map.begin(); it != map.end(); ++it) {
        if (SameMember(it->first, member)) return it;
    }
    return map.end();
}

}  // namespace

std::string CallRecord::Text() const {
    std::string text = object + "." + kAccessNames[static_cast<int>(access)] + " " + member;
    if (!args.empty()) {
        text += "(";
        for (std::size_t i = 0; i < args.size(); ++i) {
            if (i) text += ", ";
            text += Describe(args[i]);
        }
        text += ")";
    }
    if (access == Access::Put) text += " = " + Describe(value);
    return text;
}

std::vector<std::string> CallLog::Texts() const {
    std::vector<std::string> texts;
    texts.reserve(calls.size());
    for (const CallRecord& call : calls) texts.push_back(call.Text());
    return texts;
}

FakeObject::FakeObject(std::string name, std::shared_ptr<CallLog> log)
    : name_(std::move(name)), log_(log ? std::move(log) : std::make_shared<CallLog>()) {}

FakeObject& FakeObject::OnGet(std::string member, GetFn fn) {
    gets_[std::move(member)] = std::move(fn);
    return *this;
}

FakeObject& FakeObject::OnPut(std::string member, PutFn fn) {
    puts_[std::move(member)] = std::move(fn);
    return *this;
}

FakeObject& FakeObject::OnCall(std::string member, CallFn fn) {
    calls_[std::move(member)] = std::move(fn);
    return *this;
}

FakeObject& FakeObject::OnEnumerate(EnumerateFn fn) {
    enumerate_ = std::move(fn);
    return *this;
}

FakeObject& FakeObject::Returns(std::string member, Variant value) {
    return OnGet(std::move(member), [value](std::span<const Variant>) { return value; });
}

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

void FakeObject::Record(Access access, std::string_view member, std::span<const Variant> args,
                        const Variant& value) {
    log_->calls.push_back(CallRecord{name_, access, std::string(member),
                                     std::vector<Variant>(args.begin(), args.end()), value});
}

Variant FakeObject::Get(std::string_view member, std::span<const Variant> args) {
    Record(Access::Get, member, args);
    auto it = Find(gets_, member);
    if (it == gets_.end()) Fail(status::kUnknownName, std::string(member));
    return it->second(args);
}

void FakeObject::Put(std::string_view member, std::span<const Variant> args, const Variant& value) {
    Record(Access::Put, member, args, value);
    auto it = Find(puts_, member);
    if (it == puts_.end()) Fail(status::kUnknownName, std::string(member));
    it->second(args, value);
}

Variant FakeObject::Call(std::string_view member, std::span<const Variant> args) {
    Record(Access::Call, member, args);
    auto it = Find(calls_, member);
    if (it == calls_.end()) Fail(status::kUnknownName, std::string(member));
    return it->second(args);
}

std::vector<Variant> FakeObject::Enumerate() {
    Record(Access::Enumerate, "", {});
    if (!enumerate_) Fail(status::kUnknownName, "_NewEnum");
    return enumerate_();
}

std::shared_ptr<FakeObject> MakeFake(std::string name, std::shared_ptr<CallLog> log) {
    return std::make_shared<FakeObject>(std::move(name), std::move(log));
}

}  // namespace velmora::testing
