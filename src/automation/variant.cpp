#include "automation/variant.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "automation/failure.h"
#include "automation/status.h"

namespace velmora {

namespace {

template <class T>
const T& Expect(const Variant::Storage& data, const char* what) {
    if (const T* value = std::get_if<T>(&data)) return *value;
    Fail(status::kTypeMismatch, std::string("expected ") + what);
}

}  // namespace

bool Variant::AsBool() const { return Expect<bool>(data_, "bool"); }
std::int16_t Variant::AsInt16() const { return Expect<std::int16_t>(data_, "16-bit integer"); }
std::int32_t Variant::AsInt32() const { return Expect<std::int32_t>(data_, "32-bit integer"); }
double Variant::AsDouble() const { return Expect<double>(data_, "double"); }
const std::string& Variant::AsText() const { return Expect<std::string>(data_, "text"); }
const Int16Array& Variant::AsInt16Array() const {
    return Expect<Int16Array>(data_, "array of 16-bit integers");
}
const DoubleArray& Variant::AsDoubleArray() const {
    return Expect<DoubleArray>(data_, "array of doubles");
}
const VariantArray& Variant::AsVariantArray() const {
    return Expect<VariantArray>(data_, "array of variants");
}

const Object& Variant::AsObject() const {
    const Object& object = Expect<Object>(data_, "object");
    if (!object) Fail(status::kObjectRequired, "empty reference");
    return object;
}

double Variant::ToDouble() const {
    switch (Kind()) {
        case VariantKind::Bool:
            return AsBool() ? -1.0 : 0.0;
        case VariantKind::Int16:
            return AsInt16();
        case VariantKind::Int32:
            return AsInt32();
        case VariantKind::Double:
            return AsDouble();
        default:
            Fail(status::kTypeMismatch, "expected a number");
    }
}

std::int32_t Variant::ToInt32() const {
    switch (Kind()) {
        case VariantKind::Bool:
            return AsBool() ? -1 : 0;
        case VariantKind::Int16:
            return AsInt16();
        case VariantKind::Int32:
            return AsInt32();
        case VariantKind::Double: {
            const double rounded = std::nearbyint(AsDouble());
            if (!(rounded >= std::numeric_limits<std::int32_t>::min() &&
                  rounded <= std::numeric_limits<std::int32_t>::max())) {
                Fail(status::kOverflow, "value outside the 32-bit range");
            }
            return static_cast<std::int32_t>(rounded);
        }
        default:
            Fail(status::kTypeMismatch, "expected a number");
    }
}

DoubleArray Variant::ToDoubleArray() const {
    if (Kind() == VariantKind::DoubleArray) return AsDoubleArray();
    if (Kind() == VariantKind::VariantArray) {
        DoubleArray result;
        result.reserve(AsVariantArray().size());
        for (const Variant& item : AsVariantArray()) result.push_back(item.ToDouble());
        return result;
    }
    Fail(status::kTypeMismatch, "expected an array of numbers");
}

bool operator==(const Variant& a, const Variant& b) { return a.data_ == b.data_; }

std::string_view KindName(VariantKind kind) {
    static constexpr std::string_view names[] = {
        "empty", "bool", "i2", "i4", "r8", "text", "i2[]", "r8[]", "variant[]", "object",
    };
    return names[static_cast<int>(kind)];
}

std::string Describe(const Variant& value) {
    switch (value.Kind()) {
        case VariantKind::Empty:
            return "empty";
        case VariantKind::Bool:
            return value.AsBool() ? "true" : "false";
        case VariantKind::Int16:
            return "i2:" + std::to_string(value.AsInt16());
        case VariantKind::Int32:
            return "i4:" + std::to_string(value.AsInt32());
        case VariantKind::Double: {
            char buffer[40];
            std::snprintf(buffer, sizeof buffer, "r8:%.17g", value.AsDouble());
            return buffer;
        }
        case VariantKind::Text:
            return "\"" + value.AsText() + "\"";
        case VariantKind::Int16Array: {
            std::string text = "i2[";
            for (std::size_t i = 0; i < value.AsInt16Array().size(); ++i) {
                if (i) text += ",";
                text += std::to_string(value.AsInt16Array()[i]);
            }
            return text + "]";
        }
        case VariantKind::DoubleArray: {
            std::string text = "r8[";
            for (std::size_t i = 0; i < value.AsDoubleArray().size(); ++i) {
                char buffer[40];
                std::snprintf(buffer, sizeof buffer, "%s%.17g", i ? "," : "",
                              value.AsDoubleArray()[i]);
                text += buffer;
            }
            return text + "]";
        }
        case VariantKind::VariantArray: {
            std::string text = "v[";
            for (std::size_t i = 0; i < value.AsVariantArray().size(); ++i) {
                if (i) text += ",";
                text += Describe(value.AsVariantArray()[i]);
            }
            return text + "]";
        }
        case VariantKind::Object:
            return std::get<Object>(value.Data()) ? "object" : "nothing";
    }
    return "?";
}

}  // namespace velmora
