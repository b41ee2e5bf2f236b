#include "standins/autocad/cad_object.h"

#include <cmath>

#include "automation/failure.h"
#include "automation/status.h"

namespace velmora::standins {

void CadObject::Enter(std::string_view member) const {
    if (host_->closed) Fail(status::kServerUnavailable, "AutoCAD has gone away");
    if (!member.empty() && !HasMember(member)) UnknownMember(member);
}

Variant CadObject::Get(std::string_view member, std::span<const Variant> args) {
    Enter(member);
    return DoGet(member, args);
}

void CadObject::Put(std::string_view member, std::span<const Variant> args, const Variant& value) {
    Enter(member);
    DoPut(member, args, value);
}

Variant CadObject::Call(std::string_view member, std::span<const Variant> args) {
    Enter(member);
    return DoCall(member, args);
}

Variant CadObject::CallByReference(std::string_view member, std::span<Variant> args) {
    Enter(member);
    return DoCallByReference(member, args);
}

std::vector<Variant> CadObject::Enumerate() {
    Enter({});
    return DoEnumerate();
}

Variant CadObject::DoGet(std::string_view member, std::span<const Variant>) {
    UnknownMember(member);
}

void CadObject::DoPut(std::string_view member, std::span<const Variant>, const Variant&) {
    UnknownMember(member);
}

Variant CadObject::DoCall(std::string_view member, std::span<const Variant>) {
    UnknownMember(member);
}

Variant CadObject::DoCallByReference(std::string_view member, std::span<Variant> args) {
    return DoCall(member, args);
}

std::vector<Variant> CadObject::DoEnumerate() {
    Fail(status::kMemberNotFound, "object is not a collection");
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

void DrawingChanged(CadHost& host) {
    if (host.onDrawingChanged) host.onDrawingChanged();
}

void SayOnCommandLine(CadHost& host, std::string text) {
    if (host.onPrompt) host.onPrompt(text);
    host.commandLine.push_back(std::move(text));
    if (host.commandLine.size() > kCommandLineLines) host.commandLine.pop_front();
}

}  // namespace velmora::standins
