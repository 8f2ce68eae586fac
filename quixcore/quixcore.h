// The drawing library the control links against: transitions and effects, gradients, transparent
// and masked bitmaps, borders, captions, picture placement, screen capture, bitmap copies, packed
// device-independent bitmaps, printing, hotspot sets, drawing into a bitmap, image saving and the
// library's cursors.
//
// Every function here is declared with the arguments the control passes. The library's catalogue
// of transitions and effects (the meaning of effect, grain, delay, style and cancel-mode numbers),
// its hotspot file and byte-array formats and its string table are its own. Functions that return
// a short report 0 for success and a negative code otherwise (QUIX_E_...), unless they say so.
//
// Each comment says what the function is for and what this version does: the functions it does
// not carry out draw nothing and return QUIX_E_UNSUPPORTED (or no object).
#pragma once

#include <cstddef>

#include "platform/com/variant.h"
#include "platform/gdi/gdi.h"

#define QUIXCORE_API __attribute__((visibility("default")))

inline constexpr short QUIX_OK = 0;
inline constexpr short QUIX_E_UNSUPPORTED = -1000;  // this version does not do it; nothing drawn
inline constexpr short QUIX_E_FILE = -100;          // a file cannot be opened or read
inline constexpr short QUIX_E_FORMAT = -101;        // hotspot data that cannot be parsed
inline constexpr short QUIX_E_NOIMAGE = -300;       // no composed or captured image
inline constexpr short QUIX_E_MASK = -430;          // the mask is not a bitmap

// ---- transitions and effects: animate an image onto a context, ending with the image ----
// This version animates and draws none of them: each returns QUIX_E_UNSUPPORTED, also through
// *error where it has one.

// The caption transition (and the translucent fills, with style 0 and a colour).
QUIXCORE_API short DoTransition(HDC hdc, const RECT* rect, short style, short reserved,
                                COLORREF backColor, COLORREF foreColor, short grain, short effect,
                                short delay, short multitask, BOOL wand, COLORREF wandColor,
                                short wandWidth, const char* id, short cancelMode, BOOL* canceled,
                                short reserved1, short reserved2, short reserved3, short reserved4,
                                short useUpdateRect, const RECT* updateRect, short* error,
                                BOOL enabled);
QUIXCORE_API short DoGradientTransition(HDC hdc, const RECT* rect, short reserved,
                                        short gradientStyle, short steps, COLORREF color1,
                                        COLORREF color2, short grain, short effect, short delay,
                                        short multitask, BOOL wand, COLORREF wandColor,
                                        short wandWidth, const char* id, short cancelMode,
                                        BOOL* canceled, short* error, short reserved1,
                                        short reserved2, short reserved3, short reserved4,
                                        short useUpdateRect, const RECT* updateRect, BOOL enabled);
// The caption transition over the composed image.
QUIXCORE_API short DoCaptureTransition(HDC hdc, const RECT* rect, short reserved, HBITMAP composed,
                                       short grain, short effect, short delay, short multitask,
                                       BOOL wand, COLORREF wandColor, short wandWidth,
                                       const char* id, short cancelMode, BOOL* canceled,
                                       short* error, short reserved1, short reserved2,
                                       short reserved3, short reserved4, short useUpdateRect,
                                       const RECT* updateRect, BOOL enabled);
// An image copied onto the destination through an effect with a raster operation.
QUIXCORE_API short BltEffect(HDC hdcDest, int xDest, int yDest, HDC hdcSrc, int xSrc, int ySrc,
                             int width, int height, short grain, short effect, short delay,
                             DWORD rop, HPALETTE palette, short multitask, BOOL wand,
                             COLORREF wandColor, short wandWidth, const char* id, short cancelMode,
                             BOOL* canceled);

