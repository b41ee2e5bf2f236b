// The Number command against an AutoCAD whose every answer comes from the
// input: counts that change between reads or are not numbers, positions of
// any kind and length, enumerations longer or shorter than the count,
// failures of any member with any status, translations that return junk.
// Whatever AutoCAD says, the command ends, every label stands at a position
// AutoCAD reported for a picked entity, the centring of a label only ever
// touches that label, and every register row holds a reported position.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "automation/failure.h"
#include "automation/status.h"
#include "fuzz_check.h"
#include "fuzz_input.h"
#include "numbering/filter_mtext.h"
#include "values/numbers.h"
#include "window/control_table.h"
#include "window/control_values.h"

namespace {

using namespace velmora;

using Input = FuzzInput;

struct Placed {
    double x, y, height;
};

// What AutoCAD reported and what the command asked of it.
struct World {
    explicit World(Input input) : in(input) {}
    Input in;
    int passes = 0;
    std::vector<std::pair<double, double>> reported;  // positions read, as the system reads them
    std::vector<std::shared_ptr<Placed>> labels;
};

enum class Kind { Application, Document, Sets, Set, Entity, ModelSpace, Utility, Text };

// An arbitrary value, now and then in place of the expected answer.
Variant Junk(Input& in) {
    switch (in.Byte() % 8) {
        case 0:
            return {};
        case 1:
            return Variant(in.Byte() % 2 == 0);
        case 2:
            return Variant(std::int16_t(in.Byte() - 128));
        case 3:
            return Variant(in.Double());
        case 4:
            return Variant(std::string(in.Byte() % 4, 'x'));
        case 5: {
            DoubleArray values(in.Byte() % 5);
            for (double& v : values) v = in.Double();
            return Variant(values);
        }
        case 6: {
            VariantArray values(in.Byte() % 4);
            for (Variant& v : values) v = Variant(std::int16_t(in.Byte()));
            return Variant(values);
        }
        default:
            return Variant(Object());
    }
}

class Fake : public Dispatch {
  public:
    Fake(Kind kind, std::shared_ptr<World> world, std::shared_ptr<Placed> placed = {})
        : kind_(kind), world_(std::move(world)), placed_(std::move(placed)) {}

    Variant Get(std::string_view member, std::span<const Variant>) override {
        Enter();
        Input& in = world_->in;
        if (kind_ == Kind::Entity) return Position();
        if (in.Byte() % 16 == 0) return Junk(in);
        switch (kind_) {
            case Kind::Application:
                return Make(Kind::Document);
            case Kind::Document:
                if (SameMember(member, "SelectionSets")) return Make(Kind::Sets);
                if (SameMember(member, "ModelSpace")) return Make(Kind::ModelSpace);
                return Make(Kind::Utility);
            case Kind::Set: {
                // Count: ends the command once the input is spent.
                if (in.Done() || ++world_->passes > 64) return Variant(std::int32_t{0});
                return Variant(std::int32_t(in.Byte() % 24));
            }
            case Kind::Entity:
                return Position();
            default:
                Fail(status::kUnknownName, std::string(member));
        }
    }

    void Put(std::string_view member, std::span<const Variant>, const Variant& value) override {
        Enter();
        if (kind_ == Kind::Text && SameMember(member, "TextAlignmentPoint")) {
            // Centring acts on this label only: half its height below its own point.
            const DoubleArray& point = value.AsDoubleArray();
            FUZZ_CHECK(point.size() == 3);
            FUZZ_CHECK(point[0] == placed_->x);
            FUZZ_CHECK(point[1] == placed_->y - placed_->height / 2);
        }
    }

    Variant Call(std::string_view member, std::span<const Variant> args) override {
        Enter();
        Input& in = world_->in;
        if (in.Byte() % 16 == 0) return Junk(in);
        if (kind_ == Kind::Sets) return Make(Kind::Set);
        if (kind_ == Kind::ModelSpace && SameMember(member, "AddText")) {
            FUZZ_CHECK(args.size() == 3);
            const DoubleArray& point = args[1].AsDoubleArray();
            FUZZ_CHECK(point.size() == 3);
            auto placed = std::make_shared<Placed>(Placed{point[0], point[1], args[2].AsDouble()});
            world_->labels.push_back(placed);
            return Variant(Object(std::make_shared<Fake>(Kind::Text, world_, placed)));
        }
        if (kind_ == Kind::Utility) {
            if (in.Byte() % 2) return Junk(in);
            return args.empty() ? Variant() : args[0];  // the user system is the world system
        }
        return {};
    }

