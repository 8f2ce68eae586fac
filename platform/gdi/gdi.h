// The graphics interface: device contexts, bitmaps, regions, palettes, brushes and pens, fonts and
// text, icons, metafiles, packed device-independent bitmaps, system colours and the kernel's global
// memory blocks, with the semantics of the platform this layer stands in for.
//
// Decisions this layer is built on (the drawing library and the control rely on them):
//
// 1. The output DC. Every form (top-level window) that shows drawn content has a backing surface:
//    a 32-bit bitmap of the form's client size that holds what the form shows. The window layer
//    registers the form's surface, its place on the screen and the place of each child window
//    inside it (CreateWindowSurface, PlaceWindow below) and shows the surface when it changes
//    (SetWindowSurfaceListener, platform::gdi::WindowSurfaceImage). GetDC(window) gives a context
//    onto the window's part of its form's surface: its coordinates are the window's client
//    coordinates, its drawing is clipped to the window's area, and reading it (BitBlt from it,
//    GetPixel) reads what the form shows there, which is how a control copies what lies beneath
//    it. The context follows the window when it moves; a hidden child window draws nothing.
//    PaintWindowBackground asks the window's registered background painter (the container) to
//    paint what lies beneath the window into a context, the "paint background" option of a
//    control's own GetDC. GetDC(NULL) or GetDC(GetDesktopWindow()) is the screen: reading it
//    reads the surfaces of the visible forms at their screen places, topmost last, over the
//    desktop colour; drawing onto it changes only that context's own copy of the screen.
//    GetDCOrgEx gives a context's origin on the screen. ReleaseDC ends a window or screen
//    context; DeleteDC ends a memory context.
// 2. The rasteriser follows the graphics semantics, not antialiased painting, and draws each
//    pixel of a primitive once:
//    - rectangles exclude their right and bottom edges; a pixel belongs to a filled shape when
//      its centre lies inside the shape (Rectangle, Ellipse, RoundRect, Pie and Chord inscribe
//      their shape in the box (left, top)-(right, bottom)); with the null pen the filled area
//      is one pixel narrower and lower, as the original does;
//    - a one-pixel pen outlines a box shape with the pixels of the shape that touch a pixel
//      outside it (side by side or above and below); lines are Bresenham lines that leave out
//      their last point; a wide pen of width w covers the pixels whose centres lie closer than
//      w / 2 to the path (an even width takes the path half a pixel up and to the left), so
//      that a solid pen of width w around a box covers [edge - w / 2, edge - w / 2 + w);
//      PS_INSIDEFRAME keeps the whole pen inside the box; styled pens (dash 18 on 6 off, dot 3
//      on 3 off, dash-dot 9 6 3 6, dash-dot-dot 9 3 3 3 3 3) are one pixel wide, wider ones
//      draw solid, and their gaps take the background colour in OPAQUE mode;
//    - brushes: solid, null, the six 8 x 8 hatches (hatch lines in the brush colour, the gaps
//      in the background colour in OPAQUE mode, untouched in TRANSPARENT mode) and pattern
//      brushes tiled from a bitmap (a monochrome pattern's 1 bits take the background colour
//      and its 0 bits the text colour); patterns are aligned to the brush origin (0, 0 in the
//      context's device coordinates unless SetBrushOrgEx moves it);
//    - the binary raster operation (SetROP2) applies to pens and brushes: bit (2 * pen + dest)
//      of (code - 1) gives the result bit; the ternary raster operations of the transfers take
//      bit (4 * pattern + 2 * source + dest) of the code's high word, bit by bit on the colour
//      words, so every one of the 256 operations is computed from its code;
//    - colour to monochrome transfers: source pixels equal to the source context's background
//      colour become white (1), all others black (0); monochrome to colour: white becomes the
//      destination's background colour, black its text colour; pens and brushes drawn on a
//      monochrome bitmap take the nearer of black and white;
//    - text is drawn without antialiasing in the text colour; in OPAQUE mode its cell is
//      filled with the background colour first; neither takes the binary raster operation.
// 3. Fonts: a LOGFONT maps to an installed font with real metrics (Qt's font metrics). The
//    original's raster faces ("MS Sans Serif", "System", "Courier", ...) are drawn with DejaVu
//    Sans or DejaVu Sans Mono but still answer the TrueType test (GetFontData) with GDI_ERROR, as
//    they did; any other face that is installed is used as it is; the original's other faces that
//    are not installed map to DejaVu Sans, DejaVu Serif or DejaVu Sans Mono, and unknown faces go
//    by their pitch and family. A negative lfHeight is the character height, a positive one the
//    cell height, 0 the default (a 16-pixel cell); a non-zero lfWidth stretches the glyphs to
//    that average character width. Text needs the application object (QGuiApplication); without
//    one, fonts are still made but the text functions fail and draw nothing.
//
// Objects are reached by handles that stay unique for the life of the process (a deleted handle is
// never handed out again), from any thread; a deleted handle or one of another kind is refused and
// never dereferenced. An object selected into a context cannot be deleted (DeleteObject returns
// FALSE), stock objects are never deleted. Bitmaps keep their pixels in QImage form (32-bit
// 0xFFRRGGBB); a monochrome bitmap holds only black and white. Coordinates pass through the
// context's window and viewport origins (MM_TEXT: one logical unit is one pixel).
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <type_traits>

