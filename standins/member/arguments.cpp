#include "standins/member/arguments.h"

#include <charconv>
#include <cmath>
#include <string>

#include "automation/failure.h"
#include "automation/status.h"

namespace velmora::standins {

namespace {

double NumberText(const std::string& text) {
    double number = 0;
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, number);
    if (text.empty() || error != std::errc() || stop != end) {
        Fail(status::kTypeMismatch, "not a number: " + text);
    }
    return number;
}

}  // namespace

void UnknownMember(std::string_view member) {
    Fail(status::kUnknownName, "unknown member " + std::string(member));
}

void ExpectArgs(std::span<const Variant> args, std::size_t min, std::size_t max) {
    if (args.size() < min || args.size() > max) {
        Fail(status::kBadParamCount, std::to_string(args.size()) + " arguments");
    }
}

double NumberArg(const Variant& value, Conversion conversion) {
    if (conversion == Conversion::Ole) {
        return value.Kind() == VariantKind::Text ? NumberText(value.AsText()) : value.ToDouble();
    }
    const double number = value.ToDouble();
    if (!std::isfinite(number)) Fail(status::kInvalidArg, "number out of range");
    return number;
}

int IntegerArg(const Variant& value, Conversion conversion) {
    if (conversion == Conversion::Ole) {
        const double number = std::nearbyint(NumberArg(value, conversion));
        if (!(number >= -2147483648.0 && number <= 2147483647.0)) Fail(status::kDispOverflow);
        return static_cast<int>(number);
    }
    switch (value.Kind()) {
        case VariantKind::Int16:
            return value.AsInt16();
        case VariantKind::Int32:
            return value.AsInt32();
        default:
            Fail(status::kTypeMismatch, "expected an integer");
    }
}

bool BoolArg(const Variant& value, Conversion conversion) {
    if (conversion == Conversion::Ole) return NumberArg(value, conversion) != 0;
    if (value.Kind() == VariantKind::Bool) return value.AsBool();
    return IntegerArg(value) != 0;
}

}  // namespace velmora::standins
