#include "tap.h"

#include "automation/failure.h"

namespace velmora::testing {

namespace {

Variant Wrap(Variant value, const std::shared_ptr<Tap>& tap);

class TappedObject : public Dispatch {
  public:
    TappedObject(Object inner, std::shared_ptr<Tap> tap)
        : inner_(std::move(inner)), tap_(std::move(tap)) {}

    Variant Get(std::string_view member, std::span<const Variant> args) override {
        Enter("Get", member, args);
        return Wrap(inner_->Get(member, args), tap_);
    }
    void Put(std::string_view member, std::span<const Variant> args,
             const Variant& value) override {
        Enter("Put", member, args, &value);
        inner_->Put(member, args, value);
    }
    Variant Call(std::string_view member, std::span<const Variant> args) override {
        Enter("Call", member, args);
        return Wrap(inner_->Call(member, args), tap_);
    }
    // Objects the member leaves in the arguments come out behind the tap too.
    Variant CallByReference(std::string_view member, std::span<Variant> args) override {
        Enter("CallWithResults", member, args);
        Variant value = Wrap(inner_->CallByReference(member, args), tap_);
        for (Variant& arg : args) arg = Wrap(std::move(arg), tap_);
        return value;
    }
    std::vector<Variant> Enumerate() override {
        Enter("Enumerate", "", {});
        std::vector<Variant> items = inner_->Enumerate();
        for (Variant& item : items) item = Wrap(std::move(item), tap_);
        return items;
    }
    bool HasMember(std::string_view member) const override {
        return !Lacks(member) && inner_->HasMember(member);
    }

  private:
    void Enter(std::string_view access, std::string_view member, std::span<const Variant> args,
               const Variant* value = nullptr) {
        Tap& tap = *tap_;
        ++tap.calls;
        if (tap.logging) tap.log.push_back(CallText(access, member, args, value));
        if (tap.onCall) tap.onCall();
        if (!member.empty() && Lacks(member)) Fail(status::kUnknownName, std::string(member));
        if (access == "Enumerate") return;
        for (const auto& [name, status] : tap.failMember) {
            if (SameMember(name, member)) Fail(status, "planned failure of " + std::string(member));
        }
    }

    bool Lacks(std::string_view member) const {
        for (const std::string& name : tap_->lacking) {
            if (SameMember(name, member)) return true;
        }
        return false;
    }

    Object inner_;
    std::shared_ptr<Tap> tap_;
};

Variant Wrap(Variant value, const std::shared_ptr<Tap>& tap) {
    if (value.Kind() == VariantKind::Object) {
        const Object& object = std::get<Object>(value.Data());
        if (object) return Variant(Object(std::make_shared<TappedObject>(object, tap)));
    } else if (value.Kind() == VariantKind::VariantArray) {
        VariantArray items = value.AsVariantArray();
        for (Variant& item : items) item = Wrap(std::move(item), tap);
        return Variant(std::move(items));
    }
    return value;
}

}  // namespace

std::string CallText(std::string_view access, std::string_view member,
                     std::span<const Variant> args, const Variant* value) {
    std::string text(access);
    if (!member.empty()) text += " " + std::string(member);
    for (std::size_t i = 0; i < args.size(); ++i) {
        text += (i ? ", " : "(") + Describe(args[i]) + (i + 1 == args.size() ? ")" : "");
    }
    if (value) text += " = " + Describe(*value);
    return text;
}

Object Tapped(Object inner, std::shared_ptr<Tap> tap) {
    return std::make_shared<TappedObject>(std::move(inner), std::move(tap));
}

}  // namespace velmora::testing