#include "platform/base/wintypes.h"

KESTO_DECLARE_HANDLE(HMETAFILE);
KESTO_DECLARE_HANDLE(HENHMETAFILE);

inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;
inline constexpr DWORD GDI_ERROR = 0xFFFFFFFF;
inline constexpr int ERROR = 0;
inline constexpr int NULLREGION = 1;
inline constexpr int SIMPLEREGION = 2;
inline constexpr int COMPLEXREGION = 3;

// Colours that name a palette entry (PALETTEINDEX) or ask for the nearest palette colour.
constexpr COLORREF PALETTEINDEX(WORD i) {
    return 0x01000000u | i;
}
constexpr COLORREF PALETTERGB(BYTE r, BYTE g, BYTE b) {
    return 0x02000000u | RGB(r, g, b);
}

// Region combination.
inline constexpr int RGN_AND = 1;
inline constexpr int RGN_OR = 2;
inline constexpr int RGN_XOR = 3;
inline constexpr int RGN_DIFF = 4;
inline constexpr int RGN_COPY = 5;

// Polygon fill modes.
inline constexpr int ALTERNATE = 1;
inline constexpr int WINDING = 2;

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
inline constexpr int OEM_FIXED_FONT = 10;
inline constexpr int ANSI_FIXED_FONT = 11;
inline constexpr int ANSI_VAR_FONT = 12;
inline constexpr int SYSTEM_FONT = 13;
inline constexpr int DEVICE_DEFAULT_FONT = 14;
inline constexpr int DEFAULT_PALETTE = 15;
inline constexpr int SYSTEM_FIXED_FONT = 16;
inline constexpr int DEFAULT_GUI_FONT = 17;

// Pen styles.
inline constexpr int PS_SOLID = 0;
inline constexpr int PS_DASH = 1;
inline constexpr int PS_DOT = 2;
inline constexpr int PS_DASHDOT = 3;
inline constexpr int PS_DASHDOTDOT = 4;
inline constexpr int PS_NULL = 5;
inline constexpr int PS_INSIDEFRAME = 6;

// Brush styles and hatches.
inline constexpr UINT BS_SOLID = 0;
inline constexpr UINT BS_NULL = 1;
inline constexpr UINT BS_HOLLOW = BS_NULL;
inline constexpr UINT BS_HATCHED = 2;
inline constexpr UINT BS_PATTERN = 3;
inline constexpr int HS_HORIZONTAL = 0;  // -----
inline constexpr int HS_VERTICAL = 1;    // |||||
inline constexpr int HS_FDIAGONAL = 2;   // \\\\\ (downward from left to right)
inline constexpr int HS_BDIAGONAL = 3;   // ///// (upward from left to right)
inline constexpr int HS_CROSS = 4;       // +++++
inline constexpr int HS_DIAGCROSS = 5;   // xxxxx

// Background modes.
inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;

// Mapping mode: only MM_TEXT.
inline constexpr int MM_TEXT = 1;

// Stretch modes (every mode copies the nearest source pixel).
inline constexpr int BLACKONWHITE = 1;
inline constexpr int WHITEONBLACK = 2;
inline constexpr int COLORONCOLOR = 3;
inline constexpr int HALFTONE = 4;

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

// Binary raster operations of the pens and brushes (SetROP2).
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

