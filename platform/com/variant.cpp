#include "platform/com/variant.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>

#include "platform/com/safearray.h"

namespace {

using platform::com::Utf16;
using platform::com::Utf8;

// A value on its way from one type to another.
struct Value {
    enum Kind { Empty, Null, Int, Real, Cy, Bool, Str, Date, Obj, Error } kind = Empty;
    LONGLONG i = 0;           // Int, Cy (scaled), Error
    double d = 0;             // Real, Date
    bool b = false;           // Bool
    std::u16string s;         // Str
    IUnknown* obj = nullptr;  // Obj (not owned)
    bool isDispatch = false;
    bool single = false;  // Real read from a 4-byte float
};

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

std::u16string_view Trim(std::u16string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool EqualsNoCase(std::u16string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char16_t c = a[i];
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
        char d = b[i];
        if (d >= 'A' && d <= 'Z') d = static_cast<char>(d - 'A' + 'a');
        if (c != static_cast<char16_t>(static_cast<unsigned char>(d))) return false;
    }
    return true;
}

// Rounds half to even.
double RoundEven(double x) {
    return std::nearbyint(x);
}

LONGLONG RoundEvenDiv(LONGLONG v, LONGLONG by) {
    LONGLONG q = v / by, r = v % by;
    LONGLONG twice = 2 * (r < 0 ? -r : r);
    if (twice > by || (twice == by && (q % 2 != 0))) q += (v < 0 ? -1 : 1);
    return q;
}

// ---- text -> number ----

std::optional<Value> ParseNumber(std::u16string_view text) {
    std::u16string_view t = Trim(text);
    if (t.empty()) return std::nullopt;
    std::string a;
    for (char16_t c : t) {
        if (c > 0x7F) return std::nullopt;
        a += static_cast<char>(c);
    }
    Value v;
    if (a.size() >= 2 && a[0] == '&' &&
        (a[1] == 'H' || a[1] == 'h' || a[1] == 'O' || a[1] == 'o')) {
        bool hex = a[1] == 'H' || a[1] == 'h';
        std::string digits = a.substr(2);
        bool forceLong = !digits.empty() && digits.back() == '&';
        if (forceLong) digits.pop_back();
        if (digits.empty()) return std::nullopt;
        unsigned long long n = 0;
        auto r = std::from_chars(digits.data(), digits.data() + digits.size(), n, hex ? 16 : 8);
        if (r.ec != std::errc() || r.ptr != digits.data() + digits.size()) return std::nullopt;
        if (n > 0xFFFFFFFFull) return std::nullopt;
        v.kind = Value::Int;
        if (!forceLong && n <= 0xFFFF && (hex ? digits.size() <= 4 : n <= 0xFFFF)) {
            v.i = static_cast<std::int16_t>(static_cast<std::uint16_t>(n));
        } else {
            v.i = static_cast<std::int32_t>(static_cast<std::uint32_t>(n));
        }
        return v;
    }
    size_t p = 0;
    if (p < a.size() && (a[p] == '+' || a[p] == '-')) ++p;
    size_t digitsBefore = 0;
    while (p < a.size() && a[p] >= '0' && a[p] <= '9') ++p, ++digitsBefore;
    bool fraction = false, exponent = false;
    size_t digitsAfter = 0;
    if (p < a.size() && a[p] == '.') {
        fraction = true;
        ++p;
        while (p < a.size() && a[p] >= '0' && a[p] <= '9') ++p, ++digitsAfter;
    }
    if (digitsBefore + digitsAfter == 0) return std::nullopt;
    if (p < a.size() && (a[p] == 'e' || a[p] == 'E')) {
        exponent = true;
        ++p;
        if (p < a.size() && (a[p] == '+' || a[p] == '-')) ++p;
        size_t e = 0;
        while (p < a.size() && a[p] >= '0' && a[p] <= '9') ++p, ++e;
        if (e == 0) return std::nullopt;
    }
    if (p != a.size()) return std::nullopt;
    std::string num = a[0] == '+' ? a.substr(1) : a;
    if (!fraction && !exponent) {
        LONGLONG n = 0;
        auto r = std::from_chars(num.data(), num.data() + num.size(), n);
        if (r.ec == std::errc() && r.ptr == num.data() + num.size()) {
            v.kind = Value::Int;
            v.i = n;
            return v;
        }
    }
    double d = 0;
    auto r = std::from_chars(num.data(), num.data() + num.size(), d);
    if (r.ec != std::errc() || r.ptr != num.data() + num.size()) return std::nullopt;
    v.kind = Value::Real;
    v.d = d;
    return v;
}

// ---- dates ----

// Days from 1970-01-01 of a civil date, and back (proleptic Gregorian calendar).
LONGLONG DaysFromCivil(LONGLONG y, unsigned m, unsigned d) {
    y -= m <= 2;
    LONGLONG era = (y >= 0 ? y : y - 399) / 400;
    unsigned yoe = static_cast<unsigned>(y - era * 400);
    unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<LONGLONG>(doe) - 719468;
}

void CivilFromDays(LONGLONG z, LONGLONG& y, unsigned& m, unsigned& d) {
    z += 719468;
    LONGLONG era = (z >= 0 ? z : z - 146096) / 146097;
    unsigned doe = static_cast<unsigned>(z - era * 146097);
    unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = static_cast<LONGLONG>(yoe) + era * 400;
    unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2;
}

// The date's day number counts from 1899-12-30.
constexpr LONGLONG kDateEpoch = -25569;  // 1899-12-30 from 1970-01-01

std::string FormatDate(DATE date) {
    double whole = std::trunc(date);
    double frac = std::fabs(date - whole);
    LONGLONG seconds = static_cast<LONGLONG>(std::llround(frac * 86400.0));
    LONGLONG days = static_cast<LONGLONG>(whole);
    if (seconds >= 86400) {
        seconds -= 86400;
        days += date < 0 ? -1 : 1;
    }
    char buf[64];
    std::string out;
    if (days != 0 || seconds == 0) {
        LONGLONG y;
        unsigned m, d;
        CivilFromDays(days + kDateEpoch, y, m, d);
        std::snprintf(buf, sizeof buf, "%04lld-%02u-%02u", static_cast<long long>(y), m, d);
        out = buf;
    }
    if (seconds != 0) {
        std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", static_cast<int>(seconds / 3600),
                      static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
        if (!out.empty()) out += ' ';
        out += buf;
    }
    return out;
}

std::optional<DATE> ParseDate(std::u16string_view text) {
    std::string a;
    for (char16_t c : Trim(text)) {
        if (c > 0x7F) return std::nullopt;
        a += static_cast<char>(c);
    }
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, n = 0;
    bool hasDate = false, hasTime = false;
    if (std::sscanf(a.c_str(), "%d-%d-%d %d:%d:%d%n", &y, &mo, &d, &h, &mi, &s, &n) == 6 &&
        n == static_cast<int>(a.size())) {
        hasDate = hasTime = true;
    } else if (std::sscanf(a.c_str(), "%d-%d-%d%n", &y, &mo, &d, &n) == 3 &&
               n == static_cast<int>(a.size())) {
        hasDate = true;
    } else if (std::sscanf(a.c_str(), "%d:%d:%d%n", &h, &mi, &s, &n) == 3 &&
               n == static_cast<int>(a.size())) {
        hasTime = true;
    } else {
        return std::nullopt;
    }
    double days = 0;
    if (hasDate) {
        if (mo < 1 || mo > 12 || d < 1 || d > 31 || y < 100 || y > 9999) return std::nullopt;
        LONGLONG z = DaysFromCivil(y, static_cast<unsigned>(mo), static_cast<unsigned>(d));
        LONGLONG yy;
        unsigned mm, dd;
        CivilFromDays(z, yy, mm, dd);
        if (static_cast<int>(mm) != mo || static_cast<int>(dd) != d) return std::nullopt;
        days = static_cast<double>(z - kDateEpoch);
    }
    double frac = 0;
    if (hasTime) {
        if (h < 0 || h > 23 || mi < 0 || mi > 59 || s < 0 || s > 59) return std::nullopt;
        frac = (h * 3600 + mi * 60 + s) / 86400.0;
    }
    return days < 0 ? days - frac : days + frac;
}

// ---- number -> text ----

std::string FormatReal(double d, int digits) {
    if (std::isnan(d)) return "NaN";
    if (std::isinf(d)) return d < 0 ? "-Infinity" : "Infinity";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*G", digits, d);
    return buf;
}

std::string FormatCy(LONGLONG v) {
    bool negative = v < 0;
    unsigned long long u =
        negative ? 0ull - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
    std::string out = std::to_string(u / 10000);
    unsigned frac = static_cast<unsigned>(u % 10000);
    if (frac) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "%04u", frac);
        std::string f = buf;
        while (!f.empty() && f.back() == '0') f.pop_back();
        out += "." + f;
    }
    return negative ? "-" + out : out;
}

