// The graphics interface: device contexts, bitmaps, regions, palettes, brushes and pens, icons,
// metafiles, system colours and the kernel's global memory blocks, with the semantics of the
// platform this layer stands in for.
//
// Objects are reached by handles that stay unique for the life of the process (a deleted handle is
// never handed out again), from any thread. Bitmaps keep their pixels in QImage form (32-bit
// 0xFFRRGGBB); a monochrome bitmap holds only black and white. Rectangles exclude their right and
// bottom edges.
//
// Colour rules of the transfers (BitBlt, PatBlt):
//  - colour to monochrome: source pixels equal to the source context's background colour become
//    white (1), all others black (0);
//  - monochrome to colour: white (1) becomes the destination context's background colour, black
//    (0) its text colour;
//  - the raster operation is the ternary operation of the code's high word applied bit by bit to
//    pattern (the destination context's brush), source and destination.
#pragma once

#include <cstddef>
#include <type_traits>

#include "platform/base/wintypes.h"

KESTO_DECLARE_HANDLE(HMETAFILE);
KESTO_DECLARE_HANDLE(HENHMETAFILE);

inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;
inline constexpr int ERROR = 0;
inline constexpr int NULLREGION = 1;
inline constexpr int SIMPLEREGION = 2;
inline constexpr int COMPLEXREGION = 3;

// Region combination.
inline constexpr int RGN_AND = 1;
inline constexpr int RGN_OR = 2;
inline constexpr int RGN_XOR = 3;
inline constexpr int RGN_DIFF = 4;
inline constexpr int RGN_COPY = 5;

// Object types (GetObjectType).
inline constexpr DWORD OBJ_PEN = 1;
inline constexpr DWORD OBJ_BRUSH = 2;
inline constexpr DWORD OBJ_DC = 3;
inline constexpr DWORD OBJ_PAL = 5;
inline constexpr DWORD OBJ_FONT = 6;
inline constexpr DWORD OBJ_BITMAP = 7;
inline constexpr DWORD OBJ_REGION = 8;
inline constexpr DWORD OBJ_METAFILE = 9;
inline constexpr DWORD OBJ_MEMDC = 10;
inline constexpr DWORD OBJ_ENHMETAFILE = 13;

// Stock objects (GetStockObject).
inline constexpr int WHITE_BRUSH = 0;
inline constexpr int LTGRAY_BRUSH = 1;
inline constexpr int GRAY_BRUSH = 2;
inline constexpr int DKGRAY_BRUSH = 3;
inline constexpr int BLACK_BRUSH = 4;
inline constexpr int NULL_BRUSH = 5;
inline constexpr int HOLLOW_BRUSH = NULL_BRUSH;
inline constexpr int WHITE_PEN = 6;
inline constexpr int BLACK_PEN = 7;
inline constexpr int NULL_PEN = 8;
inline constexpr int DEFAULT_PALETTE = 15;

// Pen styles.
inline constexpr int PS_SOLID = 0;
inline constexpr int PS_DASH = 1;
inline constexpr int PS_DOT = 2;
inline constexpr int PS_DASHDOT = 3;
inline constexpr int PS_DASHDOTDOT = 4;
inline constexpr int PS_NULL = 5;
inline constexpr int PS_INSIDEFRAME = 6;

// Background modes.
inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;

// Raster operations of the transfers.
inline constexpr DWORD SRCCOPY = 0x00CC0020;
inline constexpr DWORD SRCPAINT = 0x00EE0086;
inline constexpr DWORD SRCAND = 0x008800C6;
inline constexpr DWORD SRCINVERT = 0x00660046;
inline constexpr DWORD SRCERASE = 0x00440328;
inline constexpr DWORD NOTSRCCOPY = 0x00330008;
inline constexpr DWORD NOTSRCERASE = 0x001100A6;
inline constexpr DWORD MERGECOPY = 0x00C000CA;
inline constexpr DWORD MERGEPAINT = 0x00BB0226;
inline constexpr DWORD PATCOPY = 0x00F00021;
inline constexpr DWORD PATPAINT = 0x00FB0A09;
inline constexpr DWORD PATINVERT = 0x005A0049;
inline constexpr DWORD DSTINVERT = 0x00550009;
inline constexpr DWORD BLACKNESS = 0x00000042;
inline constexpr DWORD WHITENESS = 0x00FF0062;

