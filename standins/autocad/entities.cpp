// Model space, the utility object and the entity objects.
#include <algorithm>
#include <optional>

#include "automation/failure.h"
#include "automation/status.h"
#include "standins/autocad/cad_object.h"

namespace velmora::standins {

namespace {

// Alignment values AutoCAD accepts for a single-line text (acAlignmentLeft
// … acAlignmentBottomRight).
constexpr int kMaxAlignment = 14;

class ModelSpace : public CadObject {
  public:
    using CadObject::CadObject;

    bool HasMember(std::string_view member) const override {
        static constexpr std::string_view kMembers = R"(
            Item
            Count
            AddText
            AddPoint
            AddCircle
        )";
        return ListsMember(kMembers, member);
    }

  protected:
    Variant DoGet(std::string_view member, std::span<const Variant> args) override {
        if (member.empty() || SameMember(member, "Item")) {
            ExpectArgs(args, 1, 1);
            const int index = IntegerArg(args[0]);
            const auto& entities = Host().drawing.entities;
            if (index < 0 || std::size_t(index) >= entities.size()) {
                Fail(status::kInvalidArg, "index out of range");
            }
            return NewEntity(SharedHost(), std::next(entities.begin(), index)->first);
        }
        ExpectArgs(args, 0, 0);
        if (SameMember(member, "Count")) return std::int32_t(Host().drawing.entities.size());
        return CadObject::DoGet(member, args);
    }

    Variant DoCall(std::string_view member, std::span<const Variant> args) override {
        if (SameMember(member, "Item")) return DoGet(member, args);
        if (SameMember(member, "AddText")) {
            ExpectArgs(args, 3, 3);
            const std::string& text = args[0].AsText();
            const Point3 insertion = PointArg(args[1]);
            const double height = NumberArg(args[2]);
            if (!(height > 0)) Fail(status::kInvalidArg, "text height must be positive");
            return Added(AddText(Host().drawing, text, insertion, height));
        }
        if (SameMember(member, "AddPoint")) {
            ExpectArgs(args, 1, 1);
            return Added(AddPoint(Host().drawing, PointArg(args[0])));
        }
        if (SameMember(member, "AddCircle")) {
            ExpectArgs(args, 2, 2);
            const Point3 centre = PointArg(args[0]);
            const double radius = NumberArg(args[1]);
            if (!(radius > 0)) Fail(status::kInvalidArg, "radius must be positive");
            return Added(AddCircle(Host().drawing, centre, radius));
        }
        return CadObject::DoCall(member, args);
    }

    std::vector<Variant> DoEnumerate() override {
        std::vector<Variant> entities;
        for (const auto& [id, entity] : Host().drawing.entities) {
            entities.push_back(NewEntity(SharedHost(), id));
        }
        return entities;
    }

  private:
    Variant Added(EntityId id) {
        NoteAdded(Host().undo, id);
        DrawingChanged(Host());
        return NewEntity(SharedHost(), id);
    }
};

// Said on the command line when GetEntity is given no prompt.
constexpr std::string_view kSelectObject = "选择对象：";

class Utility : public CadObject {
  public:
    using CadObject::CadObject;

    bool HasMember(std::string_view member) const override {
        static constexpr std::string_view kMembers = R"(
            TranslateCoordinates
            GetEntity
            Prompt
        )";
        return ListsMember(kMembers, member);
    }

  protected:
    Variant DoCallByReference(std::string_view member, std::span<Variant> args) override {
        if (SameMember(member, "GetEntity")) {
            ExpectArgs(args, 2, 3);
            const bool prompted = args.size() == 3 && !args[2].IsEmpty();
            const auto [id, at] = GetEntity(prompted ? args[2].AsText() : kSelectObject);
            args[0] = NewEntity(SharedHost(), id);
            args[1] = PointValue(at);
            return {};
        }
        return CadObject::DoCallByReference(member, args);
    }

