// The plain types of the component object model and of automation: GUIDs, status codes, wide
// strings, the variant type codes and the numeric types automation passes around.
//
// Wide characters are 16-bit UTF-16 code units (OLECHAR is char16_t), as on the platform this
// layer stands in for; helpers in bstr.h convert to and from UTF-8.
#pragma once

#include <cstdint>

#include "platform/base/wintypes.h"

// ---- GUIDs ----

struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];

    friend constexpr bool operator==(const GUID& a, const GUID& b) {
        if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
        for (int i = 0; i < 8; ++i) {
            if (a.Data4[i] != b.Data4[i]) return false;
        }
        return true;
    }
};
using IID = GUID;
using CLSID = GUID;
using CATID = GUID;
using REFGUID = const GUID&;
using REFIID = const IID&;
using REFCLSID = const CLSID&;
using REFCATID = const CATID&;
using LPGUID = GUID*;
using LPCLSID = CLSID*;

inline constexpr GUID GUID_NULL{0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
inline constexpr bool IsEqualGUID(REFGUID a, REFGUID b) {
    return a == b;
}
inline constexpr bool IsEqualIID(REFIID a, REFIID b) {
    return a == b;
}
inline constexpr bool IsEqualCLSID(REFCLSID a, REFCLSID b) {
    return a == b;
}

// ---- status codes ----

using HRESULT = std::int32_t;
using SCODE = std::int32_t;

constexpr bool SUCCEEDED(HRESULT hr) {
    return hr >= 0;
}
constexpr bool FAILED(HRESULT hr) {
    return hr < 0;
}
constexpr HRESULT MAKE_HRESULT(unsigned sev, unsigned facility, unsigned code) {
    return static_cast<HRESULT>((static_cast<std::uint32_t>(sev) << 31) |
                                (static_cast<std::uint32_t>(facility) << 16) |
                                static_cast<std::uint32_t>(code));
}
constexpr unsigned HRESULT_CODE(HRESULT hr) {
    return static_cast<std::uint32_t>(hr) & 0xFFFF;
}
constexpr unsigned HRESULT_FACILITY(HRESULT hr) {
    return (static_cast<std::uint32_t>(hr) >> 16) & 0x1FFF;
}
constexpr HRESULT HResultOf(std::uint32_t code) {
    return static_cast<HRESULT>(code);
}

inline constexpr unsigned FACILITY_ITF = 4;
inline constexpr unsigned FACILITY_CONTROL = 10;

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = HResultOf(0x80004001);
inline constexpr HRESULT E_NOINTERFACE = HResultOf(0x80004002);
inline constexpr HRESULT E_POINTER = HResultOf(0x80004003);
inline constexpr HRESULT E_ABORT = HResultOf(0x80004004);
inline constexpr HRESULT E_FAIL = HResultOf(0x80004005);
inline constexpr HRESULT E_UNEXPECTED = HResultOf(0x8000FFFF);
inline constexpr HRESULT E_ACCESSDENIED = HResultOf(0x80070005);
inline constexpr HRESULT E_HANDLE = HResultOf(0x80070006);
inline constexpr HRESULT E_OUTOFMEMORY = HResultOf(0x8007000E);
inline constexpr HRESULT E_INVALIDARG = HResultOf(0x80070057);

inline constexpr HRESULT CLASS_E_NOAGGREGATION = HResultOf(0x80040110);
inline constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = HResultOf(0x80040111);
inline constexpr HRESULT REGDB_E_READREGDB = HResultOf(0x80040150);
inline constexpr HRESULT REGDB_E_WRITEREGDB = HResultOf(0x80040151);
inline constexpr HRESULT REGDB_E_KEYMISSING = HResultOf(0x80040152);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = HResultOf(0x80040154);
inline constexpr HRESULT CO_E_NOTINITIALIZED = HResultOf(0x800401F0);
inline constexpr HRESULT CO_E_CLASSSTRING = HResultOf(0x800401F3);
inline constexpr HRESULT CO_E_DLLNOTFOUND = HResultOf(0x800401F8);
inline constexpr HRESULT CO_E_ERRORINDLL = HResultOf(0x800401F9);
inline constexpr HRESULT CO_E_APPNOTFOUND = HResultOf(0x800401F5);
inline constexpr HRESULT CONNECT_E_NOCONNECTION = HResultOf(0x80040200);
inline constexpr HRESULT CONNECT_E_ADVISELIMIT = HResultOf(0x80040201);
inline constexpr HRESULT CONNECT_E_CANNOTCONNECT = HResultOf(0x80040202);
inline constexpr HRESULT SELFREG_E_TYPELIB = HResultOf(0x80040200);
inline constexpr HRESULT SELFREG_E_CLASS = HResultOf(0x80040201);
inline constexpr HRESULT CTL_E_ILLEGALFUNCTIONCALL = HResultOf(0x800A0005);
inline constexpr HRESULT CTL_E_OVERFLOW = HResultOf(0x800A0006);
inline constexpr HRESULT CTL_E_INVALIDPROPERTYVALUE = HResultOf(0x800A017C);
inline constexpr HRESULT CTL_E_SETNOTSUPPORTEDATRUNTIME = HResultOf(0x800A017E);
inline constexpr HRESULT CTL_E_SETNOTSUPPORTED = HResultOf(0x800A017F);
inline constexpr HRESULT CTL_E_GETNOTSUPPORTED = HResultOf(0x800A018A);

inline constexpr HRESULT DISP_E_UNKNOWNINTERFACE = HResultOf(0x80020001);
inline constexpr HRESULT DISP_E_MEMBERNOTFOUND = HResultOf(0x80020003);
inline constexpr HRESULT DISP_E_PARAMNOTFOUND = HResultOf(0x80020004);
inline constexpr HRESULT DISP_E_TYPEMISMATCH = HResultOf(0x80020005);
inline constexpr HRESULT DISP_E_UNKNOWNNAME = HResultOf(0x80020006);
inline constexpr HRESULT DISP_E_NONAMEDARGS = HResultOf(0x80020007);
inline constexpr HRESULT DISP_E_BADVARTYPE = HResultOf(0x80020008);
inline constexpr HRESULT DISP_E_EXCEPTION = HResultOf(0x80020009);
inline constexpr HRESULT DISP_E_OVERFLOW = HResultOf(0x8002000A);
inline constexpr HRESULT DISP_E_BADINDEX = HResultOf(0x8002000B);
inline constexpr HRESULT DISP_E_BADPARAMCOUNT = HResultOf(0x8002000E);
inline constexpr HRESULT DISP_E_PARAMNOTOPTIONAL = HResultOf(0x8002000F);
inline constexpr HRESULT TYPE_E_ELEMENTNOTFOUND = HResultOf(0x8002802B);
inline constexpr HRESULT TYPE_E_LIBNOTREGISTERED = HResultOf(0x8002801D);
inline constexpr HRESULT TYPE_E_CANTLOADLIBRARY = HResultOf(0x80029C4A);
inline constexpr HRESULT TYPE_E_INVALIDSTATE = HResultOf(0x80028029);
inline constexpr HRESULT TYPE_E_REGISTRYACCESS = HResultOf(0x8002801C);
inline constexpr HRESULT TYPE_E_IOERROR = HResultOf(0x80028CA2);

// ---- automation types ----

using OLECHAR = char16_t;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;
using BSTR = OLECHAR*;
using LCID = DWORD;
using DISPID = LONG;
using MEMBERID = DISPID;
using VARTYPE = std::uint16_t;
using VARIANT_BOOL = std::int16_t;
using DATE = double;
using FLOAT = float;
using DOUBLE = double;
using LONGLONG = std::int64_t;
using ULONGLONG = std::uint64_t;
using OLE_COLOR = DWORD;
using OLE_HANDLE = std::uint32_t;
using OLE_XPOS_PIXELS = LONG;
using OLE_YPOS_PIXELS = LONG;
using OLE_XSIZE_HIMETRIC = LONG;
using OLE_YSIZE_HIMETRIC = LONG;

inline constexpr VARIANT_BOOL VARIANT_TRUE = -1;
inline constexpr VARIANT_BOOL VARIANT_FALSE = 0;

// Currency: a 64-bit integer scaled by 10,000.
struct CY {
    LONGLONG int64;
};

inline constexpr LCID LOCALE_SYSTEM_DEFAULT = 0x0800;
inline constexpr LCID LOCALE_USER_DEFAULT = 0x0400;
inline constexpr LCID LOCALE_NEUTRAL = 0;

enum VARENUM : VARTYPE {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_R8 = 5,
    VT_CY = 6,
    VT_DATE = 7,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_VARIANT = 12,
    VT_UNKNOWN = 13,
    VT_I1 = 16,
    VT_UI1 = 17,
    VT_UI2 = 18,
    VT_UI4 = 19,
    VT_I8 = 20,
    VT_UI8 = 21,
    VT_INT = 22,
    VT_UINT = 23,
    VT_VOID = 24,
    VT_HRESULT = 25,
    VT_PTR = 26,
    VT_SAFEARRAY = 27,
    VT_USERDEFINED = 29,
    VT_LPSTR = 30,
    VT_LPWSTR = 31,
    VT_ARRAY = 0x2000,
    VT_BYREF = 0x4000,
    VT_TYPEMASK = 0x0FFF,
};

// Dispatch identifiers with a fixed meaning.
inline constexpr DISPID DISPID_UNKNOWN = -1;
inline constexpr DISPID DISPID_VALUE = 0;
inline constexpr DISPID DISPID_PROPERTYPUT = -3;
inline constexpr DISPID DISPID_NEWENUM = -4;
inline constexpr DISPID DISPID_FONT = -512;
inline constexpr DISPID DISPID_ENABLED = -514;
inline constexpr DISPID DISPID_HWND = -515;
inline constexpr DISPID DISPID_TEXT = -517;
inline constexpr DISPID DISPID_CAPTION = -518;
inline constexpr DISPID DISPID_REFRESH = -550;
inline constexpr DISPID DISPID_DOCLICK = -551;
inline constexpr DISPID DISPID_ABOUTBOX = -552;
inline constexpr DISPID DISPID_CLICK = -600;
inline constexpr DISPID DISPID_DBLCLICK = -601;
inline constexpr DISPID DISPID_KEYDOWN = -602;
inline constexpr DISPID DISPID_KEYPRESS = -603;
inline constexpr DISPID DISPID_KEYUP = -604;
inline constexpr DISPID DISPID_MOUSEDOWN = -605;
inline constexpr DISPID DISPID_MOUSEMOVE = -606;
inline constexpr DISPID DISPID_MOUSEUP = -607;
inline constexpr DISPID DISPID_AMBIENT_BACKCOLOR = -701;
inline constexpr DISPID DISPID_AMBIENT_DISPLAYNAME = -702;
inline constexpr DISPID DISPID_AMBIENT_FONT = -703;
inline constexpr DISPID DISPID_AMBIENT_FORECOLOR = -704;
inline constexpr DISPID DISPID_AMBIENT_LOCALEID = -705;
inline constexpr DISPID DISPID_AMBIENT_MESSAGEREFLECT = -706;
inline constexpr DISPID DISPID_AMBIENT_USERMODE = -709;
inline constexpr DISPID DISPID_AMBIENT_UIDEAD = -710;
inline constexpr DISPID DISPID_AMBIENT_SHOWGRABHANDLES = -711;
inline constexpr DISPID DISPID_AMBIENT_SHOWHATCHING = -712;
inline constexpr DISPID DISPID_UNKNOWN_AMBIENT = -1;

inline constexpr WORD DISPATCH_METHOD = 0x1;
inline constexpr WORD DISPATCH_PROPERTYGET = 0x2;
inline constexpr WORD DISPATCH_PROPERTYPUT = 0x4;
inline constexpr WORD DISPATCH_PROPERTYPUTREF = 0x8;

inline constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
inline constexpr DWORD CLSCTX_INPROC_HANDLER = 0x2;
inline constexpr DWORD CLSCTX_LOCAL_SERVER = 0x4;
inline constexpr DWORD CLSCTX_INPROC = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER;
inline constexpr DWORD CLSCTX_ALL =
    CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER;