// Binary raster operations of the pens (SetROP2).
inline constexpr int R2_BLACK = 1;
inline constexpr int R2_NOTMERGEPEN = 2;
inline constexpr int R2_MASKNOTPEN = 3;
inline constexpr int R2_NOTCOPYPEN = 4;
inline constexpr int R2_MASKPENNOT = 5;
inline constexpr int R2_NOT = 6;
inline constexpr int R2_XORPEN = 7;
inline constexpr int R2_NOTMASKPEN = 8;
inline constexpr int R2_MASKPEN = 9;
inline constexpr int R2_NOTXORPEN = 10;
inline constexpr int R2_NOP = 11;
inline constexpr int R2_MERGENOTPEN = 12;
inline constexpr int R2_COPYPEN = 13;
inline constexpr int R2_MERGEPENNOT = 14;
inline constexpr int R2_MERGEPEN = 15;
inline constexpr int R2_WHITE = 16;

struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    void* bmBits;
};

struct PALETTEENTRY {
    BYTE peRed;
    BYTE peGreen;
    BYTE peBlue;
    BYTE peFlags;
};

struct LOGPALETTE {
    WORD palVersion;
    WORD palNumEntries;
    PALETTEENTRY palPalEntry[1];
};

struct ICONINFO {
    BOOL fIcon;
    DWORD xHotspot;
    DWORD yHotspot;
    HBITMAP hbmMask;
    HBITMAP hbmColor;
};

// ---- objects ----

HGDIOBJ GetStockObject(int i);
// Stock objects are not deleted (TRUE all the same); a bitmap selected into a context is not
// deleted (FALSE).
BOOL DeleteObject(HGDIOBJ ho);
DWORD GetObjectType(HGDIOBJ h);
// BITMAP for bitmaps (bmBits is null), the WORD entry count for palettes; returns the bytes
// written, or the size needed when pv is null; 0 on failure.
int GetObjectA(HGDIOBJ h, int c, void* pv);
inline int GetObject(HGDIOBJ h, int c, void* pv) {
    return GetObjectA(h, c, pv);
}

// Every graphics handle converts to HGDIOBJ where an object of any kind is taken.
namespace platform::gdi {
template <class H>
concept GdiHandle =
    std::is_same_v<H, HBITMAP> || std::is_same_v<H, HBRUSH> || std::is_same_v<H, HPEN> ||
    std::is_same_v<H, HRGN> || std::is_same_v<H, HPALETTE> || std::is_same_v<H, HFONT>;
}  // namespace platform::gdi
template <platform::gdi::GdiHandle H>
BOOL DeleteObject(H h) {
    return DeleteObject(reinterpret_cast<HGDIOBJ>(h));
}
template <platform::gdi::GdiHandle H>
DWORD GetObjectType(H h) {
    return GetObjectType(reinterpret_cast<HGDIOBJ>(h));
}
template <platform::gdi::GdiHandle H>
int GetObject(H h, int c, void* pv) {
    return GetObjectA(reinterpret_cast<HGDIOBJ>(h), c, pv);
}

// ---- bitmaps ----

// Colour bitmaps of any depth are kept at 32 bits; lpBits (rows word-aligned, top row first) are
// read for 1, 24 and 32 bits per pixel.
HBITMAP CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount, const void* lpBits);
// Monochrome when the context holds a monochrome bitmap (as a new memory context does), colour
// otherwise or for a null context.
HBITMAP CreateCompatibleBitmap(HDC hdc, int cx, int cy);

// ---- device contexts ----

// A memory context holding a 1 x 1 monochrome bitmap; hdc may be null.
HDC CreateCompatibleDC(HDC hdc);
BOOL DeleteDC(HDC hdc);
// Selects a bitmap, brush, pen or palette object; returns the one it replaces, or null. A bitmap
// is selected into one context at a time; a region is copied as the clip region (its result is
// NULLREGION, SIMPLEREGION or COMPLEXREGION cast to a handle).
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h);
template <platform::gdi::GdiHandle H>
HGDIOBJ SelectObject(HDC hdc, H h) {
    return SelectObject(hdc, reinterpret_cast<HGDIOBJ>(h));
}
HGDIOBJ GetCurrentObject(HDC hdc, UINT type);
COLORREF SetBkColor(HDC hdc, COLORREF color);
COLORREF GetBkColor(HDC hdc);
COLORREF SetTextColor(HDC hdc, COLORREF color);
COLORREF GetTextColor(HDC hdc);
int SetBkMode(HDC hdc, int mode);
int GetBkMode(HDC hdc);
int SetROP2(HDC hdc, int rop2);
int GetROP2(HDC hdc);
COLORREF GetPixel(HDC hdc, int x, int y);
// Returns the colour set (black or white in a monochrome bitmap), or CLR_INVALID.
COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color);
BOOL BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop);
BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop);

// ---- brushes and pens ----

HBRUSH CreateSolidBrush(COLORREF color);
HPEN CreatePen(int iStyle, int cWidth, COLORREF color);

// ---- regions ----

