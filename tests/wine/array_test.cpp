// Arrays as other programs hand them over: a SAFEARRAY is read only when
// its own element type and size, its dimensions and its bounds agree with
// what the VARIANT claims; anything else fails with a status instead of
// reading past the array.
#include <gtest/gtest.h>

#include <functional>

#include "automation/com/com_value.h"
#include "automation/failure.h"
#include "status_of.h"

namespace velmora {
namespace {

// A vector of `count` elements of `type` from `lower` on, filled with the
// numbers 1, 2, 3 … in that type.
SAFEARRAY* Vector(VARTYPE type, LONG lower, ULONG count) {
    SAFEARRAY* array = SafeArrayCreateVector(type, lower, count);
    void* data = nullptr;
    if (!array || FAILED(SafeArrayAccessData(array, &data))) return array;
    for (ULONG i = 0; i < count; ++i) {
        if (type == VT_I2) static_cast<SHORT*>(data)[i] = SHORT(i + 1);
        if (type == VT_I4) static_cast<LONG*>(data)[i] = LONG(i + 1);
        if (type == VT_R8) static_cast<double*>(data)[i] = i + 1.0;
        if (type == VT_VARIANT) {
            VARIANT& element = static_cast<VARIANT*>(data)[i];
            element.vt = VT_R8;
            element.dblVal = i + 1.0;
        }
    }
    SafeArrayUnaccessData(array);
    return array;
}

// Elements of `size` bytes with no element type of their own, as an array
// made by hand (SafeArrayAllocDescriptor) comes; doubles when they fit.
SAFEARRAY* Untyped(ULONG count, ULONG size = sizeof(double)) {
    SAFEARRAY* array = nullptr;
    SafeArrayAllocDescriptor(1, &array);
    array->cbElements = size;
    array->rgsabound[0] = {count, 0};
    SafeArrayAllocData(array);
    for (ULONG i = 0; size == sizeof(double) && i < count; ++i) {
        static_cast<double*>(array->pvData)[i] = i + 1.0;
    }
    return array;
}

SAFEARRAY* Grid() {
    SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
    return SafeArrayCreate(VT_R8, 2, bounds);
}

TEST(ComArrays, ReadOnlyWhatTheArrayItselfHolds) {
    const Variant mismatch;  // stands for "fails as a type mismatch"
    const struct {
        const char* name;
        VARTYPE claimed;  // the VARIANT's element type
        std::function<SAFEARRAY*()> make;
        Variant expected;
    } cases[] = {
        {"doubles", VT_R8, [] { return Vector(VT_R8, 0, 3); }, DoubleArray{1, 2, 3}},
        {"16-bit integers from -5", VT_I2, [] { return Vector(VT_I2, -5, 2); }, Int16Array{1, 2}},
        {"variants", VT_VARIANT, [] { return Vector(VT_VARIANT, 1, 2); }, VariantArray{1.0, 2.0}},
        {"empty", VT_R8, [] { return Vector(VT_R8, 0, 0); }, DoubleArray{}},
        {"one element at LONG's top", VT_R8, [] { return Vector(VT_R8, 0x7FFFFFFF, 1); },
         DoubleArray{1}},
        {"untyped 8-byte elements as doubles", VT_R8, [] { return Untyped(2); }, DoubleArray{1, 2}},
        {"4-byte elements claimed as doubles", VT_R8, [] { return Vector(VT_I4, 0, 3); }, mismatch},
        {"doubles claimed as 16-bit integers", VT_I2, [] { return Vector(VT_R8, 0, 3); }, mismatch},
        {"doubles claimed as variants", VT_VARIANT, [] { return Vector(VT_R8, 0, 3); }, mismatch},
        {"variants claimed as doubles", VT_R8, [] { return Vector(VT_VARIANT, 0, 1); }, mismatch},
        {"untyped elements claimed as variants", VT_VARIANT, [] { return Untyped(3); }, mismatch},
        {"untyped 4-byte elements claimed as doubles", VT_R8, [] { return Untyped(3, 4); },
         mismatch},
        {"two dimensions", VT_R8, Grid, mismatch},
        {"bounds past LONG's range", VT_R8, [] { return Vector(VT_R8, 0x7FFFFFFF, 2); }, mismatch},
    };
    for (const auto& c : cases) {
        for (bool byReference : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (byReference ? ", by reference" : ""));
            ComVariant owner;  // destroys the array
            owner.Get()->vt = VT_ARRAY | c.claimed;
            owner.Get()->parray = c.make();
            ASSERT_NE(owner.Ref().parray, nullptr);
            VARIANT reference{};
            reference.vt = VT_BYREF | VT_ARRAY | c.claimed;
            reference.pparray = &owner.Get()->parray;
            const VARIANT& value = byReference ? reference : owner.Ref();
            if (c.expected.IsEmpty()) {
                EXPECT_EQ(testing::StatusOf([&] { (void)FromComVariant(value); }),
                          status::kTypeMismatch);
            } else {
                EXPECT_EQ(FromComVariant(value), c.expected);
            }
        }
    }
}

}  // namespace
}  // namespace velmora
