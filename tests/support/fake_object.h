// A scriptable automation object for tests: members are answered by
// closures, and every access is recorded in a log shared between fakes, so a
// test can assert the exact sequence of calls a command made.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "automation/object.h"

namespace velmora::testing {

// Every access as "doc.Get SelectionSets("Ssd")", in order.
struct CallLog {
    std::vector<std::string> calls;
    const std::vector<std::string>& Texts() const { return calls; }
};

class FakeObject : public Dispatch {
  public:
    using GetFn = std::function<Variant(std::span<const Variant>)>;
    using PutFn = std::function<void(std::span<const Variant>, const Variant&)>;
    using EnumerateFn = std::function<std::vector<Variant>()>;

    FakeObject(std::string name, std::shared_ptr<CallLog> log);

    FakeObject& OnGet(std::string member, GetFn fn) { return On(gets_, member, fn); }
    FakeObject& OnPut(std::string member, PutFn fn) { return On(puts_, member, fn); }
    FakeObject& OnCall(std::string member, GetFn fn) { return On(calls_, member, fn); }
    FakeObject& OnEnumerate(EnumerateFn fn) { return enumerate_ = std::move(fn), *this; }
    // A property that returns a fixed value, and one that stores what is put.
    FakeObject& Returns(std::string member, Variant value) {
        return OnGet(member, [value](std::span<const Variant>) { return value; });
    }
    FakeObject& Stores(std::string member);
    Variant Stored(const std::string& member) const;

    const std::string& Name() const { return name_; }

    // Unscripted members fail with the unknown-name status, as IDispatch does.
    Variant Get(std::string_view member, std::span<const Variant> args) override;
    void Put(std::string_view member, std::span<const Variant> args, const Variant& value) override;
    Variant Call(std::string_view member, std::span<const Variant> args) override;
    std::vector<Variant> Enumerate() override;

  private:
    template <class Fn>
    FakeObject& On(std::map<std::string, Fn, std::less<>>& map, std::string& member, Fn& fn) {
        map[std::move(member)] = std::move(fn);
        return *this;
    }
    void Record(std::string_view access, std::string_view member, std::span<const Variant> args,
                const Variant* value = nullptr);

    std::string name_;
    std::shared_ptr<CallLog> log_;
    std::map<std::string, GetFn, std::less<>> gets_, calls_;
    std::map<std::string, PutFn, std::less<>> puts_;
    std::map<std::string, Variant, std::less<>> stored_;
    EnumerateFn enumerate_;
};

std::shared_ptr<FakeObject> MakeFake(std::string name, std::shared_ptr<CallLog> log);

}  // namespace velmora::testing