// ---- reading a variant ----

HRESULT Read(const VARIANT& src, Value& v, USHORT flags, int depth);

HRESULT ReadDefaultValue(IUnknown* obj, Value& v, USHORT flags, int depth) {
    if (!obj || (flags & VARIANT_NOVALUEPROP) || depth > 4) return DISP_E_TYPEMISMATCH;
    auto disp = platform::com::Query<IDispatch>(obj, IID_IDispatch);
    if (!disp) return DISP_E_TYPEMISMATCH;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    platform::com::Variant result;
    HRESULT hr = disp->Invoke(DISPID_VALUE, GUID_NULL, 0, DISPATCH_PROPERTYGET, &none, result.ptr(),
                              nullptr, nullptr);
    if (FAILED(hr)) return DISP_E_TYPEMISMATCH;
    hr = Read(result.get(), v, flags, depth + 1);
    // Keep a string; objects are not owned by Value, so a returned object cannot be used.
    if (v.kind == Value::Obj) hr = DISP_E_TYPEMISMATCH;
    return hr;
}

// The variant's field, or for a by-reference variant what it points to.
template <class T>
T Field(const VARIANT& src, bool ref, T VARIANT::*field) {
    return ref ? *static_cast<const T*>(src.byref) : src.*field;
}

HRESULT ReadInteger(LONGLONG i, Value& v) {
    v.kind = Value::Int;
    v.i = i;
    return S_OK;
}