// Text alignment (SetTextAlign).
inline constexpr UINT TA_NOUPDATECP = 0;
inline constexpr UINT TA_UPDATECP = 1;
inline constexpr UINT TA_LEFT = 0;
inline constexpr UINT TA_RIGHT = 2;
inline constexpr UINT TA_CENTER = 6;
inline constexpr UINT TA_TOP = 0;
inline constexpr UINT TA_BOTTOM = 8;
inline constexpr UINT TA_BASELINE = 24;

// DrawText formats.
inline constexpr UINT DT_TOP = 0x0000;
inline constexpr UINT DT_LEFT = 0x0000;
inline constexpr UINT DT_CENTER = 0x0001;
inline constexpr UINT DT_RIGHT = 0x0002;
inline constexpr UINT DT_VCENTER = 0x0004;
inline constexpr UINT DT_BOTTOM = 0x0008;
inline constexpr UINT DT_WORDBREAK = 0x0010;
inline constexpr UINT DT_SINGLELINE = 0x0020;
inline constexpr UINT DT_EXPANDTABS = 0x0040;
inline constexpr UINT DT_NOCLIP = 0x0100;
inline constexpr UINT DT_EXTERNALLEADING = 0x0200;
inline constexpr UINT DT_CALCRECT = 0x0400;
inline constexpr UINT DT_NOPREFIX = 0x0800;

// Weights, character sets, pitch and family.
inline constexpr SHORT FW_NORMAL = 400;
inline constexpr SHORT FW_BOLD = 700;
inline constexpr BYTE ANSI_CHARSET = 0;
inline constexpr BYTE DEFAULT_CHARSET = 1;
inline constexpr BYTE OEM_CHARSET = 255;
inline constexpr BYTE DEFAULT_PITCH = 0;
inline constexpr BYTE FIXED_PITCH = 1;
inline constexpr BYTE VARIABLE_PITCH = 2;
inline constexpr BYTE FF_DONTCARE = 0x00;
inline constexpr BYTE FF_ROMAN = 0x10;
inline constexpr BYTE FF_SWISS = 0x20;
inline constexpr BYTE FF_MODERN = 0x30;
// tmPitchAndFamily bits: TMPF_FIXED_PITCH set means a variable-pitch font (as the original has it).
inline constexpr BYTE TMPF_FIXED_PITCH = 0x01;
inline constexpr BYTE TMPF_VECTOR = 0x02;
inline constexpr BYTE TMPF_TRUETYPE = 0x04;
inline constexpr int LF_FACESIZE = 32;

// GetDeviceCaps indexes.
inline constexpr int TECHNOLOGY = 2;
inline constexpr int HORZRES = 8;
inline constexpr int VERTRES = 10;
inline constexpr int BITSPIXEL = 12;
inline constexpr int PLANES = 14;
inline constexpr int NUMCOLORS = 24;
inline constexpr int RASTERCAPS = 38;
inline constexpr int LOGPIXELSX = 88;
inline constexpr int LOGPIXELSY = 90;
inline constexpr int SIZEPALETTE = 104;
inline constexpr int PHYSICALWIDTH = 110;
inline constexpr int PHYSICALHEIGHT = 111;
inline constexpr int PHYSICALOFFSETX = 112;
inline constexpr int PHYSICALOFFSETY = 113;
inline constexpr int DT_RASDISPLAY = 1;
inline constexpr int DT_RASPRINTER = 2;
inline constexpr int RC_BITBLT = 0x0001;
inline constexpr int RC_STRETCHBLT = 0x0800;
inline constexpr int RC_DI_BITMAP = 0x0080;
inline constexpr int RC_DIBTODEV = 0x0200;

// Device-independent bitmaps.
inline constexpr DWORD BI_RGB = 0;
inline constexpr DWORD BI_RLE8 = 1;
inline constexpr DWORD BI_RLE4 = 2;
inline constexpr DWORD BI_BITFIELDS = 3;
inline constexpr UINT DIB_RGB_COLORS = 0;
inline constexpr UINT DIB_PAL_COLORS = 1;
inline constexpr DWORD CBM_INIT = 4;

struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    void* bmBits;
};

struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;  // positive: bottom row first; negative: top row first
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

struct BITMAPCOREHEADER {
    DWORD bcSize;
    WORD bcWidth;
    WORD bcHeight;
    WORD bcPlanes;
    WORD bcBitCount;
};

struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
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

