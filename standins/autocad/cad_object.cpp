#include "standins/autocad/cad_object.h"

#include <cmath>

#include "automation/failure.h"
#include "automation/status.h"

namespace velmora::standins {

namespace {

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    }
    return lower;
}

[[noreturn]] void Unknown(std::string_view member) {
    Fail(status::kUnknownName, "unknown member " + std::string(member));
}

}  // namespace

void FailEveryCall(FailurePlan& plan, std::string_view member, std::uint32_t status) {
    plan.failMember[Lower(member)] = status;
}

void CadObject::Enter(std::string_view access, std::string_view member) {
    CadHost& host = *host_;
    ++host.callCount;
    if (host.logCalls) host.callLog.push_back(std::string(access) + " " + std::string(member));
    if (host.closed) Fail(status::kServerUnavailable, "AutoCAD has gone away");
    if (host.failures.failCall == host.callCount) {
        Fail(host.failures.failCallStatus,
             "injected failure of call " + std::to_string(host.callCount));
    }
    if (!host.failures.failMember.empty()) {
        auto it = host.failures.failMember.find(Lower(member));
        if (it != host.failures.failMember.end()) {
            Fail(it->second, "injected failure of " + std::string(member));
        }
    }
}

Variant CadObject::Get(std::string_view member, std::span<const Variant> args) {
    Enter("Get", member);
    return DoGet(member, args);
}

void CadObject::Put(std::string_view member, std::span<const Variant> args, const Variant& value) {
    Enter("Put", member);
    DoPut(member, args, value);
}

Variant CadObject::Call(std::string_view member, std::span<const Variant> args) {
    Enter("Call", member);
    return DoCall(member, args);
}

std::vector<Variant> CadObject::Enumerate() {
    Enter("Enumerate", "_NewEnum");
    return DoEnumerate();
}

Variant CadObject::DoGet(std::string_view member, std::span<const Variant>) { Unknown(member); }

void CadObject::DoPut(std::string_view member, std::span<const Variant>, const Variant&) {
    Unknown(member);
}

Variant CadObject::DoCall(std::string_view member, std::span<const Variant>) { Unknown(member); }

std::vector<Variant> CadObject::DoEnumerate() {
    Fail(status::kMemberNotFound, "object is not a collection");
}

void ExpectArgs(std::span<const Variant> args, std::size_t min, std::size_t max) {
    if (args.size() < min || args.size() > max) {
        Fail(status::kBadParamCount, std::to_string(args.size()) + " arguments");
    }
}

Point3 PointArg(const Variant& value) {
    const DoubleArray& array = value.AsDoubleArray();
    if (array.size() != 3) Fail(status::kInvalidArg, "a point has three coordinates");
    for (double coordinate : array) {
        if (!std::isfinite(coordinate)) Fail(status::kInvalidArg, "coordinate out of range");
    }
    return {array[0], array[1], array[2]};
}

Variant PointValue(Point3 point) { return DoubleArray{point.x, point.y, point.z}; }

double NumberArg(const Variant& value) {
    const double number = value.ToDouble();
    if (!std::isfinite(number)) Fail(status::kInvalidArg, "number out of range");
    return number;
}

int IntegerArg(const Variant& value) {
    switch (value.Kind()) {
        case VariantKind::Int16:
            return value.AsInt16();
        case VariantKind::Int32:
            return value.AsInt32();
        default:
            Fail(status::kTypeMismatch, "expected an integer");
    }
}

bool BoolArg(const Variant& value) {
    if (value.Kind() == VariantKind::Bool) return value.AsBool();
    return IntegerArg(value) != 0;
}

void DrawingChanged(CadHost& host) {
    if (host.onDrawingChanged) host.onDrawingChanged();
}

}  // namespace velmora::standins