HRESULT ReadReal(double d, Value::Kind kind, Value& v) {
    v.kind = kind;
    v.d = d;
    return S_OK;
}

HRESULT ReadUnsigned64(ULONGLONG u, Value& v) {
    if (u > static_cast<ULONGLONG>(std::numeric_limits<LONGLONG>::max())) {
        return ReadReal(static_cast<double>(u), Value::Real, v);
    }
    return ReadInteger(static_cast<LONGLONG>(u), v);
}

// The numbers, dates, Booleans and error codes.
HRESULT ReadScalar(const VARIANT& src, VARTYPE vt, bool ref, Value& v) {
    switch (vt) {
        case VT_I1:
            return ReadInteger(Field(src, ref, &VARIANT::cVal), v);
        case VT_UI1:
            return ReadInteger(Field(src, ref, &VARIANT::bVal), v);
        case VT_I2:
            return ReadInteger(Field(src, ref, &VARIANT::iVal), v);
        case VT_UI2:
            return ReadInteger(Field(src, ref, &VARIANT::uiVal), v);
        case VT_I4:
        case VT_INT:
            return ReadInteger(Field(src, ref, &VARIANT::lVal), v);
        case VT_UI4:
        case VT_UINT:
            return ReadInteger(Field(src, ref, &VARIANT::ulVal), v);
        case VT_I8:
            return ReadInteger(Field(src, ref, &VARIANT::llVal), v);
        case VT_UI8:
            return ReadUnsigned64(static_cast<ULONGLONG>(Field(src, ref, &VARIANT::llVal)), v);
        case VT_R4:
            v.single = true;
            return ReadReal(Field(src, ref, &VARIANT::fltVal), Value::Real, v);
        case VT_R8:
            return ReadReal(Field(src, ref, &VARIANT::dblVal), Value::Real, v);
        case VT_DATE:
            return ReadReal(Field(src, ref, &VARIANT::date), Value::Date, v);
        case VT_CY:
            v.kind = Value::Cy;
            v.i = Field(src, ref, &VARIANT::cyVal).int64;
            return S_OK;
        case VT_BOOL:
            v.kind = Value::Bool;
            v.b = Field(src, ref, &VARIANT::boolVal) != 0;
            return S_OK;
        case VT_ERROR:
            v.kind = Value::Error;
            v.i = Field(src, ref, &VARIANT::scode);
            return S_OK;
        default:
            return DISP_E_BADVARTYPE;
    }
}