    Variant DoCall(std::string_view member, std::span<const Variant> args) override {
        if (SameMember(member, "Prompt")) {
            ExpectArgs(args, 1, 1);
            SayOnCommandLine(Host(), args[0].AsText());
            return {};
        }
        // Its results go into its arguments, which only a call by reference gives.
        if (SameMember(member, "GetEntity")) Fail(status::kTypeMismatch, "arguments by value");
        if (SameMember(member, "TranslateCoordinates")) {
            ExpectArgs(args, 4, 5);
            const Point3 point = PointArg(args[0]);
            const int from = IntegerArg(args[1]);
            const int to = IntegerArg(args[2]);
            const bool displacement = BoolArg(args[3]);
            return PointValue(Translate(point, from, to, displacement));
        }
        return CadObject::DoCall(member, args);
    }

  private:
    // One pick of any entity, the prompt on the command line meanwhile.
    EntityPick GetEntity(std::string_view prompt) {
        SayOnCommandLine(Host(), std::string(prompt));
        std::optional<EntityPick> pick;
        if (Host().entityPicker) pick = Host().entityPicker(Host().drawing, prompt);
        if (Host().closed) Fail(status::kServerUnavailable, "AutoCAD has gone away");
        if (!pick || !FindEntity(Host().drawing, pick->id))
            Fail(status::kDispException, "nothing was picked");
        return *pick;
    }

    // 0 world, 1 user coordinate system, 2 display (a plan view of the UCS).
    Point3 Translate(Point3 point, int from, int to, bool displacement) const {
        const Ucs& ucs = Host().drawing.ucs;
        for (int system : {from, to}) {
            if (system < 0 || system > 2) Fail(status::kInvalidArg, "coordinate system");
        }
        Point3 world = point;
        if (from != 0)
            world = displacement ? UcsToWorldDirection(ucs, point) : UcsToWorld(ucs, point);
        if (to == 0) return world;
        return displacement ? WorldToUcsDirection(ucs, world) : WorldToUcs(ucs, world);
    }
};

// What an entity answers when read: every entity its object name, id and
// layer, each kind its own. Also the members an entity lists.
struct EntityProperty {
    std::optional<EntityKind> kind;  // none: every kind
    std::string_view member;
    Variant (*get)(const Entity&);
};

const EntityProperty kEntityProperties[] = {
    {{}, "ObjectName", [](const Entity& e) { return Variant(ObjectName(e.kind)); }},
    {{}, "ObjectID", [](const Entity& e) { return Variant(std::int32_t(e.id)); }},
    {{}, "Layer", [](const Entity& e) { return Variant(e.layer); }},
    {EntityKind::Point, "Coordinates", [](const Entity& e) { return PointValue(e.position); }},
    {EntityKind::Circle, "Center", [](const Entity& e) { return PointValue(e.position); }},
    {EntityKind::Circle, "Radius", [](const Entity& e) { return Variant(e.radius); }},
    {EntityKind::Text, "TextString", [](const Entity& e) { return Variant(e.text); }},
    {EntityKind::Text, "Height", [](const Entity& e) { return Variant(e.height); }},
    {EntityKind::Text, "InsertionPoint", [](const Entity& e) { return PointValue(e.position); }},
    {EntityKind::Text, "Alignment",
     [](const Entity& e) { return Variant(std::int32_t(e.alignment)); }},
    {EntityKind::Text, "TextAlignmentPoint",
     [](const Entity& e) { return PointValue(e.alignmentPoint); }},
    {EntityKind::BlockReference, "InsertionPoint",
     [](const Entity& e) { return PointValue(e.position); }},
    {EntityKind::BlockReference, "Name", [](const Entity& e) { return Variant(e.blockName); }},
    {EntityKind::BlockReference, "EffectiveName",
     [](const Entity& e) { return Variant(e.effectiveName); }},
};

class EntityObject : public CadObject {
  public:
    EntityObject(std::shared_ptr<CadHost> host, EntityId id, EntityKind kind)
        : CadObject(std::move(host)), id_(id), kind_(kind) {}

