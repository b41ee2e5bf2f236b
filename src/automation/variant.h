// The value that crosses the late-bound boundary: what an automation member
// takes and returns. The element type of an array is part of the value:
// AutoCAD refuses a point that is not an array of doubles.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace velmora {

class Dispatch;
using Object = std::shared_ptr<Dispatch>;

class Variant;
using Int16Array = std::vector<std::int16_t>;
using DoubleArray = std::vector<double>;
using VariantArray = std::vector<Variant>;

enum class VariantKind {
    Empty,
    Bool,
    Int16,
    Int32,
    Double,
    Text,
    Int16Array,
    DoubleArray,
    VariantArray,
    Object,
};

class Variant {
  public:
    using Storage = std::variant<std::monostate, bool, std::int16_t, std::int32_t, double,
                                 std::string, Int16Array, DoubleArray, VariantArray, Object>;

    Variant() = default;
    Variant(bool value) : data_(value) {}
    Variant(std::int16_t value) : data_(value) {}
    Variant(std::int32_t value) : data_(value) {}
    Variant(double value) : data_(value) {}
    Variant(std::string text) : data_(std::move(text)) {}
    Variant(std::string_view text) : data_(std::string(text)) {}
    Variant(const char* text) : data_(std::string(text)) {}
    Variant(Int16Array values) : data_(std::move(values)) {}
    Variant(DoubleArray values) : data_(std::move(values)) {}
    Variant(VariantArray values) : data_(std::move(values)) {}
    Variant(Object object) : data_(std::move(object)) {}

    VariantKind Kind() const { return static_cast<VariantKind>(data_.index()); }
    bool IsEmpty() const { return Kind() == VariantKind::Empty; }
    const Storage& Data() const { return data_; }

    // Exact accessors: the value must hold that kind, else type mismatch.
    bool AsBool() const;
    std::int16_t AsInt16() const;
    std::int32_t AsInt32() const;
    double AsDouble() const;
    const std::string& AsText() const;
    const Int16Array& AsInt16Array() const;
    const DoubleArray& AsDoubleArray() const;
    const VariantArray& AsVariantArray() const;
    // An empty reference fails as "object required".
    const Object& AsObject() const;

    // Coercions as automation clients apply them to results: any number
    // (bool, 16/32-bit integer, double) as a double or 32-bit integer;
    // a double array, or a variant array of numbers, as doubles.
    double ToDouble() const;
    std::int32_t ToInt32() const;
    DoubleArray ToDoubleArray() const;

    friend bool operator==(const Variant& a, const Variant& b);

  private:
    Storage data_;
};

// A readable form for test output and diagnostics: 16-bit integers as
// "i2:5", doubles as "r8:1.5", text quoted, arrays bracketed.
std::string Describe(const Variant& value);

std::string_view KindName(VariantKind kind);

}  // namespace velmora
