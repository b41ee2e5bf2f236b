// Arrays as other programs hand them over: a SAFEARRAY is read only when
// its own element type and size, its dimensions and its bounds agree with
// what the VARIANT claims; anything else fails with a status instead of
// reading past the array.
#include <gtest/gtest.h>

#include <functional>

#include "automation/com/com_value.h"
#include "status_of.h"

namespace velmora {
namespace {

// `count` elements of `size` bytes from `lower` on, of `type` (VT_EMPTY: an
// array made by hand, SafeArrayAllocDescriptor, that says no type); numbers
// 1, 2, 3 … where the type holds them.
SAFEARRAY* Made(VARTYPE type, LONG lower, ULONG count, ULONG size = 8) {
    SAFEARRAY* array = nullptr;
    if (type == VT_EMPTY) {
        SafeArrayAllocDescriptor(1, &array);
        array->cbElements = size;
        array->rgsabound[0] = {count, lower};
        SafeArrayAllocData(array);
    } else {
        array = SafeArrayCreateVector(type, lower, count);
    }
    for (ULONG i = 0; i < count; ++i) {
        void* at = static_cast<char*>(array->pvData) + std::size_t(i) * array->cbElements;
        if (type == VT_I2) *static_cast<SHORT*>(at) = SHORT(i + 1);
        if (type == VT_R8 || (type == VT_EMPTY && size == 8)) *static_cast<double*>(at) = i + 1.0;
        if (type == VT_VARIANT) {
            static_cast<VARIANT*>(at)->vt = VT_R8;
            static_cast<VARIANT*>(at)->dblVal = i + 1.0;
        }
    }
    return array;
}

TEST(ComArrays, ReadOnlyWhatTheArrayItselfHolds) {
    const Variant mismatch;  // stands for "fails as a type mismatch"
    SAFEARRAYBOUND grid[2] = {{2, 0}, {2, 0}};
    const struct {
        const char* name;
        VARTYPE claimed;  // the VARIANT's element type
        std::function<SAFEARRAY*()> make;
        Variant expected;
    } cases[] = {
        {"doubles", VT_R8, [] { return Made(VT_R8, 0, 3); }, DoubleArray{1, 2, 3}},
        {"16-bit integers from -5", VT_I2, [] { return Made(VT_I2, -5, 2); }, Int16Array{1, 2}},
        {"variants from 1", VT_VARIANT, [] { return Made(VT_VARIANT, 1, 2); },
         VariantArray{1.0, 2.0}},
        {"empty", VT_R8, [] { return Made(VT_R8, 0, 0); }, DoubleArray{}},
        {"one at LONG's top", VT_R8, [] { return Made(VT_R8, 0x7FFFFFFF, 1); }, DoubleArray{1}},
        {"untyped 8 bytes as doubles", VT_R8, [] { return Made(VT_EMPTY, 0, 2); },
         DoubleArray{1, 2}},
        {"4-byte elements as doubles", VT_R8, [] { return Made(VT_I4, 0, 3); }, mismatch},
        {"64-bit integers as doubles", VT_R8, [] { return Made(VT_I8, 0, 2); }, mismatch},
        {"doubles as 16-bit integers", VT_I2, [] { return Made(VT_R8, 0, 3); }, mismatch},
        {"doubles as variants", VT_VARIANT, [] { return Made(VT_R8, 0, 3); }, mismatch},
        {"variants as doubles", VT_R8, [] { return Made(VT_VARIANT, 0, 1); }, mismatch},
        {"untyped as variants", VT_VARIANT, [] { return Made(VT_EMPTY, 0, 1, 24); }, mismatch},
        {"untyped 4 bytes as doubles", VT_R8, [] { return Made(VT_EMPTY, 0, 3, 4); }, mismatch},
        {"two dimensions", VT_R8, [&] { return SafeArrayCreate(VT_R8, 2, grid); }, mismatch},
        {"bounds past LONG's range", VT_R8, [] { return Made(VT_R8, 0x7FFFFFFF, 2); }, mismatch},
    };
    for (const auto& c : cases) {
        ComVariant owner;  // destroys the array
        owner.Get()->vt = VT_ARRAY | c.claimed;
        owner.Get()->parray = c.make();
        // By reference, as a program may hand a result back.
        VARIANT value{};
        value.vt = VT_BYREF | VT_ARRAY | c.claimed;
        value.pparray = &owner.Get()->parray;
        if (c.expected.IsEmpty()) {
            EXPECT_EQ(testing::StatusOf([&] { (void)FromComVariant(value); }),
                      status::kTypeMismatch)
                << c.name;
        } else {
            EXPECT_EQ(FromComVariant(owner.Ref()), c.expected) << c.name;
            EXPECT_EQ(FromComVariant(value), c.expected) << c.name;
        }
    }
}

}  // namespace
}  // namespace velmora