HRESULT Read(const VARIANT& src, Value& v, USHORT flags, int depth) {
    VARTYPE vt = src.vt;
    if (vt & VT_ARRAY) return DISP_E_TYPEMISMATCH;
    bool ref = (vt & VT_BYREF) != 0;
    vt &= VT_TYPEMASK;
    if (ref && !src.byref) return E_INVALIDARG;
    switch (vt) {
        case VT_EMPTY:
            v.kind = Value::Empty;
            return S_OK;
        case VT_NULL:
            v.kind = Value::Null;
            return S_OK;
        case VT_BSTR:
            v.kind = Value::Str;
            v.s = std::u16string(platform::com::View(Field(src, ref, &VARIANT::bstrVal)));
            return S_OK;
        case VT_DISPATCH:
            v.kind = Value::Obj;
            v.obj = Field(src, ref, &VARIANT::pdispVal);
            v.isDispatch = true;
            return S_OK;
        case VT_UNKNOWN:
            v.kind = Value::Obj;
            v.obj = Field(src, ref, &VARIANT::punkVal);
            v.isDispatch = false;
            return S_OK;
        case VT_VARIANT:
            if (!ref) return DISP_E_BADVARTYPE;
            return Read(*src.pvarVal, v, flags, depth + 1);
        default:
            return ReadScalar(src, vt, ref, v);
    }
}

// ---- writing ----

HRESULT ToInteger(const Value& v, LONGLONG& out) {
    switch (v.kind) {
        case Value::Empty:
            out = 0;
            return S_OK;
        case Value::Int:
            out = v.i;
            return S_OK;
        case Value::Bool:
            out = v.b ? -1 : 0;
            return S_OK;
        case Value::Cy:
            out = RoundEvenDiv(v.i, 10000);
            return S_OK;
        case Value::Real:
        case Value::Date: {
            if (std::isnan(v.d)) return DISP_E_OVERFLOW;
            double r = RoundEven(v.d);
            if (r < -9.2233720368547758e18 || r >= 9.2233720368547758e18) return DISP_E_OVERFLOW;
            out = static_cast<LONGLONG>(r);
            return S_OK;
        }
        case Value::Str: {
            auto n = ParseNumber(v.s);
            if (!n) return DISP_E_TYPEMISMATCH;
            return ToInteger(*n, out);
        }
        default:
            return DISP_E_TYPEMISMATCH;
    }
}

HRESULT ToReal(const Value& v, double& out) {
    switch (v.kind) {
        case Value::Empty:
            out = 0;
            return S_OK;
        case Value::Int:
            out = static_cast<double>(v.i);
            return S_OK;
        case Value::Bool:
            out = v.b ? -1 : 0;
            return S_OK;
        case Value::Cy:
            out = static_cast<double>(v.i) / 10000.0;
            return S_OK;
        case Value::Real:
        case Value::Date:
            out = v.d;
            return S_OK;
        case Value::Str: {
            auto n = ParseNumber(v.s);
            if (!n) return DISP_E_TYPEMISMATCH;
            return ToReal(*n, out);
        }
        default:
            return DISP_E_TYPEMISMATCH;
    }
}

HRESULT ToCy(const Value& v, LONGLONG& out) {
    switch (v.kind) {
        case Value::Cy:
            out = v.i;
            return S_OK;
        case Value::Int:
            if (v.i > std::numeric_limits<LONGLONG>::max() / 10000 ||
                v.i < std::numeric_limits<LONGLONG>::min() / 10000) {
                return DISP_E_OVERFLOW;
            }
            out = v.i * 10000;
            return S_OK;
        case Value::Str: {
            auto n = ParseNumber(v.s);
            if (!n) return DISP_E_TYPEMISMATCH;
            return ToCy(*n, out);
        }
        default: {
            double d;
            HRESULT hr = ToReal(v, d);
            if (FAILED(hr)) return hr;
            double r = RoundEven(d * 10000.0);
            if (std::isnan(r) || r < -9.2233720368547758e18 || r >= 9.2233720368547758e18) {
                return DISP_E_OVERFLOW;
            }
            out = static_cast<LONGLONG>(r);
            return S_OK;
        }
    }
}

HRESULT ToBool(const Value& v, bool& out) {
    switch (v.kind) {
        case Value::Empty:
            out = false;
            return S_OK;
        case Value::Bool:
            out = v.b;
            return S_OK;
        case Value::Int:
        case Value::Cy:
            out = v.i != 0;
            return S_OK;
        case Value::Real:
        case Value::Date:
            out = v.d != 0;
            return S_OK;
        case Value::Str: {
            std::u16string_view t = Trim(v.s);
            if (EqualsNoCase(t, "true")) {
                out = true;
                return S_OK;
            }
            if (EqualsNoCase(t, "false")) {
                out = false;
                return S_OK;
            }
            auto n = ParseNumber(t);
            if (!n) return DISP_E_TYPEMISMATCH;
            return ToBool(*n, out);
        }
        default:
            return DISP_E_TYPEMISMATCH;
    }
}