struct LOGPEN {
    UINT lopnStyle;
    POINT lopnWidth;  // x is the width
    COLORREF lopnColor;
};

struct LOGBRUSH {
    UINT lbStyle;
    COLORREF lbColor;
    UINT_PTR lbHatch;  // the hatch style, or the bitmap handle of a pattern brush
};

struct LOGFONTA {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    CHAR lfFaceName[LF_FACESIZE];
};
static_assert(sizeof(LOGFONTA) == 60);
using LOGFONT = LOGFONTA;

struct TEXTMETRICA {
    LONG tmHeight;
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
    LONG tmOverhang;
    LONG tmDigitizedAspectX;
    LONG tmDigitizedAspectY;
    BYTE tmFirstChar;
    BYTE tmLastChar;
    BYTE tmDefaultChar;
    BYTE tmBreakChar;
    BYTE tmItalic;
    BYTE tmUnderlined;
    BYTE tmStruckOut;
    BYTE tmPitchAndFamily;
    BYTE tmCharSet;
};
using TEXTMETRIC = TEXTMETRICA;

struct ICONINFO {
    BOOL fIcon;
    DWORD xHotspot;
    DWORD yHotspot;
    HBITMAP hbmMask;
    HBITMAP hbmColor;
};

// ---- objects ----

HGDIOBJ GetStockObject(int i);
// Stock objects are not deleted (TRUE all the same); an object selected into a context is not
// deleted (FALSE).
BOOL DeleteObject(HGDIOBJ ho);
DWORD GetObjectType(HGDIOBJ h);
// BITMAP for bitmaps (bmBits is null), LOGPEN for pens, LOGBRUSH for brushes, LOGFONTA for fonts,
// the WORD entry count for palettes; returns the bytes written, or the size needed when pv is
// null; 0 on failure (regions, contexts and unknown handles have no description).
int GetObjectA(HGDIOBJ h, int c, void* pv);
inline int GetObject(HGDIOBJ h, int c, void* pv) {
    return GetObjectA(h, c, pv);
}
// Resets a brush's pattern alignment or a palette's mapping; TRUE for a brush or a palette.
BOOL UnrealizeObject(HGDIOBJ h);

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
template <platform::gdi::GdiHandle H>
BOOL UnrealizeObject(H h) {
    return UnrealizeObject(reinterpret_cast<HGDIOBJ>(h));
}

// ---- bitmaps ----

// Colour bitmaps of any depth are kept at 32 bits (GetObject reports the depth asked for); lpBits
// (rows word-aligned, top row first) are read for 1, 16 (5-5-5), 24 and 32 bits per pixel.
HBITMAP CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount, const void* lpBits);
HBITMAP CreateBitmapIndirect(const BITMAP* pbm);
// Monochrome when the context holds a monochrome bitmap (as a new memory context does), colour
// otherwise or for a null context, a window or the screen.
HBITMAP CreateCompatibleBitmap(HDC hdc, int cx, int cy);

// ---- device contexts ----

// A memory context holding a 1 x 1 monochrome bitmap; hdc may be null.
HDC CreateCompatibleDC(HDC hdc);
// Ends a memory context (its selected objects are released); window and screen contexts end with
// ReleaseDC.
BOOL DeleteDC(HDC hdc);
// Selects a bitmap (memory contexts only), brush, pen, font or palette object; returns the one it
// replaces, or null. A bitmap is selected into one context at a time; a region is copied as the
// clip region (its result is NULLREGION, SIMPLEREGION or COMPLEXREGION cast to a handle).
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h);
template <platform::gdi::GdiHandle H>
HGDIOBJ SelectObject(HDC hdc, H h) {
    return SelectObject(hdc, reinterpret_cast<HGDIOBJ>(h));
}
HGDIOBJ GetCurrentObject(HDC hdc, UINT type);
// Saves the context's selected objects, colours, modes, origins and clip region (the selected
// bitmap stays); returns the save level, 0 on failure. RestoreDC takes a level or -1 (the last).
int SaveDC(HDC hdc);
BOOL RestoreDC(HDC hdc, int nSavedDC);
COLORREF SetBkColor(HDC hdc, COLORREF color);
COLORREF GetBkColor(HDC hdc);
COLORREF SetTextColor(HDC hdc, COLORREF color);
COLORREF GetTextColor(HDC hdc);
int SetBkMode(HDC hdc, int mode);
int GetBkMode(HDC hdc);
int SetROP2(HDC hdc, int rop2);
int GetROP2(HDC hdc);
int SetPolyFillMode(HDC hdc, int mode);
int GetPolyFillMode(HDC hdc);
int SetStretchBltMode(HDC hdc, int mode);
int GetStretchBltMode(HDC hdc);
UINT SetTextAlign(HDC hdc, UINT align);
UINT GetTextAlign(HDC hdc);
// Only MM_TEXT is taken; other modes fail (0).
int SetMapMode(HDC hdc, int mode);
int GetMapMode(HDC hdc);
BOOL SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt);
BOOL GetViewportOrgEx(HDC hdc, LPPOINT lppt);
BOOL OffsetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt);
BOOL SetWindowOrgEx(HDC hdc, int x, int y, LPPOINT lppt);
BOOL GetWindowOrgEx(HDC hdc, LPPOINT lppt);
BOOL LPtoDP(HDC hdc, LPPOINT lppt, int c);
BOOL DPtoLP(HDC hdc, LPPOINT lppt, int c);
BOOL SetBrushOrgEx(HDC hdc, int x, int y, LPPOINT lppt);
BOOL GetBrushOrgEx(HDC hdc, LPPOINT lppt);
int GetDeviceCaps(HDC hdc, int index);