HRGN CreateRectRgn(int x1, int y1, int x2, int y2);
HRGN CreateRectRgnIndirect(const RECT* lprect);
// Combines hrgnSrc1 and hrgnSrc2 (not read for RGN_COPY) into hrgnDst, which may be one of them.
int CombineRgn(HRGN hrgnDst, HRGN hrgnSrc1, HRGN hrgnSrc2, int iMode);
BOOL SetRectRgn(HRGN hrgn, int left, int top, int right, int bottom);
int OffsetRgn(HRGN hrgn, int x, int y);
BOOL PtInRegion(HRGN hrgn, int x, int y);
BOOL EqualRgn(HRGN hrgn1, HRGN hrgn2);
int GetRgnBox(HRGN hrgn, LPRECT lprc);

// ---- palettes ----

HPALETTE CreatePalette(const LOGPALETTE* plpal);
UINT GetPaletteEntries(HPALETTE hpal, UINT iStart, UINT cEntries, PALETTEENTRY* pPalEntries);

// ---- icons and cursors ----

// The icon keeps copies of the two bitmaps; GetIconInfo hands out new copies.
HICON CreateIconIndirect(ICONINFO* piconinfo);
BOOL GetIconInfo(HICON hIcon, ICONINFO* piconinfo);
BOOL DestroyIcon(HICON hIcon);
HICON CopyIcon(HICON hIcon);

// ---- metafiles: their records are kept as given (playing them is not supported) ----

HMETAFILE SetMetaFileBitsEx(UINT cbBuffer, const BYTE* lpData);
UINT GetMetaFileBitsEx(HMETAFILE hMF, UINT cbBuffer, void* lpData);
BOOL DeleteMetaFile(HMETAFILE hmf);
HENHMETAFILE SetEnhMetaFileBits(UINT nSize, const BYTE* pb);
UINT GetEnhMetaFileBits(HENHMETAFILE hEMF, UINT nSize, BYTE* lpData);
BOOL DeleteEnhMetaFile(HENHMETAFILE hmf);

// ---- system colours ----

// The colours of the classic light desktop scheme by COLOR_ index (0 to 30); 0 for others.
DWORD GetSysColor(int nIndex);
inline constexpr int COLOR_SCROLLBAR = 0;
inline constexpr int COLOR_BACKGROUND = 1;
inline constexpr int COLOR_ACTIVECAPTION = 2;
inline constexpr int COLOR_INACTIVECAPTION = 3;
inline constexpr int COLOR_MENU = 4;
inline constexpr int COLOR_WINDOW = 5;
inline constexpr int COLOR_WINDOWFRAME = 6;
inline constexpr int COLOR_MENUTEXT = 7;
inline constexpr int COLOR_WINDOWTEXT = 8;
inline constexpr int COLOR_CAPTIONTEXT = 9;
inline constexpr int COLOR_ACTIVEBORDER = 10;
inline constexpr int COLOR_INACTIVEBORDER = 11;
inline constexpr int COLOR_APPWORKSPACE = 12;
inline constexpr int COLOR_HIGHLIGHT = 13;
inline constexpr int COLOR_HIGHLIGHTTEXT = 14;
inline constexpr int COLOR_BTNFACE = 15;
inline constexpr int COLOR_BTNSHADOW = 16;
inline constexpr int COLOR_GRAYTEXT = 17;
inline constexpr int COLOR_BTNTEXT = 18;
inline constexpr int COLOR_INACTIVECAPTIONTEXT = 19;
inline constexpr int COLOR_BTNHIGHLIGHT = 20;
inline constexpr int COLOR_3DDKSHADOW = 21;
inline constexpr int COLOR_3DLIGHT = 22;
inline constexpr int COLOR_INFOTEXT = 23;
inline constexpr int COLOR_INFOBK = 24;

// ---- global memory ----

inline constexpr UINT GMEM_FIXED = 0x0000;
inline constexpr UINT GMEM_MOVEABLE = 0x0002;
inline constexpr UINT GMEM_ZEROINIT = 0x0040;
inline constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;
inline constexpr UINT GPTR = GMEM_FIXED | GMEM_ZEROINIT;

HGLOBAL GlobalAlloc(UINT uFlags, std::size_t dwBytes);
// Null on success, the handle when it names no block.
HGLOBAL GlobalFree(HGLOBAL hMem);
// The block's memory; it does not move while the block lives unless GlobalReAlloc moves it.
void* GlobalLock(HGLOBAL hMem);
BOOL GlobalUnlock(HGLOBAL hMem);
std::size_t GlobalSize(HGLOBAL hMem);
HGLOBAL GlobalReAlloc(HGLOBAL hMem, std::size_t dwBytes, UINT uFlags);
