// Every conversion the automation layer applies to values that come from
// AutoCAD or Excel, on arbitrary values built from the input (nested
// arrays, empty references, NaN and infinities, huge doubles): the exact
// accessors and the coercions either give the value or fail with the
// type-mismatch, overflow or object-required status, and the coercions
// agree with what they promise. Also the check of an array's header before
// its elements are read: any dimensions, element type and size, and bounds
// up to LONG's ends.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "automation/array_header.h"
#include "automation/failure.h"
#include "automation/object.h"
#include "automation/status.h"
#include "automation/variant.h"
#include "fuzz_check.h"
#include "fuzz_input.h"

namespace {

using namespace velmora;

// An object from outside; never called here.
class Opaque : public Dispatch {
  public:
    Variant Get(std::string_view, std::span<const Variant>) override { return {}; }
    void Put(std::string_view, std::span<const Variant>, const Variant&) override {}
    Variant Call(std::string_view, std::span<const Variant>) override { return {}; }
    std::vector<Variant> Enumerate() override { return {}; }
};

using Reader = FuzzInput;

Variant MakeVariant(Reader& in, int depth) {
    const auto count = [&] { return std::size_t(in.Take<std::uint8_t>() % 8); };
    switch (in.Take<std::uint8_t>() % 11) {
        case 0:
            return {};
        case 1:
            return Variant(in.Take<std::uint8_t>() % 2 == 1);
        case 2:
            return Variant(in.Take<std::int16_t>());
        case 3:
            return Variant(in.Take<std::int32_t>());
        case 4:
            return Variant(in.Take<double>());
        case 5: {
            std::string text(count() * 3, '\0');
            for (char& c : text) c = char(in.Take<std::uint8_t>());
            return Variant(std::move(text));
        }
        case 6: {
            Int16Array values(count());
            for (auto& value : values) value = in.Take<std::int16_t>();
            return Variant(std::move(values));
        }
        case 7: {
            DoubleArray values(count());
            for (auto& value : values) value = in.Take<double>();
            return Variant(std::move(values));
        }
        case 8: {
            VariantArray values;
            if (depth < 3) {
                for (std::size_t n = count(); n > 0 && !in.Done(); --n) {
                    values.push_back(MakeVariant(in, depth + 1));
                }
            }
            return Variant(std::move(values));
        }
        case 9:
            return Variant(Object());
        default:
            return Variant(Object(std::make_shared<Opaque>()));
    }
}

template <class Step>
bool Attempt(Step&& step, std::initializer_list<std::uint32_t> allowed) {
    try {
        step();
        return true;
    } catch (const Failure& failure) {
        bool known = false;
        for (std::uint32_t status : allowed) known = known || failure.Status() == status;
        FUZZ_CHECK(known);
        return false;
    }
}

bool IsNumber(VariantKind kind) {
    return kind == VariantKind::Bool || kind == VariantKind::Int16 || kind == VariantKind::Int32 ||
           kind == VariantKind::Double;
}

// The exact accessors, in VariantKind order.
bool TryAccessor(const Variant& value, int which) {
    return Attempt(
        [&] {
            switch (which) {
                case 1:
                    value.AsBool();
                    break;
                case 2:
                    value.AsInt16();
                    break;
                case 3:
                    value.AsInt32();
                    break;
                case 4:
                    value.AsDouble();
                    break;
                case 5:
                    value.AsText();
                    break;
                case 6:
                    value.AsInt16Array();
                    break;
                case 7:
                    value.AsDoubleArray();
                    break;
                case 8:
                    value.AsVariantArray();
                    break;
                default:
                    FUZZ_CHECK(value.AsObject() != nullptr);
                    break;
            }
        },
        {status::kTypeMismatch, status::kObjectRequired});
}

// Every failed conversion unwinds an exception, which is slow under the
// sanitizers, so besides the accessor of the value's own kind only one
// other accessor, chosen by the input, is tried on each value.
void CheckVariant(const Variant& value, int otherAccessor) {
    const VariantKind kind = value.Kind();
    const int own = static_cast<int>(kind);
    if (kind == VariantKind::Object) {
        TryAccessor(value, own);  // an empty reference fails as object required
    } else if (kind != VariantKind::Empty) {
        FUZZ_CHECK(TryAccessor(value, own));
    }
    const int other = 1 + otherAccessor % 9;
    if (other != own) FUZZ_CHECK(!TryAccessor(value, other));

    double asDouble = 0;
    const bool isDouble = Attempt([&] { asDouble = value.ToDouble(); }, {status::kTypeMismatch});
    FUZZ_CHECK(isDouble == IsNumber(kind));

    std::int32_t asInt = 0;
    const bool isInt =
        Attempt([&] { asInt = value.ToInt32(); }, {status::kTypeMismatch, status::kOverflow});
    if (isInt) {
        FUZZ_CHECK(isDouble);
        // The nearest integer, a half going to the even one.
        FUZZ_CHECK(std::fabs(asDouble - asInt) <= 0.5);
        FUZZ_CHECK(std::fabs(asDouble - asInt) < 0.5 || asInt % 2 == 0);
    } else if (isDouble) {
        FUZZ_CHECK(kind == VariantKind::Double);
        FUZZ_CHECK(!(std::fabs(asDouble) < 2147483647.0));
    }

    DoubleArray asArray;
    if (Attempt([&] { asArray = value.ToDoubleArray(); }, {status::kTypeMismatch})) {
        FUZZ_CHECK(kind == VariantKind::DoubleArray || kind == VariantKind::VariantArray);
        if (kind == VariantKind::VariantArray) {
            const VariantArray& items = value.AsVariantArray();
            FUZZ_CHECK(asArray.size() == items.size());
            for (std::size_t i = 0; i < items.size(); ++i) {
                const double item = items[i].ToDouble();
                FUZZ_CHECK(item == asArray[i] || (std::isnan(item) && std::isnan(asArray[i])));
            }
        }
    }

    FUZZ_CHECK(!Describe(value).empty());
    const Variant copy = value;
    FUZZ_CHECK(copy.Kind() == kind);
    if (kind == VariantKind::VariantArray) {
        for (const Variant& item : value.AsVariantArray()) CheckVariant(item, otherAccessor + 1);
    }
}

// A bound: often one at LONG's ends or near 0, else any.
std::int32_t Bound(Reader& in) {
    constexpr std::int32_t kEdges[] = {INT32_MIN, INT32_MIN + 1, -2,       -1, 0, 1,
                                       2,         INT32_MAX - 1, INT32_MAX};
    const std::uint8_t pick = in.Take<std::uint8_t>();
    if (pick < 2 * std::size(kEdges)) return kEdges[pick % std::size(kEdges)];
    return in.Take<std::int32_t>();
}

// The header is read exactly when it is one-dimensional, of the expected
// element type (or of none said, and then not variants) and size, with
// upper >= lower - 1; the count is then upper - lower + 1, never wrapped.
void CheckArrayHeader(Reader& in) {
    constexpr ArrayElements kKinds[] = {{2, 2, false}, {5, 8, false}, {12, 24, true}};
    const ArrayElements& expected = kKinds[in.Take<std::uint8_t>() % std::size(kKinds)];
    ArrayHeader header;
    header.dimensions = in.Take<std::uint8_t>() % 4;
    header.elementType = in.Take<std::uint8_t>() % 2 ? expected.type : in.Take<std::uint16_t>();
    header.elementSize = in.Take<std::uint8_t>() % 2 ? expected.size : in.Take<std::uint8_t>();
    header.lower = Bound(in);
    header.upper = Bound(in);
    const std::int64_t span = std::int64_t{header.upper} - header.lower + 1;
    const bool typeFits =
        header.elementType == expected.type || (header.elementType == 0 && !expected.variants);
    const bool readable =
        header.dimensions == 1 && typeFits && header.elementSize == expected.size && span >= 0;
    std::size_t count = 0;
    FUZZ_CHECK(Attempt([&] { count = CheckedElementCount(header, expected); },
                       {status::kTypeMismatch}) == readable);
    if (readable) FUZZ_CHECK(count == static_cast<std::uint64_t>(span) && count <= 1ull << 32);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Reader in(data, size);
    CheckArrayHeader(in);
    for (int n = 0; n < 4 && !in.Done(); ++n) {
        const int otherAccessor = in.Take<std::uint8_t>();
        CheckVariant(MakeVariant(in, 0), otherAccessor);
    }
    return 0;
}
