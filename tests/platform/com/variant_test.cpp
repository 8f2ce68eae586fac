#include "platform/com/variant.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/com/bstr.h"

using platform::com::Bstr;
using platform::com::Describe;
using platform::com::Utf16;
using platform::com::Utf8;
using platform::com::Variant;

TEST(Bstr, KeepsLengthEmbeddedZerosAndUnicode) {
    Bstr empty("");
    EXPECT_NE(empty.get(), nullptr);
    EXPECT_EQ(SysStringLen(empty.get()), 0u);
    EXPECT_EQ(SysStringLen(nullptr), 0u);

    const OLECHAR withZero[] = {u'a', 0, u'b'};
    BSTR b = SysAllocStringLen(withZero, 3);
    EXPECT_EQ(SysStringLen(b), 3u);
    EXPECT_EQ(SysStringByteLen(b), 6u);
    EXPECT_EQ(b[3], 0);  // always terminated
    SysFreeString(b);

    // Characters outside the basic plane take two code units and come back unchanged.
    std::string text = "Gr\xC3\xBC\xC3\x9F \xF0\x9F\x98\x80";
    Bstr unicode(text);
    EXPECT_EQ(SysStringLen(unicode.get()), 7u);
    EXPECT_EQ(unicode.str(), text);
    // A broken sequence becomes the replacement character.
    EXPECT_EQ(Utf8(Utf16("a\xC3")), "a\xEF\xBF\xBD");
}

namespace {

struct Conversion {
    Variant from;
    VARTYPE to;
    HRESULT hr;
    const char* expected;  // Describe() of the result
};

}  // namespace

TEST(VariantChangeType, ConvertsBetweenTheAutomationTypes) {
    const Conversion cases[] = {
        // numbers to numbers: range checks and half-to-even rounding
        {Variant::I4(32767), VT_I2, S_OK, "I2 32767"},
        {Variant::I4(32768), VT_I2, DISP_E_OVERFLOW, ""},
        {Variant::I4(-1), VT_UI1, DISP_E_OVERFLOW, ""},
        {Variant::R8(2.5), VT_I2, S_OK, "I2 2"},
        {Variant::R8(3.5), VT_I4, S_OK, "I4 4"},
        {Variant::R8(-2.5), VT_I4, S_OK, "I4 -2"},
        {Variant::Cy(25000), VT_I2, S_OK, "I2 2"},
        {Variant::Cy(35000), VT_I2, S_OK, "I2 4"},
        {Variant::R4(10.5f), VT_CY, S_OK, "CY 10.5"},
        {Variant::Cy(105000), VT_R4, S_OK, "R4 10.5"},
        {Variant::R8(1e300), VT_R4, DISP_E_OVERFLOW, ""},
        // booleans
        {Variant::Bool(true), VT_I2, S_OK, "I2 -1"},
        {Variant::I2(7), VT_BOOL, S_OK, "BOOL True"},
        {Variant::I2(0), VT_BOOL, S_OK, "BOOL False"},
        {Variant::String(" TRUE "), VT_BOOL, S_OK, "BOOL True"},
        {Variant::String("0"), VT_BOOL, S_OK, "BOOL False"},
        {Variant::String("yes"), VT_BOOL, DISP_E_TYPEMISMATCH, ""},
        // text to numbers
        {Variant::String("  -12 "), VT_I2, S_OK, "I2 -12"},
        {Variant::String("1.5e2"), VT_I4, S_OK, "I4 150"},
        {Variant::String("&HFF"), VT_I2, S_OK, "I2 255"},
        {Variant::String("&HFFFF"), VT_I2, S_OK, "I2 -1"},
        {Variant::String("&HFFFF&"), VT_I4, S_OK, "I4 65535"},
        {Variant::String("&H80000018"), VT_UI4, DISP_E_OVERFLOW, ""},
        {Variant::String("&H7FFFFFFF"), VT_I4, S_OK, "I4 2147483647"},
        {Variant::String("&O17"), VT_I2, S_OK, "I2 15"},
        {Variant::String("12abc"), VT_I4, DISP_E_TYPEMISMATCH, ""},
        {Variant::String(""), VT_I4, DISP_E_TYPEMISMATCH, ""},
        {Variant::String("10.5"), VT_R4, S_OK, "R4 10.5"},
        // numbers to text
        {Variant::I2(-5), VT_BSTR, S_OK, "BSTR \"-5\""},
        {Variant::R4(0.1f), VT_BSTR, S_OK, "BSTR \"0.1\""},
        {Variant::R8(1.0 / 3), VT_BSTR, S_OK, "BSTR \"0.333333333333333\""},
        {Variant::Cy(-123456), VT_BSTR, S_OK, "BSTR \"-12.3456\""},
        {Variant::Cy(80000), VT_BSTR, S_OK, "BSTR \"8\""},
        {Variant::Bool(false), VT_BSTR, S_OK, "BSTR \"False\""},
        // dates
        {Variant::Date(2.5), VT_BSTR, S_OK, "BSTR \"1900-01-01 12:00:00\""},
        {Variant::String("2024-02-29"), VT_DATE, S_OK, "DATE 2024-02-29"},
        {Variant::String("2023-02-29"), VT_DATE, DISP_E_TYPEMISMATCH, ""},
        {Variant::String("06:30:00"), VT_DATE, S_OK, "DATE 06:30:00"},
        // empty, null, errors
        {Variant(), VT_I4, S_OK, "I4 0"},
        {Variant(), VT_BSTR, S_OK, "BSTR \"\""},
        {Variant::Null(), VT_I4, DISP_E_TYPEMISMATCH, ""},
        {Variant::Missing(), VT_I2, DISP_E_TYPEMISMATCH, ""},
        {Variant::I4(5), VT_DISPATCH, DISP_E_TYPEMISMATCH, ""},
        {Variant::I4(5), static_cast<VARTYPE>(VT_I4 | VT_BYREF), DISP_E_BADVARTYPE, ""},
    };
    for (const auto& c : cases) {
        Variant result = Variant::I2(99);
        HRESULT hr = VariantChangeType(result.ptr(), &c.from.get(), 0, c.to);
        EXPECT_EQ(hr, c.hr) << Describe(c.from.get()) << " -> " << c.to;
        if (SUCCEEDED(hr)) {
            EXPECT_EQ(Describe(result.get()), c.expected) << Describe(c.from.get());
        } else {
            EXPECT_EQ(Describe(result.get()), "I2 99") << "a failed conversion leaves the target";
        }
    }
}