HRESULT ToText(const Value& v, std::string& out) {
    switch (v.kind) {
        case Value::Empty:
            out.clear();
            return S_OK;
        case Value::Int:
            out = std::to_string(v.i);
            return S_OK;
        case Value::Real:
            out = FormatReal(v.d, v.single ? 7 : 15);
            return S_OK;
        case Value::Cy:
            out = FormatCy(v.i);
            return S_OK;
        case Value::Bool:
            out = v.b ? "True" : "False";
            return S_OK;
        case Value::Date:
            out = FormatDate(v.d);
            return S_OK;
        case Value::Str:
            out = Utf8(v.s);
            return S_OK;
        default:
            return DISP_E_TYPEMISMATCH;
    }
}

template <class T>
HRESULT Fit(LONGLONG n, T& out) {
    if (n < static_cast<LONGLONG>(std::numeric_limits<T>::min()) ||
        (n > 0 &&
         static_cast<ULONGLONG>(n) > static_cast<ULONGLONG>(std::numeric_limits<T>::max()))) {
        return DISP_E_OVERFLOW;
    }
    out = static_cast<T>(n);
    return S_OK;
}

// One writer a target type; each leaves out as it was (VT_EMPTY) when it fails.

template <class T>
HRESULT WriteInteger(const Value& v, VARTYPE vt, VARIANT& out, T VARIANT::*field) {
    LONGLONG n = 0;
    HRESULT hr = ToInteger(v, n);
    if (SUCCEEDED(hr)) hr = Fit(n, out.*field);
    if (SUCCEEDED(hr)) out.vt = vt;
    return hr;
}

HRESULT WriteSingle(const Value& v, VARIANT& out) {
    double d;
    HRESULT hr = ToReal(v, d);
    if (FAILED(hr)) return hr;
    if (std::isfinite(d) && std::fabs(d) > std::numeric_limits<float>::max()) {
        return DISP_E_OVERFLOW;
    }
    out.vt = VT_R4;
    out.fltVal = static_cast<float>(d);
    return S_OK;
}

HRESULT WriteDouble(const Value& v, VARIANT& out) {
    double d;
    HRESULT hr = ToReal(v, d);
    if (FAILED(hr)) return hr;
    out.vt = VT_R8;
    out.dblVal = d;
    return S_OK;
}

HRESULT WriteCy(const Value& v, VARIANT& out) {
    LONGLONG n = 0;
    HRESULT hr = ToCy(v, n);
    if (FAILED(hr)) return hr;
    out.vt = VT_CY;
    out.cyVal.int64 = n;
    return S_OK;
}

// A text is read as a date, else as a number of days.
HRESULT WriteDate(const Value& v, VARIANT& out) {
    double d;
    HRESULT hr = S_OK;
    if (v.kind == Value::Str) {
        auto date = ParseDate(v.s);
        if (!date) {
            auto num = ParseNumber(v.s);
            if (!num) return DISP_E_TYPEMISMATCH;
            hr = ToReal(*num, d);
        } else {
            d = *date;
        }
    } else {
        hr = ToReal(v, d);
    }
    if (FAILED(hr)) return hr;
    out.vt = VT_DATE;
    out.date = d;
    return S_OK;
}