    std::vector<Variant> Enumerate() override {
        Enter();
        Input& in = world_->in;
        std::vector<Variant> items(in.Byte() % 24);
        for (Variant& item : items) {
            item = in.Byte() % 16 == 0 ? Junk(in) : Make(Kind::Entity);
        }
        return items;
    }

  private:
    void Enter() {
        Input& in = world_->in;
        const std::uint8_t fate = in.Byte();
        if (fate % 23 == 0) Fail(status::kDispException, "raised by the member");
        if (fate % 29 == 0) Fail(status::kServerUnavailable, "gone");
    }

    Variant Make(Kind kind) { return Variant(Object(std::make_shared<Fake>(kind, world_))); }

    // A position, often on a coarse grid so that piles coincide and share rows.
    Variant Position() {
        Input& in = world_->in;
        Variant value;
        if (in.Byte() % 8 == 0) {
            value = Junk(in);
        } else {
            value = DoubleArray{double(in.Byte() % 16), double(in.Byte() % 16) / 10, 0};
        }
        try {
            const DoubleArray read = value.ToDoubleArray();
            if (read.size() >= 2) world_->reported.emplace_back(read[0], read[1]);
        } catch (const Failure&) {
        }
        return value;
    }

    Kind kind_;
    std::shared_ptr<World> world_;
    std::shared_ptr<Placed> placed_;
};

class Directory : public ProgIdDirectory {
  public:
    explicit Directory(Object application) : application_(std::move(application)) {}
    Object FindRunning(std::string_view) override { return application_; }
    Object Create(std::string_view) override { Fail(status::kClassNotRegistered); }

  private:
    Object application_;
};

bool Reported(const World& world, double x, double y) {
    for (const auto& [rx, ry] : world.reported) {
        if (rx == x && ry == y) return true;
    }
    return false;
}

bool ReportedText(const World& world, const std::string& x, const std::string& y) {
    for (const auto& [rx, ry] : world.reported) {
        if (CoordinateText(rx) == x && CoordinateText(ry) == y) return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto world = std::make_shared<World>(Input(data, size));
    Directory directory(std::make_shared<Fake>(Kind::Application, world));
    WindowServices services{directory};

    // One window state for all runs, emptied between them: a fresh register
    // of 10 001 rows per run would cost more than the run itself.
    static auto state = std::make_unique<WindowState>();
    static int rowsUsed = 0;
    for (int r = 0; r < rowsUsed; ++r) state->pileRegister.rows[r] = {};
    state->controls = InitialControlValues();
    state->cadSession = {};
    state->pileCount = 0;

    // Labels go straight onto their piles (offset 0), in any of the four orders.
    SelectOption(state->controls, ControlAt("Option1", world->in.Byte() % 4));
    if (world->in.Byte() % 2) SetText(state->controls, TextBox::StartNumber, "32760");
    FilterMtext(*state, services);

    for (const auto& label : world->labels) FUZZ_CHECK(Reported(*world, label->x, label->y));
    const int rows = std::min<int>(std::max<int>(state->pileCount, 0), kRegisterRows);
    for (int r = 0; r < rows; ++r) {
        const RegisterRow& row = state->pileRegister.rows[r];
        if (row[0].empty() && row[1].empty()) continue;
        FUZZ_CHECK(ReportedText(*world, row[0], row[1]));
        FUZZ_CHECK(row[2] == "0");
    }
    // Nothing past the count, so the next run has only the rows below it to clear.
    for (int r = rows; r < kRegisterRows; ++r) {
        FUZZ_CHECK(state->pileRegister.rows[r] == RegisterRow{});
    }
    rowsUsed = rows;
    state->cadSession = {};  // lets this run's AutoCAD go
    return 0;
}