TEST(VariantChangeType, ReadsThroughReferencesAndConvertsInPlace) {
    SHORT value = 12;
    VARIANT ref;
    VariantInit(&ref);
    ref.vt = VT_I2 | VT_BYREF;
    ref.piVal = &value;
    Variant out;
    ASSERT_EQ(VariantChangeType(out.ptr(), &ref, 0, VT_BSTR), S_OK);
    EXPECT_EQ(Describe(out.get()), "BSTR \"12\"");

    ASSERT_EQ(VariantChangeType(out.ptr(), out.ptr(), 0, VT_R8), S_OK);
    EXPECT_EQ(Describe(out.get()), "R8 12");

    Variant copy;
    ASSERT_EQ(VariantCopyInd(copy.ptr(), &ref), S_OK);
    value = 13;
    EXPECT_EQ(Describe(copy.get()), "I2 12");
}

namespace {

// An object whose default value (DISPID_VALUE) is 42.
class Answer final : public IDispatch {
public:
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_IDispatch) {
            *ppv = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }
    HRESULT GetTypeInfoCount(UINT* n) override {
        *n = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                   UINT*) override {
        if (id != DISPID_VALUE || !(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
        result->vt = VT_I4;
        result->lVal = 42;
        return S_OK;
    }
    ULONG refs = 1;
};

}  // namespace

TEST(VariantChangeType, TakesAnObjectsDefaultValueAndCountsReferences) {
    Answer answer;
    {
        Variant v = Variant::Dispatch(&answer);
        EXPECT_EQ(answer.refs, 2u);
        Variant copy = v;
        EXPECT_EQ(answer.refs, 3u);
        Variant n;
        ASSERT_EQ(VariantChangeType(n.ptr(), &v.get(), 0, VT_I2), S_OK);
        EXPECT_EQ(Describe(n.get()), "I2 42");
        EXPECT_EQ(VariantChangeType(n.ptr(), &v.get(), VARIANT_NOVALUEPROP, VT_I2),
                  DISP_E_TYPEMISMATCH);
        Variant unk;
        ASSERT_EQ(VariantChangeType(unk.ptr(), &v.get(), 0, VT_UNKNOWN), S_OK);
        EXPECT_EQ(answer.refs, 4u);
    }
    EXPECT_EQ(answer.refs, 1u);
}