// The same on the effect worker thread; they stop early when *cancel becomes TRUE, and may
// suspend themselves between increments (thread, cued, multiEffect and effectIncrement are the
// worker's own state).
QUIXCORE_API short DoThreadTransition(HDC hdc, const RECT* rect, short style, short reserved,
                                      COLORREF backColor, COLORREF foreColor, short grain,
                                      short effect, short delay, short multitask, BOOL wand,
                                      COLORREF wandColor, short wandWidth, const char* id,
                                      short cancelMode, BOOL* canceled, short reserved1,
                                      short reserved2, short reserved3, short reserved4,
                                      short useUpdateRect, const RECT* updateRect, short* error,
                                      BOOL enabled, BOOL* cancel, HWND window, void* thread,
                                      BOOL* cued, BOOL* multiEffect, BOOL* effectIncrement);
QUIXCORE_API short DoThreadCaptureTransition(
    HDC hdc, const RECT* rect, short reserved, HBITMAP composed, short grain, short effect,
    short delay, short multitask, BOOL wand, COLORREF wandColor, short wandWidth, const char* id,
    short cancelMode, BOOL* canceled, short* error, short reserved1, short reserved2,
    short reserved3, short reserved4, short useUpdateRect, const RECT* updateRect, BOOL enabled,
    BOOL* cancel, HWND window, void* thread, BOOL* cued, BOOL* multiEffect, BOOL* effectIncrement);
QUIXCORE_API short BltThreadEffect(HDC hdcDest, int xDest, int yDest, HDC hdcSrc, int xSrc,
                                   int ySrc, int width, int height, short grain, short effect,
                                   short delay, DWORD rop, HPALETTE palette, short multitask,
                                   BOOL wand, COLORREF wandColor, short wandWidth, const char* id,
                                   short cancelMode, BOOL* canceled, BOOL* cancel, HWND window,
                                   void* thread, BOOL* cued, BOOL* multiEffect,
                                   BOOL* effectIncrement);

// ---- composition ----

// A new bitmap of the rectangle's size with a gradient of the style and steps between two
// colours (the caller deletes it); none on failure. This version makes none.
QUIXCORE_API HBITMAP GetGradientBitmap(HDC hdc, const RECT* rect, short reserved, short style,
                                       short steps, COLORREF color1, COLORREF color2);
// Copies the source context's pixels into the destination wherever the destination shows the key
// colour, over (x, y, width, height). This version copies nothing and returns QUIX_E_UNSUPPORTED,
// as do the other composition functions below that return a short.
QUIXCORE_API short CreateTransparentBitmap(HDC hdcDest, int x, int y, int width, int height,
                                           COLORREF key, HDC hdcSrc);
// Puts the mask's shape over the given area of the destination, from the output context.
QUIXCORE_API short CreateTransparentMaskBitmap(HDC hdcDest, int x, int y, int width, int height,
                                               HBITMAP mask, HDC hdcOutput);
// Draws the picture into the rectangle by alignment, offset, transparency and back style (tiles
// for style 5); returns where it went through *placedX and *placedY.
QUIXCORE_API short AddImageToControl(HDC hdc, const RECT* rect, HBITMAP picture, HPALETTE palette,
                                     short reserved, BOOL visible, short align, short x, short y,
                                     short* placedX, short* placedY, short backStyle, BOOL runTime,
                                     BOOL transparent, COLORREF transparentColor);
QUIXCORE_API short TileImage(HDC hdcDest, int width, int height, int reserved, HDC hdcSrc, int xSrc,
                             int ySrc, int srcWidth, int srcHeight);
// The bevelled borders.
QUIXCORE_API short DrawBorder(HDC hdc, const RECT* rect, short reserved, short outerStyle,
                              short outerWidth, COLORREF outerColor1, COLORREF outerColor2,
                              short innerStyle, short innerWidth, COLORREF innerColor1,
                              COLORREF innerColor2, short borderWidth, COLORREF borderColor,
                              short reserved1, short reserved2, short reserved3, short reserved4);