HRESULT WriteBool(const Value& v, VARIANT& out) {
    bool b;
    HRESULT hr = ToBool(v, b);
    if (FAILED(hr)) return hr;
    out.vt = VT_BOOL;
    out.boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT WriteText(const Value& v, VARIANT& out) {
    std::string text;
    HRESULT hr = ToText(v, text);
    if (FAILED(hr)) return hr;
    BSTR b = platform::com::AllocBstr(text);
    if (!b && !text.empty()) return E_OUTOFMEMORY;
    if (!b) b = SysAllocStringLen(nullptr, 0);
    out.vt = VT_BSTR;
    out.bstrVal = b;
    return S_OK;
}

HRESULT WriteError(const Value& v, VARIANT& out) {
    if (v.kind == Value::Error) {
        out.vt = VT_ERROR;
        out.scode = static_cast<SCODE>(v.i);
        return S_OK;
    }
    if (v.kind != Value::Int) return DISP_E_TYPEMISMATCH;
    LONG l;
    if (FAILED(Fit(v.i, l))) return DISP_E_OVERFLOW;
    out.vt = VT_ERROR;
    out.scode = l;
    return S_OK;
}

// VT_DISPATCH or VT_UNKNOWN: a new reference on the object's interface (the VARIANT owns it).
HRESULT WriteObject(const Value& v, VARTYPE vt, VARIANT& out) {
    if (v.kind != Value::Empty && v.kind != Value::Obj) return DISP_E_TYPEMISMATCH;
    if (v.kind == Value::Empty || !v.obj) {
        out.vt = vt;
        out.punkVal = nullptr;
        return S_OK;
    }
    void* p = nullptr;
    HRESULT hr = v.obj->QueryInterface(vt == VT_DISPATCH ? IID_IDispatch : IID_IUnknown, &p);
    if (FAILED(hr) || !p) return DISP_E_TYPEMISMATCH;
    out.vt = vt;
    if (vt == VT_DISPATCH) {
        out.pdispVal = static_cast<IDispatch*>(p);
    } else {
        out.punkVal = static_cast<IUnknown*>(p);
    }
    return S_OK;
}

HRESULT Write(const Value& v, VARTYPE vt, VARIANT& out, USHORT) {
    VariantInit(&out);
    switch (vt) {
        case VT_EMPTY:
            return S_OK;
        case VT_NULL:
            out.vt = VT_NULL;
            return S_OK;
        case VT_I1:
            return WriteInteger(v, vt, out, &VARIANT::cVal);
        case VT_UI1:
            return WriteInteger(v, vt, out, &VARIANT::bVal);
        case VT_I2:
            return WriteInteger(v, vt, out, &VARIANT::iVal);
        case VT_UI2:
            return WriteInteger(v, vt, out, &VARIANT::uiVal);
        case VT_I4:
            return WriteInteger(v, vt, out, &VARIANT::lVal);
        case VT_UI4:
            return WriteInteger(v, vt, out, &VARIANT::ulVal);
        case VT_INT:
            return WriteInteger(v, vt, out, &VARIANT::intVal);
        case VT_UINT:
            return WriteInteger(v, vt, out, &VARIANT::uintVal);
        case VT_I8:
            return WriteInteger(v, vt, out, &VARIANT::llVal);
        case VT_R4:
            return WriteSingle(v, out);
        case VT_R8:
            return WriteDouble(v, out);
        case VT_CY:
            return WriteCy(v, out);
        case VT_DATE:
            return WriteDate(v, out);
        case VT_BOOL:
            return WriteBool(v, out);
        case VT_BSTR:
            return WriteText(v, out);
        case VT_ERROR:
            return WriteError(v, out);
        case VT_DISPATCH:
        case VT_UNKNOWN:
            return WriteObject(v, vt, out);
        default:
            return DISP_E_BADVARTYPE;
    }
}

bool IsObject(const Value& v) {
    return v.kind == Value::Obj;
}

}  // namespace

void VariantInit(VARIANTARG* pvarg) {
    if (!pvarg) return;
    std::memset(pvarg, 0, sizeof *pvarg);
    pvarg->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANTARG* pvarg) {
    if (!pvarg) return E_INVALIDARG;
    if (!(pvarg->vt & VT_BYREF)) {
        if (pvarg->vt & VT_ARRAY) {
            if (pvarg->parray) {
                HRESULT hr = SafeArrayDestroy(pvarg->parray);
                if (FAILED(hr)) return hr;
            }
        } else {
            switch (pvarg->vt) {
                case VT_BSTR:
                    SysFreeString(pvarg->bstrVal);
                    break;
                // The variant owns its object's reference: clearing it releases the reference.
                case VT_DISPATCH:
                    if (pvarg->pdispVal) pvarg->pdispVal->Release();
                    break;
                case VT_UNKNOWN:
                    if (pvarg->punkVal) pvarg->punkVal->Release();
                    break;
                default:
                    break;
            }
        }
    }
    VariantInit(pvarg);
    return S_OK;
}

HRESULT VariantCopy(VARIANTARG* dest, const VARIANTARG* src) {
    if (!dest || !src) return E_INVALIDARG;
    if (dest == src) return S_OK;
    VARIANT copy = *src;
    if (!(src->vt & VT_BYREF)) {
        if (src->vt & VT_ARRAY) {
            copy.parray = nullptr;
            if (src->parray) {
                HRESULT hr = SafeArrayCopy(src->parray, &copy.parray);
                if (FAILED(hr)) return hr;
            }
        } else if (src->vt == VT_BSTR) {
            if (src->bstrVal) {
                copy.bstrVal = SysAllocStringByteLen(reinterpret_cast<LPCSTR>(src->bstrVal),
                                                     SysStringByteLen(src->bstrVal));
                if (!copy.bstrVal) return E_OUTOFMEMORY;
            }
        } else if (src->vt == VT_DISPATCH || src->vt == VT_UNKNOWN) {
            if (src->punkVal) src->punkVal->AddRef();  // the copy owns a reference of its own
        }
    }
    VariantClear(dest);
    *dest = copy;
    return S_OK;
}