// ---- clipping (regions in device coordinates) ----

// A copy of the region becomes the clip region; null removes it.
int SelectClipRgn(HDC hdc, HRGN hrgn);
// Combines the region with the current clip region (RGN_COPY replaces it; null with RGN_COPY
// removes it).
int ExtSelectClipRgn(HDC hdc, HRGN hrgn, int mode);
int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom);
int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom);
// The logical rectangle around what can be drawn.
int GetClipBox(HDC hdc, LPRECT lprect);
// 1 and a copy of the clip region in hrgn, 0 when there is none, -1 on failure.
int GetClipRgn(HDC hdc, HRGN hrgn);

// ---- pixels and transfers ----

COLORREF GetPixel(HDC hdc, int x, int y);
// Returns the colour set (black or white in a monochrome bitmap), or CLR_INVALID.
COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color);
BOOL SetPixelV(HDC hdc, int x, int y, COLORREF color);
BOOL BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop);
BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop);
// Each destination pixel takes the source pixel under its centre; a negative width or height on
// one side mirrors the image.
BOOL StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc,
                int ySrc, int wSrc, int hSrc, DWORD rop);

// ---- lines and filled shapes (pen outline, brush inside) ----

BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT lppt);
BOOL GetCurrentPositionEx(HDC hdc, LPPOINT lppt);
BOOL LineTo(HDC hdc, int x, int y);
BOOL Polyline(HDC hdc, const POINT* apt, int cpt);
BOOL Polygon(HDC hdc, const POINT* apt, int cpt);
BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom);
BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom);
BOOL RoundRect(HDC hdc, int left, int top, int right, int bottom, int width, int height);
// The elliptic arc of the box from the radial through (xStart, yStart) counterclockwise to the
// radial through (xEnd, yEnd); equal radials give the whole ellipse.
BOOL Arc(HDC hdc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd,
         int yEnd);
BOOL Pie(HDC hdc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd,
         int yEnd);
BOOL Chord(HDC hdc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd,
           int yEnd);
// The brush over the rectangle (right and bottom excluded), with no pen; the binary raster
// operation does not apply.
int FillRect(HDC hdc, const RECT* lprc, HBRUSH hbr);
// A one-pixel frame inside the rectangle in the brush.
int FrameRect(HDC hdc, const RECT* lprc, HBRUSH hbr);
BOOL InvertRect(HDC hdc, const RECT* lprc);

// ---- brushes and pens ----

HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH CreateHatchBrush(int iHatch, COLORREF color);
// The brush keeps a copy of the bitmap's pixels (the bitmap may be deleted afterwards).
HBRUSH CreatePatternBrush(HBITMAP hbm);
HBRUSH CreateBrushIndirect(const LOGBRUSH* plbrush);
// Width 0 is one pixel.
HPEN CreatePen(int iStyle, int cWidth, COLORREF color);
HPEN CreatePenIndirect(const LOGPEN* plpen);

// ---- regions (a region covers the pixels whose centres lie inside its outline) ----

