// The plain types of the Windows interfaces this port stands in for, as far as the code uses them.
// Handles are opaque pointers of distinct types; the layers that hand them out keep their tables.
#pragma once

#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using UINT = unsigned int;
using INT = int;
using SHORT = std::int16_t;
using USHORT = std::uint16_t;
using BOOL = int;
using CHAR = char;
using LPSTR = char*;
using LPCSTR = const char*;
using LPBYTE = BYTE*;
using LPDWORD = DWORD*;
using LPVOID = void*;
using LPCVOID = const void*;
using UINT_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;
using WPARAM = UINT_PTR;
using LPARAM = LONG_PTR;
using LRESULT = LONG_PTR;
using COLORREF = DWORD;

#define KESTO_DECLARE_HANDLE(name) \
    struct name##__ {              \
        int unused;                \
    };                             \
    using name = name##__*

KESTO_DECLARE_HANDLE(HWND);
KESTO_DECLARE_HANDLE(HINSTANCE);
KESTO_DECLARE_HANDLE(HDC);
KESTO_DECLARE_HANDLE(HGDIOBJ);
KESTO_DECLARE_HANDLE(HBITMAP);
KESTO_DECLARE_HANDLE(HRGN);
KESTO_DECLARE_HANDLE(HPALETTE);
KESTO_DECLARE_HANDLE(HFONT);
KESTO_DECLARE_HANDLE(HBRUSH);
KESTO_DECLARE_HANDLE(HPEN);
KESTO_DECLARE_HANDLE(HICON);
KESTO_DECLARE_HANDLE(HCURSOR);
KESTO_DECLARE_HANDLE(HMENU);
KESTO_DECLARE_HANDLE(HANDLE);
KESTO_DECLARE_HANDLE(HGLOBAL);
using HMODULE = HINSTANCE;

struct POINT {
    LONG x;
    LONG y;
};
struct SIZE {
    LONG cx;
    LONG cy;
};
struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
using LPRECT = RECT*;
using LPCRECT = const RECT*;
using LPPOINT = POINT*;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) {
    return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) |
           (static_cast<COLORREF>(b) << 16);
}
constexpr BYTE GetRValue(COLORREF c) {
    return static_cast<BYTE>(c & 0xff);
}
constexpr BYTE GetGValue(COLORREF c) {
    return static_cast<BYTE>((c >> 8) & 0xff);
}
constexpr BYTE GetBValue(COLORREF c) {
    return static_cast<BYTE>((c >> 16) & 0xff);
}
