// The document's selection sets: the collection and one set.
#include <algorithm>
#include <unordered_set>

#include "automation/failure.h"
#include "automation/status.h"
#include "standins/autocad/cad_object.h"

namespace velmora::standins {

namespace {

// AutoCAD keeps at most this many selection sets in a drawing.
constexpr std::size_t kMaxSelectionSets = 128;

class SelectionSets : public CadObject {
  public:
    using CadObject::CadObject;

    bool HasMember(std::string_view member) const override {
        static constexpr std::string_view kMembers = R"(
            Item
            Count
            Add
        )";
        return ListsMember(kMembers, member);
    }

  protected:
    Variant DoGet(std::string_view member, std::span<const Variant> args) override {
        if (member.empty() || SameMember(member, "Item")) {
            ExpectArgs(args, 1, 1);
            return SelectionSetItem(SharedHost(), args[0]);
        }
        ExpectArgs(args, 0, 0);
        if (SameMember(member, "Count")) {
            return std::int32_t(Host().selectionSets.size());
        }
        return CadObject::DoGet(member, args);
    }

    Variant DoCall(std::string_view member, std::span<const Variant> args) override {
        if (SameMember(member, "Item")) return DoGet(member, args);
        if (SameMember(member, "Add")) {
            ExpectArgs(args, 1, 1);
            const std::string& name = args[0].AsText();
            if (name.empty()) Fail(status::kInvalidArg, "a selection set needs a name");
            if (SelectionSetContents(Host(), name)) Fail(status::kInvalidArg, "Duplicate name");
            if (Host().selectionSets.size() >= kMaxSelectionSets) {
                Fail(status::kFail, "too many selection sets");
            }
            auto state = std::make_shared<SelectionSetState>();
            state->name = name;
            Host().selectionSets.push_back(state);
            return NewSelectionSet(SharedHost(), state);
        }
        return CadObject::DoCall(member, args);
    }

    std::vector<Variant> DoEnumerate() override {
        std::vector<Variant> sets;
        for (const auto& state : Host().selectionSets) {
            sets.push_back(NewSelectionSet(SharedHost(), state));
        }
        return sets;
    }
};

class SelectionSet : public CadObject {
  public:
    SelectionSet(std::shared_ptr<CadHost> host, std::shared_ptr<SelectionSetState> state)
        : CadObject(std::move(host)), state_(std::move(state)) {}

    bool HasMember(std::string_view member) const override {
        static constexpr std::string_view kMembers = R"(
            Item
            Count
            Name
            SelectOnScreen
            Delete
            Clear
        )";
        return ListsMember(kMembers, member);
    }

  protected:
    Variant DoGet(std::string_view member, std::span<const Variant> args) override {
        RequireLive();
        if (member.empty() || SameMember(member, "Item")) {
            ExpectArgs(args, 1, 1);
            const std::vector<EntityId> ids = LiveEntities();
            const int index = IntegerArg(args[0]);
            if (index < 0 || std::size_t(index) >= ids.size()) {
                Fail(status::kInvalidArg, "index out of range");
            }
            return NewEntity(SharedHost(), ids[index]);
        }
        ExpectArgs(args, 0, 0);
        if (SameMember(member, "Count")) return std::int32_t(LiveEntities().size());
        if (SameMember(member, "Name")) return state_->name;
        return CadObject::DoGet(member, args);
    }

    Variant DoCall(std::string_view member, std::span<const Variant> args) override {
        RequireLive();
        if (SameMember(member, "Item")) return DoGet(member, args);
        if (SameMember(member, "SelectOnScreen")) {
            ExpectArgs(args, 0, 2);
            if (args.size() == 1) Fail(status::kInvalidArg, "filter codes without values");
            SelectionFilter filter;
            if (args.size() == 2) filter = ReadSelectionFilter(args[0], args[1]);
            SelectOnScreen(filter);
            return {};
        }
        if (SameMember(member, "Delete")) {
            ExpectArgs(args, 0, 0);
            state_->deleted = true;
            std::erase(Host().selectionSets, state_);
            return {};
        }
        if (SameMember(member, "Clear")) {
            ExpectArgs(args, 0, 0);
            state_->entities.clear();
            return {};
        }
        return CadObject::DoCall(member, args);
    }

    std::vector<Variant> DoEnumerate() override {
        RequireLive();
        std::vector<Variant> entities;
        for (EntityId id : LiveEntities()) entities.push_back(NewEntity(SharedHost(), id));
        return entities;
    }

  private:
    void RequireLive() const {
        if (state_->deleted) Fail(status::kFail, "the selection set was deleted");
    }

    // Entities erased since the pick no longer count.
    std::vector<EntityId> LiveEntities() const {
        std::vector<EntityId> ids;
        for (EntityId id : state_->entities) {
            if (FindEntity(Host().drawing, id)) ids.push_back(id);
        }
        return ids;
    }

    void SelectOnScreen(const SelectionFilter& filter) {
        Pick pick = std::vector<EntityId>{};
        if (Host().picker) pick = Host().picker(PickRequest{Host().drawing, filter});
        if (Host().closed) Fail(status::kServerUnavailable, "AutoCAD has gone away");
        if (!pick) Fail(status::kDispException, "the pick was cancelled");
        std::unordered_set<EntityId> held(state_->entities.begin(), state_->entities.end());
        for (EntityId id : *pick) {
            const Entity* entity = FindEntity(Host().drawing, id);
            if (!entity || !Admits(filter, *entity)) continue;
            if (held.insert(id).second) state_->entities.push_back(id);
        }
    }

    std::shared_ptr<SelectionSetState> state_;
};

}  // namespace

Object NewSelectionSets(const std::shared_ptr<CadHost>& host) {
    return std::make_shared<SelectionSets>(host);
}

Object NewSelectionSet(const std::shared_ptr<CadHost>& host,
                       std::shared_ptr<SelectionSetState> state) {
    return std::make_shared<SelectionSet>(host, std::move(state));
}

Object SelectionSetItem(const std::shared_ptr<CadHost>& host, const Variant& key) {
    if (key.Kind() == VariantKind::Text) {
        for (const auto& state : host->selectionSets) {
            if (SameMember(state->name, key.AsText())) return NewSelectionSet(host, state);
        }
        Fail(status::kInvalidArg, "Key not found");
    }
    const int index = IntegerArg(key);
    if (index < 0 || std::size_t(index) >= host->selectionSets.size()) {
        Fail(status::kInvalidArg, "Key not found");
    }
    return NewSelectionSet(host, host->selectionSets[index]);
}

}  // namespace velmora::standins