HRGN CreateRectRgn(int x1, int y1, int x2, int y2);
HRGN CreateRectRgnIndirect(const RECT* lprect);
// The ellipse inscribed in the box: the same pixels as Ellipse fills with a one-pixel pen.
HRGN CreateEllipticRgn(int x1, int y1, int x2, int y2);
HRGN CreateEllipticRgnIndirect(const RECT* lprect);
HRGN CreateRoundRectRgn(int x1, int y1, int x2, int y2, int w, int h);
// ALTERNATE or WINDING.
HRGN CreatePolygonRgn(const POINT* pptl, int cPoint, int iMode);
// Combines hrgnSrc1 and hrgnSrc2 (not read for RGN_COPY) into hrgnDst, which may be one of them.
int CombineRgn(HRGN hrgnDst, HRGN hrgnSrc1, HRGN hrgnSrc2, int iMode);
BOOL SetRectRgn(HRGN hrgn, int left, int top, int right, int bottom);
int OffsetRgn(HRGN hrgn, int x, int y);
BOOL PtInRegion(HRGN hrgn, int x, int y);
BOOL RectInRegion(HRGN hrgn, const RECT* lprect);
BOOL EqualRgn(HRGN hrgn1, HRGN hrgn2);
int GetRgnBox(HRGN hrgn, LPRECT lprc);
// The region (in logical coordinates) filled with the brush; no pen.
BOOL FillRgn(HDC hdc, HRGN hrgn, HBRUSH hbr);
// A frame w pixels wide and h pixels high inside the region's border, in the brush.
BOOL FrameRgn(HDC hdc, HRGN hrgn, HBRUSH hbr, int w, int h);
BOOL PaintRgn(HDC hdc, HRGN hrgn);
BOOL InvertRgn(HDC hdc, HRGN hrgn);

// ---- fonts and text ----

HFONT CreateFontIndirectA(const LOGFONTA* lplf);
inline HFONT CreateFontIndirect(const LOGFONTA* lplf) {
    return CreateFontIndirectA(lplf);
}
HFONT CreateFontA(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight,
                  DWORD bItalic, DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet,
                  DWORD iOutPrecision, DWORD iClipPrecision, DWORD iQuality, DWORD iPitchAndFamily,
                  LPCSTR pszFaceName);
BOOL GetTextExtentPoint32A(HDC hdc, LPCSTR lpString, int c, SIZE* psizl);
inline BOOL GetTextExtentPoint32(HDC hdc, LPCSTR lpString, int c, SIZE* psizl) {
    return GetTextExtentPoint32A(hdc, lpString, c, psizl);
}
BOOL GetTextMetricsA(HDC hdc, TEXTMETRICA* lptm);
inline BOOL GetTextMetrics(HDC hdc, TEXTMETRICA* lptm) {
    return GetTextMetricsA(hdc, lptm);
}
// The face name of the selected font (as asked for); the length copied.
int GetTextFaceA(HDC hdc, int c, LPSTR lpName);
// Text of 8-bit characters (Latin-1) at (x, y) by the text alignment.
BOOL TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c);
inline BOOL TextOut(HDC hdc, int x, int y, LPCSTR lpString, int c) {
    return TextOutA(hdc, x, y, lpString, c);
}
// Lines broken at CR LF or LF (and at spaces to fit the width with DT_WORDBREAK; a word longer
// than the width stays whole), each placed by DT_LEFT, DT_CENTER or DT_RIGHT; DT_VCENTER and
// DT_BOTTOM place a single line. "&" underlines the next character ("&&" is one "&") unless
// DT_NOPREFIX. c = -1: up to the NUL. Returns the text's height (with DT_VCENTER or DT_BOTTOM,
// the offset of its bottom from the top), 0 on failure; DT_CALCRECT sets the rectangle's right
// and bottom instead of drawing.
int DrawTextA(HDC hdc, LPCSTR lpchText, int cchText, LPRECT lprc, UINT format);
inline int DrawText(HDC hdc, LPCSTR lpchText, int cchText, LPRECT lprc, UINT format) {
    return DrawTextA(hdc, lpchText, cchText, lprc, format);
}
// Table data of the selected font: dwTable is the table tag (bytes as in the file, first character
// lowest), 0 the whole font. With no buffer, the size; else the bytes copied. GDI_ERROR for a font
// that is not TrueType, an unknown table or a whole-font read into a buffer (only the size of the
// whole font, the sum of its tables, is answered).
DWORD GetFontData(HDC hdc, DWORD dwTable, DWORD dwOffset, void* pvBuffer, DWORD cjBuffer);
// Kept and returned; the font mapping does not depend on it here.
DWORD SetMapperFlags(HDC hdc, DWORD flags);