    // Delete, and what its kind answers when read (what may be put is read
    // too). An erased entity keeps the members of its kind; using them fails.
    bool HasMember(std::string_view member) const override {
        return SameMember(member, "Delete") ||
               std::any_of(std::begin(kEntityProperties), std::end(kEntityProperties),
                           [&](const EntityProperty& property) {
                               return (!property.kind || *property.kind == kind_) &&
                                      SameMember(member, property.member);
                           });
    }

  protected:
    Variant DoGet(std::string_view member, std::span<const Variant> args) override {
        ExpectArgs(args, 0, 0);
        const Entity& entity = Live();
        for (const EntityProperty& property : kEntityProperties) {
            const bool kindHasIt = !property.kind || *property.kind == entity.kind;
            if (kindHasIt && SameMember(member, property.member)) return property.get(entity);
        }
        return CadObject::DoGet(member, args);
    }

    void DoPut(std::string_view member, std::span<const Variant> args,
               const Variant& value) override {
        ExpectArgs(args, 0, 0);
        Entity& entity = Live();
        const Entity before = entity;
        if (PutProperty(entity, member, value)) {
            NoteChanged(Host().undo, before);
            entity.edited = true;
            DrawingChanged(Host());
            return;
        }
        CadObject::DoPut(member, args, value);
    }

    Variant DoCall(std::string_view member, std::span<const Variant> args) override {
        if (SameMember(member, "Delete")) {
            ExpectArgs(args, 0, 0);
            NoteChanged(Host().undo, Live());
            EraseEntity(Host().drawing, id_);
            DrawingChanged(Host());
            return {};
        }
        return CadObject::DoCall(member, args);
    }

  private:
    Entity& Live() const {
        Entity* entity = FindEntity(Host().drawing, id_);
        if (!entity) Fail(status::kFail, "the object was erased");
        return *entity;
    }

    static bool PutProperty(Entity& entity, std::string_view member, const Variant& value) {
        switch (entity.kind) {
            case EntityKind::Point:
                if (SameMember(member, "Coordinates"))
                    return entity.position = PointArg(value), true;
                return false;
            case EntityKind::Circle:
                if (SameMember(member, "Center")) return entity.position = PointArg(value), true;
                if (SameMember(member, "Radius")) {
                    const double radius = NumberArg(value);
                    if (!(radius > 0)) Fail(status::kInvalidArg, "radius must be positive");
                    entity.radius = radius;
                    return true;
                }
                return false;
            case EntityKind::Text:
                return PutTextProperty(entity, member, value);
            default:
                return false;
        }
        return false;
    }

    static bool PutTextProperty(Entity& entity, std::string_view member, const Variant& value) {
        if (SameMember(member, "TextString")) {
            entity.text = value.AsText();
        } else if (SameMember(member, "Height")) {
            const double height = NumberArg(value);
            if (!(height > 0)) Fail(status::kInvalidArg, "text height must be positive");
            entity.height = height;
        } else if (SameMember(member, "InsertionPoint")) {
            entity.position = PointArg(value);
        } else if (SameMember(member, "Alignment")) {
            const int alignment = IntegerArg(value);
            if (alignment < 0 || alignment > kMaxAlignment) Fail(status::kInvalidArg, "alignment");
            entity.alignment = alignment;
        } else if (SameMember(member, "TextAlignmentPoint")) {
            // A left-aligned text has no alignment point of its own.
            const Point3 point = PointArg(value);
            if (entity.alignment == 0) Fail(status::kInvalidArg, "not applicable");
            entity.alignmentPoint = point;
        } else {
            return false;
        }
        return true;
    }

    EntityId id_;
    EntityKind kind_;
};

}  // namespace

Object NewModelSpace(const std::shared_ptr<CadHost>& host) {
    return std::make_shared<ModelSpace>(host);
}

Object NewUtility(const std::shared_ptr<CadHost>& host) { return std::make_shared<Utility>(host); }

Object NewEntity(const std::shared_ptr<CadHost>& host, EntityId id) {
    const Entity* entity = FindEntity(host->drawing, id);
    if (!entity) Fail(status::kFail, "the object was erased");
    return std::make_shared<EntityObject>(host, id, entity->kind);
}

}  // namespace velmora::standins
