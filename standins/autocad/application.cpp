// The application and document objects, and the host's lifecycle.
#include "automation/failure.h"
#include "automation/status.h"
#include "standins/autocad/cad_object.h"

namespace velmora::standins {

namespace {

class Application : public CadObject {
  public:
    using CadObject::CadObject;

  protected:
    Variant DoGet(std::string_view member, std::span<const Variant> args) override {
        ExpectArgs(args, 0, 0);
        if (SameMember(member, "ActiveDocument")) return NewDocument(SharedHost());
        if (SameMember(member, "WindowState")) return std::int32_t{Host().windowState};
        if (SameMember(member, "Visible")) return Host().visible;
        if (SameMember(member, "Name")) return "AutoCAD";
        return CadObject::DoGet(member, args);
    }

    void DoPut(std::string_view member, std::span<const Variant> args,
               const Variant& value) override {
        ExpectArgs(args, 0, 0);
        if (SameMember(member, "WindowState")) {
            const int state = IntegerArg(value);
            if (state < 1 || state > 3) Fail(status::kInvalidArg, "window state");
            Host().windowState = state;
            if (Host().onWindowState) Host().onWindowState(state);
            return;
        }
        if (SameMember(member, "Visible")) {
            Host().visible = BoolArg(value);
            return;
        }
        CadObject::DoPut(member, args, value);
    }
};

class Document : public CadObject {
  public:
    using CadObject::CadObject;

  protected:
    Variant DoGet(std::string_view member, std::span<const Variant> args) override {
        if (SameMember(member, "SelectionSets")) {
            ExpectArgs(args, 0, 1);
            // With an argument the collection's default member, Item, applies.
            if (args.size() == 1) return SelectionSetItem(SharedHost(), args[0]);
            return NewSelectionSets(SharedHost());
        }
        ExpectArgs(args, 0, 0);
        if (SameMember(member, "ModelSpace")) return NewModelSpace(SharedHost());
        if (SameMember(member, "Utility")) return NewUtility(SharedHost());
        if (SameMember(member, "Name")) return "Drawing1.dwg";
        return CadObject::DoGet(member, args);
    }
};

}  // namespace

Object NewDocument(const std::shared_ptr<CadHost>& host) {
    return std::make_shared<Document>(host);
}

std::shared_ptr<CadHost> NewCadHost(Drawing drawing, Picker picker) {
    auto host = std::make_shared<CadHost>();
    host->drawing = std::move(drawing);
    host->picker = std::move(picker);
    return host;
}

Object CadApplication(const std::shared_ptr<CadHost>& host) {
    return std::make_shared<Application>(host);
}

void RegisterCad(const std::shared_ptr<CadHost>& host, LocalDirectory& directory,
                 std::string progId) {
    directory.RegisterRunning(progId, CadApplication(host));
    host->directory = &directory;
    host->progIds.push_back(std::move(progId));
}

void CloseCad(CadHost& host) {
    host.closed = true;
    if (host.directory) {
        for (const std::string& progId : host.progIds) host.directory->RevokeRunning(progId);
    }
    host.progIds.clear();
    host.directory = nullptr;
}

Picker ScriptedPicker(std::deque<Pick> picks) {
    auto queue = std::make_shared<std::deque<Pick>>(std::move(picks));
    return [queue](const PickRequest&) -> Pick {
        if (queue->empty()) return std::vector<EntityId>{};
        Pick next = std::move(queue->front());
        queue->pop_front();
        return next;
    };
}

EntityPicker ScriptedEntityPicker(std::deque<std::optional<EntityPick>> picks) {
    auto queue = std::make_shared<std::deque<std::optional<EntityPick>>>(std::move(picks));
    return [queue](const Drawing&, std::string_view) -> std::optional<EntityPick> {
        if (queue->empty()) return std::nullopt;
        std::optional<EntityPick> next = queue->front();
        queue->pop_front();
        return next;
    };
}

std::vector<std::string> SelectionSetNames(const CadHost& host) {
    std::vector<std::string> names;
    for (const auto& set : host.selectionSets) names.push_back(set->name);
    return names;
}

std::optional<std::vector<EntityId>> SelectionSetContents(const CadHost& host,
                                                          std::string_view name) {
    for (const auto& set : host.selectionSets) {
        if (SameMember(set->name, name)) return set->entities;
    }
    return std::nullopt;
}

}  // namespace velmora::standins