// ---- palettes (the display has true colour; palettes map PALETTEINDEX colours) ----

HPALETTE CreatePalette(const LOGPALETTE* plpal);
// The 256 colours of the screen's palette: the twenty static colours (ten at each end), a
// 6 x 6 x 6 colour cube and twenty greys.
HPALETTE CreateHalftonePalette(HDC hdc);
UINT GetPaletteEntries(HPALETTE hpal, UINT iStart, UINT cEntries, PALETTEENTRY* pPalEntries);
UINT SetPaletteEntries(HPALETTE hpal, UINT iStart, UINT cEntries, const PALETTEENTRY* pPalEntries);
UINT GetNearestPaletteIndex(HPALETTE hpal, COLORREF color);
// The entries of the screen's palette (CreateHalftonePalette's colours).
UINT GetSystemPaletteEntries(HDC hdc, UINT iStart, UINT cEntries, PALETTEENTRY* pPalEntries);
HPALETTE SelectPalette(HDC hdc, HPALETTE hpal, BOOL bForceBkgd);
// The number of entries of the selected palette, GDI_ERROR for an unknown context.
UINT RealizePalette(HDC hdc);

// ---- device-independent bitmaps ----
// The colour table follows the header: RGBQUADs (DIB_RGB_COLORS) or WORD indexes into the
// context's palette (DIB_PAL_COLORS); 1, 4, 8, 16, 24 and 32 bits, BI_RGB, BI_BITFIELDS (16 and 32
// bits), BI_RLE8 and BI_RLE4 are read; 1, 4, 8, 16, 24 and 32 bits BI_RGB are written.

// With lpvBits null and biBitCount 0, fills the header only; with lpvBits null, the header and
// colour table; else also cLines rows from uStartScan (bottom row = scan 0 for a bottom-up DIB).
// Returns the rows copied (or TRUE without bits), 0 on failure.
int GetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT cLines, void* lpvBits, BITMAPINFO* lpbmi,
              UINT usage);
int SetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT cLines, const void* lpBits,
              const BITMAPINFO* lpbmi, UINT usage);
HBITMAP CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER* pbmih, DWORD flInit, const void* pjBits,
                       const BITMAPINFO* pbmi, UINT iUsage);
int SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD w, DWORD h, int xSrc, int ySrc,
                      UINT StartScan, UINT cLines, const void* lpvBits, const BITMAPINFO* lpbmi,
                      UINT ColorUse);
int StretchDIBits(HDC hdc, int xDest, int yDest, int DestWidth, int DestHeight, int xSrc, int ySrc,
                  int SrcWidth, int SrcHeight, const void* lpBits, const BITMAPINFO* lpbmi,
                  UINT iUsage, DWORD rop);

namespace platform::gdi {

// The layout of a packed device-independent bitmap (header, colour table, bits) of `size` bytes,
// checked against the size: nothing when the header is not one this layer reads or the bits would
// lie past the end.
struct PackedDibLayout {
    int width = 0;
    int height = 0;  // rows, always positive
    bool topDown = false;
    int bitCount = 0;
    DWORD compression = BI_RGB;
    std::size_t headerSize = 0;
    int colors = 0;                    // colour table entries
    std::size_t colorTableOffset = 0;  // from the start of the block
    int colorEntrySize = 4;            // 3 for the old core header
    std::size_t bitsOffset = 0;        // from the start of the block
    std::size_t bitsSize = 0;          // the bytes the bits take (RLE: as the header says)
};
std::optional<PackedDibLayout> ParsePackedDib(const void* dib, std::size_t size);
// A new bitmap from a packed device-independent bitmap of `size` bytes; null when it cannot be
// read or claims more pixels than kMaxPicturePixels (platform/gdi/picturefile.h). Never reads
// past `size`.
HBITMAP BitmapFromPackedDib(const void* dib, std::size_t size);

}  // namespace platform::gdi

// ---- windows, the screen and their contexts (see decision 1 at the top) ----

