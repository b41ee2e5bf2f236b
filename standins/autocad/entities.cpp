// Model space, the utility object and the entity objects.
#include "automation/failure.h"
#include "automation/status.h"
#include "standins/autocad/cad_object.h"

namespace velmora::standins {

namespace {

// Alignment values AutoCAD accepts for a single-line text (acAlignmentLeft
// … acAlignmentBottomRight).
constexpr int kMaxAlignment = 14;

// The members of every entity, then those of each kind, one a line.
constexpr std::string_view kEntityMembers = R"(
    ObjectName
    ObjectID
    Layer
    Delete
)";
constexpr std::string_view kPointMembers = R"(
    Coordinates
)";
constexpr std::string_view kCircleMembers = R"(
    Center
    Radius
)";
constexpr std::string_view kTextMembers = R"(
    TextString
    Height
    InsertionPoint
    Alignment
    TextAlignmentPoint
)";
constexpr std::string_view kBlockReferenceMembers = R"(
    InsertionPoint
    Name
    EffectiveName
)";

std::string_view KindMembers(EntityKind kind) {
    switch (kind) {
        case EntityKind::Point:
            return kPointMembers;
        case EntityKind::Circle:
            return kCircleMembers;
        case EntityKind::Text:
            return kTextMembers;
        case EntityKind::BlockReference:
            return kBlockReferenceMembers;
        default:
            return {};
    }
}

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

class EntityObject : public CadObject {
  public:
    EntityObject(std::shared_ptr<CadHost> host, EntityId id, EntityKind kind)
        : CadObject(std::move(host)), id_(id), kind_(kind) {}

    // An erased entity keeps the members of its kind; using them fails.
    bool HasMember(std::string_view member) const override {
        return ListsMember(kEntityMembers, member) || ListsMember(KindMembers(kind_), member);
    }

  protected:
    Variant DoGet(std::string_view member, std::span<const Variant> args) override {
        ExpectArgs(args, 0, 0);
        const Entity& entity = Live();
        if (SameMember(member, "ObjectName")) return std::string(ObjectName(entity.kind));
        if (SameMember(member, "ObjectID")) return std::int32_t(entity.id);
        if (SameMember(member, "Layer")) return entity.layer;
        switch (entity.kind) {
            case EntityKind::Point:
                if (SameMember(member, "Coordinates")) return PointValue(entity.position);
                break;
            case EntityKind::Circle:
                if (SameMember(member, "Center")) return PointValue(entity.position);
                if (SameMember(member, "Radius")) return entity.radius;
                break;
            case EntityKind::Text:
                if (SameMember(member, "TextString")) return entity.text;
                if (SameMember(member, "Height")) return entity.height;
                if (SameMember(member, "InsertionPoint")) return PointValue(entity.position);
                if (SameMember(member, "Alignment")) return std::int32_t(entity.alignment);
                if (SameMember(member, "TextAlignmentPoint")) {
                    return PointValue(entity.alignmentPoint);
                }
                break;
            case EntityKind::BlockReference:
                if (SameMember(member, "InsertionPoint")) return PointValue(entity.position);
                if (SameMember(member, "Name")) return entity.blockName;
                if (SameMember(member, "EffectiveName")) return entity.effectiveName;
                break;
            default:
                break;
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
