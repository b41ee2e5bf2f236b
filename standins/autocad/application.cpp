// The application and document objects, and the host's lifecycle.
#include <cstdint>
#include <limits>

#include "automation/failure.h"
#include "automation/status.h"
#include "standins/autocad/cad_object.h"

namespace velmora::standins {

namespace {

// A window handle as a 64-bit AutoCAD gives it (LONG_PTR): a 32-bit integer
// when it fits, as Windows' handles do; else a double, exact up to 2^53,
// which a window id never reaches.
Variant HandleValue(std::int64_t handle) {
    using Limits = std::numeric_limits<std::int32_t>;
    if (handle >= Limits::min() && handle <= Limits::max())
        return static_cast<std::int32_t>(handle);
    return static_cast<double>(handle);
}

// UNDOCTL's bits.
constexpr int kUndoDefault = 1 | 4 | 16 | 32;
constexpr int kUndoGroup = 8;

class Application : public CadObject {
  public:
    using CadObject::CadObject;

    bool HasMember(std::string_view member) const override {
        static constexpr std::string_view kMembers = R"(
            ActiveDocument
            WindowState
            Visible
            Name
            HWND
        )";
        return ListsMember(kMembers, member);
    }

  protected:
    Variant DoGet(std::string_view member, std::span<const Variant> args) override {
        ExpectArgs(args, 0, 0);
        if (SameMember(member, "ActiveDocument")) return NewDocument(SharedHost());
        if (SameMember(member, "WindowState")) return std::int32_t{Host().windowState};
        if (SameMember(member, "Visible")) return Host().visible;
        if (SameMember(member, "Name")) return "AutoCAD";
        if (SameMember(member, "HWND")) return HandleValue(Host().windowHandle);
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

    bool HasMember(std::string_view member) const override {
        static constexpr std::string_view kMembers = R"(
            SelectionSets
            ModelSpace
            Utility
            Name
            GetVariable
            StartUndoMark
            EndUndoMark
        )";
        return ListsMember(kMembers, member);
    }

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

    Variant DoCall(std::string_view member, std::span<const Variant> args) override {
        if (SameMember(member, "GetVariable")) {
            ExpectArgs(args, 1, 1);
            return SystemVariable(args[0].AsText());
        }
        ExpectArgs(args, 0, 0);
        if (SameMember(member, "StartUndoMark")) {
            BeginUndoGroup(Host().undo);
            return {};
        }
        if (SameMember(member, "EndUndoMark")) {
            EndUndoGroup(Host().undo);
            return {};
        }
        return CadObject::DoCall(member, args);
    }

  private:
    // The system variables the stand-in keeps; AutoCAD refuses a name it
    // does not know.
    Variant SystemVariable(const std::string& name) const {
        if (SameMember(name, "UNDOCTL")) {
            // Undo on, automatic, zoom and pan and layer changes grouped
            // (AutoCAD's default, 53), and 8 while a group is open.
            return static_cast<std::int16_t>(kUndoDefault |
                                             (Host().undo.groupOpen ? kUndoGroup : 0));
        }
        Fail(status::kInvalidArg, "no system variable " + name);
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