// The screen's window.
HWND GetDesktopWindow();
// A context onto the window's part of its form's surface; null or the desktop window: the screen.
// Null for a window that has none.
HDC GetDC(HWND hWnd);
HDC GetWindowDC(HWND hWnd);
// Ends a context from GetDC; 1 when it did, 0 otherwise.
int ReleaseDC(HWND hWnd, HDC hDC);
// The window of a window context, the desktop window for the screen, null for a memory context.
HWND WindowFromDC(HDC hDC);
// The screen position of the context's device origin ((0, 0) for a memory context).
BOOL GetDCOrgEx(HDC hdc, LPPOINT lppt);

namespace platform::gdi {

// A form's surface of width x height pixels (white at first). False when the form has one already
// or the size cannot be made.
bool CreateWindowSurface(HWND form, int width, int height);
// Keeps the pixels that still fit; new pixels are white.
bool ResizeWindowSurface(HWND form, int width, int height);
// The form's contexts draw nowhere from then on (their drawing fails); its windows are forgotten.
void DestroyWindowSurface(HWND form);
bool HasWindowSurface(HWND form);
// Where the form's client area lies on the screen and whether it shows.
void SetWindowSurfacePlace(HWND form, int screenX, int screenY, bool visible);
// The form comes above every other form in the screen's order.
void RaiseWindowSurface(HWND form);
// Called (on the drawing thread) when a context has drawn into the form's surface and the form
// has not read it since (WindowSurfaceImage reads it).
void SetWindowSurfaceListener(HWND form, std::function<void()> listener);
// A child window that draws into its form's surface, at rect (form client coordinates).
bool PlaceWindow(HWND window, HWND form, const RECT& rect, bool visible);
void ForgetWindow(HWND window);
// Whether the form (or the child window in it) shows, as last placed; from any thread.
bool IsPlacedWindowVisible(HWND window);
// The painter of what lies beneath a window (the container's background and the windows below),
// called with a context onto the window and the window's client rectangle.
using BackgroundPainter = std::function<void(HDC hdc, const RECT& rect)>;
void SetWindowBackgroundPainter(HWND window, BackgroundPainter painter);
// Paints what lies beneath the window into the context through its painter; FALSE when the window
// has none.
BOOL PaintWindowBackground(HWND window, HDC hdc);
// The screen's size (1024 x 768 unless set), also the extent of the screen context.
void SetScreenSize(int width, int height);

}  // namespace platform::gdi

// ---- printers ----
// A printer context (GetObjectType OBJ_DC) draws into its page with every function of this layer,
// as a memory context draws into its bitmap (no other bitmap can be selected into it): a white
// page of A4 portrait (a CUPS printer: its default page) at kPrinterDpi dots per inch, the whole
// sheet (GetDeviceCaps: HORZRES, VERTRES and the PHYSICAL sizes in dots, LOGPIXELSX and
// LOGPIXELSY kPrinterDpi, TECHNOLOGY DT_RASPRINTER). EndPage prints the page through Qt's printing
// and starts a white one; EndDoc prints a page drawn on or started (StartPage) since the last
// EndPage and ends the document; DeleteDC ends an open document the same way, so that nothing drawn
// is lost; AbortDoc drops it. StartDoc and StartPage are optional. The results are SP_ERROR on
// failure (a PDF printer without an output file, a file that cannot be written, a context that is
// no printer's).

inline constexpr int kPrinterDpi = 150;
inline constexpr const char* kPdfPrinter = "PDF";
inline constexpr int SP_ERROR = -1;

struct DOCINFOA {
    int cbSize;
    LPCSTR lpszDocName;
    LPCSTR lpszOutput;  // the PDF printer's file, or a file a CUPS printer prints into
    LPCSTR lpszDatatype;
    DWORD fwType;
};

// driver null or "WINSPOOL"; device kPdfPrinter, null or empty for the PDF printer, else a CUPS
// printer's name (null when there is no such printer); output the file to print into (the PDF
// printer's file, which StartDoc may also name). The device mode is not read.
HDC CreateDCA(LPCSTR driver, LPCSTR device, LPCSTR output, const void* devMode);
int StartDocA(HDC hdc, const DOCINFOA* info);
int StartPage(HDC hdc);
int EndPage(HDC hdc);
int EndDoc(HDC hdc);
int AbortDoc(HDC hdc);

namespace platform::gdi {

// The CUPS default printer's name, or empty when there is none (then the PDF printer is the one).
std::string DefaultPrinterName();

}  // namespace platform::gdi

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