HRESULT VariantCopyInd(VARIANT* dest, const VARIANTARG* src) {
    if (!dest || !src) return E_INVALIDARG;
    if (!(src->vt & VT_BYREF)) return VariantCopy(dest, src);
    if (!src->byref) return E_INVALIDARG;
    VARTYPE vt = src->vt & ~VT_BYREF;
    if (vt == VT_VARIANT) return VariantCopyInd(dest, src->pvarVal);
    VARIANT value;
    VariantInit(&value);
    value.vt = vt;
    if (vt & VT_ARRAY) {
        value.parray = *src->pparray;
    } else {
        switch (vt) {
            case VT_I1:
                value.cVal = *reinterpret_cast<CHAR*>(src->byref);
                break;
            case VT_UI1:
                value.bVal = *src->pbVal;
                break;
            case VT_I2:
                value.iVal = *src->piVal;
                break;
            case VT_UI2:
                value.uiVal = *reinterpret_cast<USHORT*>(src->byref);
                break;
            case VT_I4:
            case VT_INT:
                value.lVal = *src->plVal;
                break;
            case VT_UI4:
            case VT_UINT:
                value.ulVal = *reinterpret_cast<ULONG*>(src->byref);
                break;
            case VT_I8:
            case VT_UI8:
                value.llVal = *reinterpret_cast<LONGLONG*>(src->byref);
                break;
            case VT_R4:
                value.fltVal = *src->pfltVal;
                break;
            case VT_R8:
                value.dblVal = *src->pdblVal;
                break;
            case VT_CY:
                value.cyVal = *src->pcyVal;
                break;
            case VT_DATE:
                value.date = *src->pdate;
                break;
            case VT_BOOL:
                value.boolVal = *src->pboolVal;
                break;
            case VT_ERROR:
                value.scode = *src->pscode;
                break;
            case VT_BSTR:
                value.bstrVal = *src->pbstrVal;
                break;
            case VT_DISPATCH:
                value.pdispVal = *src->ppdispVal;
                break;
            case VT_UNKNOWN:
                value.punkVal = *src->ppunkVal;
                break;
            default:
                return DISP_E_BADVARTYPE;
        }
    }
    // value borrows the pointed-to data; VariantCopy makes the owned copy.
    VARIANT result;
    VariantInit(&result);
    HRESULT hr = VariantCopy(&result, &value);
    if (FAILED(hr)) return hr;
    VariantClear(dest);
    *dest = result;
    return S_OK;
}

HRESULT VariantChangeType(VARIANTARG* dest, const VARIANTARG* src, USHORT wFlags, VARTYPE vt) {
    if (!dest || !src) return E_INVALIDARG;
    if (vt & VT_BYREF) return DISP_E_BADVARTYPE;
    VARIANT result;
    VariantInit(&result);
    if (vt & VT_ARRAY) {
        VARIANT plain;
        VariantInit(&plain);
        HRESULT hr = VariantCopyInd(&plain, src);
        if (FAILED(hr)) return hr;
        if (plain.vt != vt) {
            VariantClear(&plain);
            return DISP_E_TYPEMISMATCH;
        }
        result = plain;
    } else if (vt == VT_VARIANT) {
        HRESULT hr = VariantCopyInd(&result, src);
        if (FAILED(hr)) return hr;
    } else {
        Value v;
        HRESULT hr = Read(*src, v, wFlags, 0);
        if (FAILED(hr)) return hr;
        if (v.kind == Value::Null && vt != VT_NULL && vt != VT_EMPTY) return DISP_E_TYPEMISMATCH;
        Value value;
        if (IsObject(v) && vt != VT_DISPATCH && vt != VT_UNKNOWN) {
            hr = ReadDefaultValue(v.obj, value, wFlags, 0);
            if (FAILED(hr)) return hr;
        } else {
            value = v;
        }
        hr = Write(value, vt, result, wFlags);
        if (FAILED(hr)) return hr;
    }
    VariantClear(dest);
    *dest = result;
    return S_OK;
}

HRESULT VariantChangeTypeEx(VARIANTARG* dest, const VARIANTARG* src, LCID, USHORT wFlags,
                            VARTYPE vt) {
    return VariantChangeType(dest, src, wFlags, vt);
}