// The caption with its 3-D style and colours, in the font selected into the context.
QUIXCORE_API short PaintTextInControl(HDC hdc, const RECT* rect, short font3D, short dropX,
                                      short dropY, short blockSize, short outerStyle,
                                      short outerWidth, short innerStyle, short innerWidth,
                                      short borderWidth, const char* caption, short textX,
                                      short textY, short alignment, BOOL wordWrap,
                                      COLORREF foreColor, COLORREF color3D1, COLORREF color3D2,
                                      COLORREF shadowColor, COLORREF outlineColor, short reserved);
// A new bitmap of the screen under the rectangle, stored through *captured; the result also goes
// to *error. This version captures nothing: *captured becomes none.
QUIXCORE_API short CaptureControl(HDC hdc, const RECT* rect, HBITMAP* captured, short* error);
// A new copy of the bitmap (of the area given, the whole bitmap for a zero width or height). This
// version makes none.
QUIXCORE_API HBITMAP CopyBitmap(HDC hdc, HBITMAP source, int x, int y, int width, int height);
// The update area as x, y, width and height within the rectangle. This version gives the whole
// rectangle for every update area.
QUIXCORE_API void GetUpdateRectValues(const RECT* rect, int* x, int* y, int* width, int* height,
                                      short updateArea, short updateX, short updateY, short updateW,
                                      short updateH);

// ---- packed device-independent bitmaps (global memory) ----
// This version converts nothing: the functions that make or find something give none, and
// DestroyDIB frees the block it is given.

QUIXCORE_API HGLOBAL BitmapToDIB(HBITMAP bitmap, HPALETTE palette);
// The pixel bits of a locked packed bitmap.
QUIXCORE_API void* FindDIBBits(const void* packedDib);
QUIXCORE_API void DestroyDIB(HGLOBAL dib);
QUIXCORE_API HBITMAP BitmapFromDib(HGLOBAL dib, HPALETTE palette);
// A new palette for the bitmap (the caller deletes it); none when it needs none.
QUIXCORE_API HPALETTE CreateDibPalette(HGLOBAL dib);
// A new palette of the system's colours (the caller deletes it).
QUIXCORE_API HPALETTE GetSystemPalette();

// ---- printing ----
// This version prints nothing and returns QUIX_E_UNSUPPORTED.

QUIXCORE_API short PrintControl(HDC printer, const RECT* rect, BOOL banding, LONG left, LONG top,
                                LONG width, LONG height, short s1, short s2, short s3, short s4,
                                short s5, ULONG u1, ULONG u2, ULONG u3, ULONG u4, ULONG u5,
                                short t1, short t2, HBITMAP bitmap, HPALETTE palette, short z1,
                                short z2);

// ---- hotspots ----
// A hotspot set is one global-memory block of consecutive 848-byte records (see
// HotspotRecordSize) and its record count. The loaders release or reuse a block they are handed.
// This version reads and keeps no hotspots: LoadHotspotFile returns QUIX_E_FILE for a file it
// cannot open and QUIX_E_UNSUPPORTED otherwise, GetHotspotData gives an empty name, the others
// return QUIX_E_UNSUPPORTED, and DeleteHSRegions has no regions to release.

inline constexpr std::size_t HotspotRecordSize = 848;

QUIXCORE_API short LoadHotspotFile(const char* file, short* count, HGLOBAL* block, float xScale,
                                   float yScale);
// The bytes of a byte array (with their number, so that a short array is not read past its end).
QUIXCORE_API short LoadHotspotResource(const BYTE* data, ULONG size, short* count, HGLOBAL* block,
                                       float xScale, float yScale);
// Releases the records' regions (the caller frees the block).
QUIXCORE_API void DeleteHSRegions(short count, HGLOBAL block);
QUIXCORE_API short EnableHotspot(short count, HGLOBAL block, short index, short enable);
// The hotspot under the mouse in the window: its name (at most nameSize - 1 bytes and a zero),
// id and priority.
QUIXCORE_API short GetHotspotData(HWND window, HGLOBAL block, short count, char* name, int nameSize,
                                  short* id, short* priority, short r1, short r2, short r3,
                                  short r4, short r5, short r6, short r7, short x, short y,
                                  short reserved);
