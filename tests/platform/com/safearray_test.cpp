#include "platform/com/safearray.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/com/bstr.h"

using platform::com::Bstr;
using platform::com::Variant;

TEST(SafeArray, HoldsAByteVectorWithItsBoundsAndLocks) {
    SAFEARRAY* psa = SafeArrayCreateVector(VT_UI1, 1, 4);
    ASSERT_NE(psa, nullptr);
    EXPECT_EQ(SafeArrayGetDim(psa), 1u);
    EXPECT_EQ(SafeArrayGetElemsize(psa), 1u);
    LONG lo, hi;
    ASSERT_EQ(SafeArrayGetLBound(psa, 1, &lo), S_OK);
    ASSERT_EQ(SafeArrayGetUBound(psa, 1, &hi), S_OK);
    EXPECT_EQ(lo, 1);
    EXPECT_EQ(hi, 4);
    EXPECT_EQ(SafeArrayGetLBound(psa, 2, &lo), DISP_E_BADINDEX);

    void* data;
    ASSERT_EQ(SafeArrayAccessData(psa, &data), S_OK);
    std::memcpy(data, "\x01\x02\x03\x04", 4);
    EXPECT_EQ(SafeArrayDestroy(psa), DISP_E_ARRAYISLOCKED);
    ASSERT_EQ(SafeArrayUnaccessData(psa), S_OK);
    EXPECT_EQ(SafeArrayUnaccessData(psa), E_UNEXPECTED);

    LONG index = 4;
    BYTE b = 0;
    ASSERT_EQ(SafeArrayGetElement(psa, &index, &b), S_OK);
    EXPECT_EQ(b, 4);
    index = 5;
    EXPECT_EQ(SafeArrayGetElement(psa, &index, &b), DISP_E_BADINDEX);

    VARTYPE vt;
    ASSERT_EQ(SafeArrayGetVartype(psa, &vt), S_OK);
    EXPECT_EQ(vt, VT_UI1);
    EXPECT_EQ(SafeArrayDestroy(psa), S_OK);
}

TEST(SafeArray, CopiesStringsAndDimensionsThroughAVariant) {
    SAFEARRAYBOUND bounds[2] = {{2, 0}, {3, 10}};
    SAFEARRAY* grid = SafeArrayCreate(VT_BSTR, 2, bounds);
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(SafeArrayGetDim(grid), 2u);
    LONG at[2] = {1, 12};
    Bstr text("corner");
    ASSERT_EQ(SafeArrayPutElement(grid, at, text.get()), S_OK);

    Variant v;
    v.ptr()->vt = VT_ARRAY | VT_BSTR;
    v.ptr()->parray = grid;
    Variant copy = v;
    ASSERT_NE(copy.get().parray, grid);
    BSTR got = nullptr;
    ASSERT_EQ(SafeArrayGetElement(copy.get().parray, at, &got), S_OK);
    EXPECT_EQ(platform::com::Utf8(got), "corner");
    SysFreeString(got);
    LONG outside[2] = {2, 10};
    EXPECT_EQ(SafeArrayGetElement(copy.get().parray, outside, &got), DISP_E_BADINDEX);
    // An array converts only to its own type.
    Variant other;
    EXPECT_EQ(VariantChangeType(other.ptr(), &v.get(), 0, VT_ARRAY | VT_UI1), DISP_E_TYPEMISMATCH);
}