namespace platform::com {

Variant Variant::I2(SHORT x) {
    Variant v;
    v.v_.vt = VT_I2;
    v.v_.iVal = x;
    return v;
}
Variant Variant::I4(LONG x) {
    Variant v;
    v.v_.vt = VT_I4;
    v.v_.lVal = x;
    return v;
}
Variant Variant::UI1(BYTE x) {
    Variant v;
    v.v_.vt = VT_UI1;
    v.v_.bVal = x;
    return v;
}
Variant Variant::UI4(ULONG x) {
    Variant v;
    v.v_.vt = VT_UI4;
    v.v_.ulVal = x;
    return v;
}
Variant Variant::R4(FLOAT x) {
    Variant v;
    v.v_.vt = VT_R4;
    v.v_.fltVal = x;
    return v;
}
Variant Variant::R8(DOUBLE x) {
    Variant v;
    v.v_.vt = VT_R8;
    v.v_.dblVal = x;
    return v;
}
Variant Variant::Cy(LONGLONG scaled) {
    Variant v;
    v.v_.vt = VT_CY;
    v.v_.cyVal.int64 = scaled;
    return v;
}
Variant Variant::Date(DATE x) {
    Variant v;
    v.v_.vt = VT_DATE;
    v.v_.date = x;
    return v;
}
Variant Variant::Bool(bool x) {
    Variant v;
    v.v_.vt = VT_BOOL;
    v.v_.boolVal = x ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}
Variant Variant::String(std::string_view utf8) {
    Variant v;
    v.v_.vt = VT_BSTR;
    v.v_.bstrVal = AllocBstr(utf8);
    if (!v.v_.bstrVal) v.v_.bstrVal = SysAllocStringLen(nullptr, 0);
    return v;
}
Variant Variant::Error(SCODE code) {
    Variant v;
    v.v_.vt = VT_ERROR;
    v.v_.scode = code;
    return v;
}
Variant Variant::Null() {
    Variant v;
    v.v_.vt = VT_NULL;
    return v;
}
Variant Variant::Dispatch(IDispatch* p) {
    Variant v;
    v.v_.vt = VT_DISPATCH;
    v.v_.pdispVal = p;
    if (p) p->AddRef();
    return v;
}
Variant Variant::Unknown(IUnknown* p) {
    Variant v;
    v.v_.vt = VT_UNKNOWN;
    v.v_.punkVal = p;
    if (p) p->AddRef();
    return v;
}
Variant Variant::Attach(VARIANT* src) {
    Variant v;
    if (src) {
        v.v_ = *src;
        VariantInit(src);
    }
    return v;
}

Variant Variant::As(VARTYPE vt, HRESULT* hr) const {
    Variant out;
    HRESULT r = VariantChangeType(out.ptr(), &v_, 0, vt);
    if (hr) *hr = r;
    return out;
}

std::string Variant::ToString() const {
    HRESULT hr;
    Variant s = As(VT_BSTR, &hr);
    if (FAILED(hr)) return {};
    return Utf8(s.get().bstrVal);
}

std::string Describe(const VARIANT& v) {
    static const char* const kNames[] = {
        "EMPTY", "NULL",     "I2",    "I4",   "R4",      "R8",      "CY",      "DATE",
        "BSTR",  "DISPATCH", "ERROR", "BOOL", "VARIANT", "UNKNOWN", "DECIMAL", "?",
        "I1",    "UI1",      "UI2",   "UI4",  "I8",      "UI8",     "INT",     "UINT"};
    VARTYPE base = v.vt & VT_TYPEMASK;
    std::string name =
        base < sizeof kNames / sizeof kNames[0] ? kNames[base] : std::to_string(base);
    if (v.vt & VT_ARRAY) return "ARRAY " + name;
    if (v.vt & VT_BYREF) return "BYREF " + name;
    if (v.vt == VT_EMPTY || v.vt == VT_NULL) return name;
    if (v.vt == VT_DISPATCH || v.vt == VT_UNKNOWN)
        return name + (v.punkVal ? " object" : " nothing");
    if (v.vt == VT_ERROR) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(v.scode));
        return name + " " + buf;
    }
    VARIANT text;
    VariantInit(&text);
    if (FAILED(VariantChangeType(&text, &v, VARIANT_NOVALUEPROP, VT_BSTR))) return name;
    std::string s = Utf8(text.bstrVal);
    VariantClear(&text);
    if (v.vt == VT_BSTR) return name + " \"" + s + "\"";
    return name + " " + s;
}

}  // namespace platform::com