QUIXCORE_API short IQuixAddHotspot(short x1, short y1, short x2, short y2, short id,
                                   const char* name, short* count, HGLOBAL* block);

// ---- drawing into the composed bitmap ----
// This version draws none of them: without a composed bitmap they return QUIX_E_NOIMAGE, with one
// QUIX_E_UNSUPPORTED. SaveControlImage writes nothing and returns QUIX_E_UNSUPPORTED.

QUIXCORE_API short IQuixDrawLine(short x1, short y1, short x2, short y2, const VARIANT& color,
                                 const VARIANT& box, const VARIANT& fill, HBITMAP composed,
                                 short drawStyle, short drawWidth, short drawMode, short fillStyle,
                                 COLORREF fillColor);
QUIXCORE_API short IQuixDrawCircle(short x, short y, short radius, const VARIANT& color,
                                   const VARIANT& aspect, HBITMAP composed, short drawStyle,
                                   short drawWidth, short drawMode, short fillStyle,
                                   COLORREF fillColor);
QUIXCORE_API short IQuixDrawCurve(short x1, short y1, short x2, short y2, short x3, short y3,
                                  short x4, short y4, const VARIANT& color, HBITMAP composed,
                                  short drawStyle, short drawWidth, short drawMode);
QUIXCORE_API short IQuixDrawPolygon(short x1, short y1, short x2, short y2, const VARIANT& x3,
                                    const VARIANT& y3, const VARIANT& x4, const VARIANT& y4,
                                    const VARIANT& x5, const VARIANT& y5, const VARIANT& x6,
                                    const VARIANT& y6, const VARIANT& color, HBITMAP composed,
                                    short drawStyle, short drawWidth, short drawMode,
                                    short fillStyle, COLORREF fillColor);
QUIXCORE_API short IQuixDrawRoundRect(short x1, short y1, short x2, short y2, short roundW,
                                      short roundH, const VARIANT& color, HBITMAP composed,
                                      short drawStyle, short drawWidth, short drawMode,
                                      short fillStyle, COLORREF fillColor);
QUIXCORE_API short IQuixDrawArc(short x1, short y1, short x2, short y2, short startAngle,
                                short endAngle, const VARIANT& color, HBITMAP composed,
                                short drawStyle, short drawWidth, short drawMode);
QUIXCORE_API short IQuixDrawPie(short x1, short y1, short x2, short y2, short startAngle,
                                short endAngle, const VARIANT& color, HBITMAP composed,
                                short drawStyle, short drawWidth, short drawMode, short fillStyle,
                                COLORREF fillColor);
// Writes the bitmap to the file.
QUIXCORE_API short SaveControlImage(const char* file, HBITMAP bitmap);

// ---- cursors ----

// The cursor for a MousePointer value 1 to 98, or none. This version has none.
QUIXCORE_API HCURSOR GetQuixCursor(short pointer);

// ---- the string table ----
// The library's module holds the texts that name the values of the control's enumerations, for
// the lists of the control's property pages: LoadStringA (platform/com/resources.h) reads them
// from the module that LoadLibraryA("quixcore.DLL") gives. The text of value i of a list is
// string base + i.
inline constexpr UINT IDS_QUIX_MEFFECT = 2048;     // 114 effects (enumMEffect)
inline constexpr UINT IDS_QUIX_DEFFECT = 2192;     // 114 dissolve effects (enumDEffect)
inline constexpr UINT IDS_QUIX_GRADIENT = 2500;    // 20 gradient styles (enumGradient)
inline constexpr UINT IDS_QUIX_POINTER = 2550;     // 45 pointers: 0 to 43, then 99 (custom)
inline constexpr UINT IDS_QUIX_CANCELMODE = 2625;  // 10 cancel modes (enumCancelMode)
inline constexpr UINT IDS_QUIX_SHAPE = 2650;       // 18 shapes (enumShape)
// Every text fits a buffer of this many characters, its zero included.
inline constexpr int kQuixStringBuffer = 30;
