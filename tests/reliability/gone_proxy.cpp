#include "gone_proxy.h"

#include "automation/failure.h"
#include "automation/status.h"

namespace velmora::testing {

namespace {

Variant Wrap(Variant value, const std::shared_ptr<GoneSwitch>& gone);

class GoneProxy : public Dispatch {
  public:
    GoneProxy(Object inner, std::shared_ptr<GoneSwitch> gone)
        : inner_(std::move(inner)), gone_(std::move(gone)) {}

    Variant Get(std::string_view member, std::span<const Variant> args) override {
        Enter();
        return Wrap(inner_->Get(member, args), gone_);
    }
    void Put(std::string_view member, std::span<const Variant> args,
             const Variant& value) override {
        Enter();
        inner_->Put(member, args, value);
    }
    Variant Call(std::string_view member, std::span<const Variant> args) override {
        Enter();
        return Wrap(inner_->Call(member, args), gone_);
    }
    std::vector<Variant> Enumerate() override {
        Enter();
        std::vector<Variant> items = inner_->Enumerate();
        for (Variant& item : items) item = Wrap(std::move(item), gone_);
        return items;
    }

  private:
    void Enter() {
        GoneSwitch& gone = *gone_;
        ++gone.calls;
        if (!gone.gone && gone.goneAt > 0 && gone.calls >= gone.goneAt) {
            gone.gone = true;
            if (gone.onGone) gone.onGone();
        }
        if (gone.gone) Fail(status::kServerUnavailable, "the application has gone away");
    }

    Object inner_;
    std::shared_ptr<GoneSwitch> gone_;
};

Variant Wrap(Variant value, const std::shared_ptr<GoneSwitch>& gone) {
    if (value.Kind() == VariantKind::Object) {
        const Object& object = std::get<Object>(value.Data());
        if (object) return Variant(Object(std::make_shared<GoneProxy>(object, gone)));
    } else if (value.Kind() == VariantKind::VariantArray) {
        VariantArray items = value.AsVariantArray();
        for (Variant& item : items) item = Wrap(std::move(item), gone);
        return Variant(std::move(items));
    }
    return value;
}

}  // namespace

Object BehindSwitch(Object inner, std::shared_ptr<GoneSwitch> gone) {
    return std::make_shared<GoneProxy>(std::move(inner), std::move(gone));
}

}  // namespace velmora::testing
