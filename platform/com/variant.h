// VARIANT: the tagged value automation passes, with the type codes of types.h, and the
// conversions between them (VariantChangeType).
//
// Conversion rules of this layer:
//  - numbers convert to each other when the value fits the target (else DISP_E_OVERFLOW); reals
//    and currency go to whole numbers rounded half to even;
//  - a BOOL is -1 (VARIANT_TRUE) or 0 as a number; a number is TRUE when it is not 0;
//  - numbers become text in the C locale: whole numbers in decimal, R4 with up to 7 and R8 with up
//    to 15 significant digits, currency with up to four decimals; a BOOL becomes "True" or "False";
//    a DATE becomes "YYYY-MM-DD", "HH:MM:SS" or both;
//  - text becomes a number when, after leading and trailing blanks, it is a decimal number (sign,
//    digits, an optional fraction and exponent) or "&H" hex / "&O" octal digits with an optional
//    trailing "&" (without the "&", four digits or fewer are a 16-bit number: "&HFFFF" is -1); text
//    becomes a BOOL from "True"/"False" (any case) or a number; text becomes a DATE from the forms
//    above; anything else is DISP_E_TYPEMISMATCH;
//  - VT_EMPTY converts to 0, "" or FALSE; VT_NULL converts to nothing (DISP_E_TYPEMISMATCH);
//  - an object (VT_DISPATCH / VT_UNKNOWN) converts to the other object type through QueryInterface
//    and to a value through its default property (DISPID_VALUE);
//  - a by-reference source is read through its pointer.
#pragma once

#include <string>
#include <string_view>

#include "platform/com/bstr.h"
#include "platform/com/unknown.h"

struct SAFEARRAY;

struct VARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        LONGLONG llVal;
        LONG lVal;
        BYTE bVal;
        SHORT iVal;
        FLOAT fltVal;
        DOUBLE dblVal;
        VARIANT_BOOL boolVal;
        SCODE scode;
        CY cyVal;
        DATE date;
        BSTR bstrVal;
        IUnknown* punkVal;
        IDispatch* pdispVal;
        SAFEARRAY* parray;
        CHAR cVal;
        USHORT uiVal;
        ULONG ulVal;
        INT intVal;
        UINT uintVal;
        BYTE* pbVal;
        SHORT* piVal;
        LONG* plVal;
        FLOAT* pfltVal;
        DOUBLE* pdblVal;
        VARIANT_BOOL* pboolVal;
        SCODE* pscode;
        CY* pcyVal;
        DATE* pdate;
        BSTR* pbstrVal;
        IUnknown** ppunkVal;
        IDispatch** ppdispVal;
        SAFEARRAY** pparray;
        VARIANT* pvarVal;
        void* byref;
    };
};
using VARIANTARG = VARIANT;
using LPVARIANT = VARIANT*;

// Flags of VariantChangeType.
inline constexpr USHORT VARIANT_NOVALUEPROP = 0x1;
inline constexpr USHORT VARIANT_ALPHABOOL = 0x2;

void VariantInit(VARIANTARG* pvarg);
// Frees what the variant owns (string, array, object reference) and leaves it VT_EMPTY.
HRESULT VariantClear(VARIANTARG* pvarg);
// Deep copy (strings and arrays copied, objects AddRef'ed); by-reference values are copied as
// references.
HRESULT VariantCopy(VARIANTARG* pvargDest, const VARIANTARG* pvargSrc);
// As VariantCopy, but a by-reference source is copied as the value it points to.
HRESULT VariantCopyInd(VARIANT* pvarDest, const VARIANTARG* pvargSrc);
// Converts pvarSrc to vt into pvargDest (which may be pvarSrc). On failure pvargDest is unchanged.
HRESULT VariantChangeType(VARIANTARG* pvargDest, const VARIANTARG* pvarSrc, USHORT wFlags,
                          VARTYPE vt);
HRESULT VariantChangeTypeEx(VARIANTARG* pvargDest, const VARIANTARG* pvarSrc, LCID lcid,
                            USHORT wFlags, VARTYPE vt);

namespace platform::com {

// Owns one VARIANT.
class Variant {
public:
    Variant() { VariantInit(&v_); }
    Variant(const VARIANT& v) {
        VariantInit(&v_);
        VariantCopy(&v_, &v);
    }
    Variant(const Variant& o) : Variant(o.v_) {}
    Variant(Variant&& o) noexcept : v_(o.v_) { VariantInit(&o.v_); }
    Variant& operator=(const Variant& o) {
        if (this != &o) VariantCopy(&v_, &o.v_);
        return *this;
    }
    Variant& operator=(Variant&& o) noexcept {
        std::swap(v_, o.v_);
        return *this;
    }
    ~Variant() { VariantClear(&v_); }

    static Variant I2(SHORT v);
    static Variant I4(LONG v);
    static Variant UI1(BYTE v);
    static Variant UI4(ULONG v);
    static Variant R4(FLOAT v);
    static Variant R8(DOUBLE v);
    static Variant Cy(LONGLONG scaled);
    static Variant Date(DATE v);
    static Variant Bool(bool v);
    static Variant String(std::string_view utf8);
    static Variant Error(SCODE code);
    // A missing optional argument: VT_ERROR with DISP_E_PARAMNOTFOUND.
    static Variant Missing() { return Error(DISP_E_PARAMNOTFOUND); }
    static Variant Null();
    // Takes a new reference on the object.
    static Variant Dispatch(IDispatch* p);
    static Variant Unknown(IUnknown* p);
    // Adopts a variant (takes over what it owns and leaves it empty).
    static Variant Attach(VARIANT* v);

    VARTYPE vt() const { return v_.vt; }
    const VARIANT& get() const { return v_; }
    VARIANT* ptr() { return &v_; }
    // Clears the value and hands out the VARIANT to be filled.
    VARIANT* out() {
        VariantClear(&v_);
        return &v_;
    }
    VARIANT detach() {
        VARIANT v = v_;
        VariantInit(&v_);
        return v;
    }
    // The value converted to vt (VariantChangeType); hr receives the result when not null.
    Variant As(VARTYPE vt, HRESULT* hr = nullptr) const;
    // The value as text (VariantChangeType to VT_BSTR); "" when it cannot be converted.
    std::string ToString() const;

private:
    VARIANT v_;
};

// A readable form for diagnostics: "I2 5", "BSTR \"abc\"", "EMPTY".
std::string Describe(const VARIANT& v);

}  // namespace platform::com
