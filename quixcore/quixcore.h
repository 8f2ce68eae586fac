// The drawing library the control links against: transitions and effects, gradients, transparent
// and masked bitmaps, borders, captions, picture placement, screen capture, bitmap copies, packed
// device-independent bitmaps, printing, hotspot sets, drawing into a bitmap, image saving and the
// library's cursors.
//
// Every function here is declared with the arguments the control passes. The library's catalogue
// of transitions and effects (the meaning of effect, grain, delay, style and cancel-mode numbers),
// its hotspot file and byte-array formats and its string table are its own. Functions that return
// a short report 0 for success and a negative code otherwise (QUIX_E_...), unless they say so; a
// function that is given an error pointer writes the code there only when it fails, so an earlier
// code stays after a success. A context, bitmap or palette handle that names no such object is
// refused with QUIX_E_HANDLE (or no object) and nothing is drawn. Colours are COLORREFs
// (0x00BBGGRR). The identification string may be anything; it is not read.
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
inline constexpr short QUIX_E_HANDLE = -110;        // a handle that names no such object
inline constexpr short QUIX_E_ARGUMENT = -111;  // a style, size or rectangle outside the catalogue
inline constexpr short QUIX_E_DRAW = -112;      // a graphics call failed (no memory)
inline constexpr short QUIX_E_NOIMAGE = -300;   // no composed or captured image
inline constexpr short QUIX_E_MASK = -430;      // the mask is not a bitmap

// ---- catalogues of the style numbers ----

// Gradient styles (GStyle, FGStyle; enumGradient). The gradient runs in `steps` bands of solid
// colour (1 to 256; fewer than 2 is the first colour alone); band k of n has the colour
// color1 + (color2 - color1) * k / (n - 1), each channel on its own, rounded toward color1. A
// pixel's band is where its centre lies along the style's course, from color1 to color2:
enum QuixGradient : short {
    QUIX_GS_LeftToRight = 0,              // color1 at the left edge, color2 at the right
    QUIX_GS_RightToLeft = 1,              // color1 at the right edge
    QUIX_GS_TopToBottom = 2,              // color1 at the top
    QUIX_GS_BottomToTop = 3,              // color1 at the bottom
    QUIX_GS_OutsideToCenter = 4,          // color1 at the border, color2 at the centre, in
                                          // rectangles similar to the box
    QUIX_GS_CenterToOutside = 5,          // color1 at the centre, color2 at the border
    QUIX_GS_Diagonal_TLBR = 6,            // color1 at the top-left corner, color2 bottom-right
    QUIX_GS_Diagonal_BRTL = 7,            // color1 at the bottom-right corner
    QUIX_GS_Diagonal_TRBL = 8,            // color1 at the top-right corner
    QUIX_GS_Diagonal_BLTR = 9,            // color1 at the bottom-left corner
    QUIX_GS_Diagonal_TLBR_ToCenter = 10,  // color1 at the top-left and bottom-right corners,
                                          // color2 on the diagonal from top-right to bottom-left
    QUIX_GS_Diagonal_CenterTo_TLBR = 11,  // the reverse of 10
    QUIX_GS_Diagonal_TRBL_ToCenter = 12,  // color1 at the top-right and bottom-left corners,
                                          // color2 on the diagonal from top-left to bottom-right
    QUIX_GS_Diagonal_CenterTo_TRBL = 13,  // the reverse of 12
    QUIX_GS_EllipseToCenter = 14,         // color1 at the corners, color2 at the centre, in
                                          // ellipses similar to the box
    QUIX_GS_EllipseFromCenter = 15,       // the reverse of 14
    QUIX_GS_HorizontalToCenter = 16,      // color1 at the top and bottom, color2 on the middle row
    QUIX_GS_HorizontalFromCenter = 17,    // the reverse of 16
    QUIX_GS_VerticalToCenter = 18,        // color1 at the left and right, color2 on the middle
                                          // column
    QUIX_GS_VerticalFromCenter = 19,      // the reverse of 18
};

// Bevel styles (BOuterStyle, BInnerStyle; enumBStyle). A bevel of width w is w rings of one pixel
// at depth 0 (outermost) to w - 1. The top and left sides of ring k cover its top row but its last
// pixel and its left column but its last pixel; the bottom and right sides the rest, so the
// top-right and bottom-left corner pixels belong to the bottom and right sides.
enum QuixBevel : short {
    QUIX_BEVEL_None = 0,
    QUIX_BEVEL_Inset = 1,          // top and left in color1, bottom and right in color2
    QUIX_BEVEL_Raised = 2,         // top and left in color2, bottom and right in color1
    QUIX_BEVEL_InsetGradient = 3,  // as 1, ring k mixed toward the mean of the two colours by k / w
    QUIX_BEVEL_RaisedGradient = 4,  // as 2, mixed likewise
    QUIX_BEVEL_Color_1_2_1 = 5,     // flat thirds: ring k is color2 where 3k / w is 1, else color1
    QUIX_BEVEL_Color_2_1_2 = 6,     // the same with the colours swapped
};

// 3-D font styles (Font3D; enumFont3D): the passes drawn for each line of the caption, in order,
// at offsets from the corner of the caption's box; the face (ForeColor) is drawn last. The margin
// is what the styles add to the caption's width and height (the control's TextW and TextH).
enum QuixFont3D : short {
    QUIX_F3D_None = 0,          // face at (0, 0); margin 0
    QUIX_F3D_RaisedLight = 1,   // color1 at (0, 0), face at (1, 1); margin 1
    QUIX_F3D_RaisedHeavy = 2,   // color1 at (0, 0), color2 at (2, 2), face at (1, 1); margin 2
    QUIX_F3D_InsetLight = 3,    // color1 at (1, 1), face at (0, 0); margin 1
    QUIX_F3D_InsetHeavy = 4,    // color2 at (0, 0), color1 at (2, 2), face at (1, 1); margin 2
    QUIX_F3D_DropShadow = 5,    // shadowColor at face + (dropX, dropY); margin |dropX|, |dropY|
    QUIX_F3D_BlockShadow = 6,   // shadowColor at face + k (1, 1) for k = 1 .. blockSize (toward
                                // the top-left for a negative size); margin |blockSize|
    QUIX_F3D_OutlineBlock = 7,  // outlineColor one pixel around the face and the block, then the
                                // block in shadowColor; margin |blockSize| + 2
    QUIX_F3D_OutlineDrop = 8,   // shadowColor at face + (dropX, dropY), outlineColor one pixel
                                // around the face; margin |dropX| + 1, |dropY| + 1
};

// Caption alignments (Alignment; enumAlignment), the picture alignments (PictureAlign;
// enumPictureAlign) in the same order: value / 3 is left, right, centre; value % 3 is top,
// middle, bottom. A centred or middle place is rounded toward the left and the top.

// Transition fill styles (TStyle; enumShapeTStyle) of DoTransition: 0 solid backColor; 1 to 6
// the hatches horizontal, vertical, downward diagonal, upward diagonal, cross and diagonal cross
// (gdi.h's HS_ order) in foreColor over backColor; 7 the composed image (DoCaptureTransition).

// Effects (MEffect, TEffect, DEffect1 to 3; enumMEffect and enumDEffect): effect 0 puts the whole
// image on the context at once. This version draws every other effect number the same way (the
// final image at once, so the control always ends with the image it asked for); grain, delay,
// multitask, the wand and the cancel mode only pace and decorate the animated effects, and a
// transition drawn at once cannot be cancelled, so *canceled is left as it is.

// ---- transitions and effects: animate an image onto a context, ending with the image ----

// Fills the rectangle (with useUpdateRect 1: only the part of it inside *updateRect, which is in
// the coordinates of the rectangle's corner) with the transition fill `style` in backColor and
// foreColor. reserved1 1 makes the fill translucent: each pixel becomes the mean of the fill and
// what the context showed, channel by channel (rounded down). Styles outside 0 to 6 fail with
// QUIX_E_ARGUMENT.
QUIXCORE_API short DoTransition(HDC hdc, const RECT* rect, short style, short reserved,
                                COLORREF backColor, COLORREF foreColor, short grain, short effect,
                                short delay, short multitask, BOOL wand, COLORREF wandColor,
                                short wandWidth, const char* id, short cancelMode, BOOL* canceled,
                                short reserved1, short reserved2, short reserved3, short reserved4,
                                short useUpdateRect, const RECT* updateRect, short* error,
                                BOOL enabled);
// The same with a gradient (GetGradientBitmap's styles) of the rectangle's size as the fill.
QUIXCORE_API short DoGradientTransition(HDC hdc, const RECT* rect, short reserved,
                                        short gradientStyle, short steps, COLORREF color1,
                                        COLORREF color2, short grain, short effect, short delay,
                                        short multitask, BOOL wand, COLORREF wandColor,
                                        short wandWidth, const char* id, short cancelMode,
                                        BOOL* canceled, short* error, short reserved1,
                                        short reserved2, short reserved3, short reserved4,
                                        short useUpdateRect, const RECT* updateRect, BOOL enabled);
// Shows the composed image at the rectangle's corner, cut to the rectangle (and to *updateRect as
// above); no image: QUIX_E_NOIMAGE.
QUIXCORE_API short DoCaptureTransition(HDC hdc, const RECT* rect, short reserved, HBITMAP composed,
                                       short grain, short effect, short delay, short multitask,
                                       BOOL wand, COLORREF wandColor, short wandWidth,
                                       const char* id, short cancelMode, BOOL* canceled,
                                       short* error, short reserved1, short reserved2,
                                       short reserved3, short reserved4, short useUpdateRect,
                                       const RECT* updateRect, BOOL enabled);
// Copies (width x height) of the source at (xSrc, ySrc) onto the destination at (xDest, yDest)
// through the raster operation (BitBlt's); the palette, when given, is selected into the
// destination for the copy.
QUIXCORE_API short BltEffect(HDC hdcDest, int xDest, int yDest, HDC hdcSrc, int xSrc, int ySrc,
                             int width, int height, short grain, short effect, short delay,
                             DWORD rop, HPALETTE palette, short multitask, BOOL wand,
                             COLORREF wandColor, short wandWidth, const char* id, short cancelMode,
                             BOOL* canceled);

// The same on the effect worker thread: they draw nothing when *cancel is TRUE when they start,
// and otherwise draw as the functions above (the thread, cued, multiEffect and effectIncrement
// arguments pace the animated effects only).
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

// A new colour bitmap of the rectangle's size with a gradient of the style and steps between two
// colours (the caller deletes it); none for a style outside 0 to 19, an empty rectangle or a
// context that names none (a null context is taken).
QUIXCORE_API HBITMAP GetGradientBitmap(HDC hdc, const RECT* rect, short reserved, short style,
                                       short steps, COLORREF color1, COLORREF color2);
// Copies the source context's pixels into the destination wherever the destination shows exactly
// the key colour, over (x, y, width, height) of both.
QUIXCORE_API short CreateTransparentBitmap(HDC hdcDest, int x, int y, int width, int height,
                                           COLORREF key, HDC hdcSrc);
// Puts the mask's shape over the area: the destination holds the image of the area (its corner at
// (0, 0)); wherever the monochrome mask (from its corner) is white, the destination takes what the
// output context shows at (x, y) plus the pixel's place, so that showing the destination at (x, y)
// changes only the mask's black shape.
QUIXCORE_API short CreateTransparentMaskBitmap(HDC hdcDest, int x, int y, int width, int height,
                                               HBITMAP mask, HDC hdcOutput);
// Draws the picture into the rectangle, cut to it: placed by `align` (the alignment catalogue
// above: the picture's left, right or centre and top, middle or bottom at the rectangle's) and
// moved by (x, y); back style 5 tiles it over the whole rectangle instead, the first tile at the
// rectangle's corner moved by (x, y). With `transparent`, the picture's pixels of
// transparentColor leave the context as it was. *placedX and *placedY receive the picture's (or
// the first tile's) corner. Nothing is drawn without `visible` or without a picture (then the
// corner is (0, 0)). runTime and the palette do not change the drawing.
QUIXCORE_API short AddImageToControl(HDC hdc, const RECT* rect, HBITMAP picture, HPALETTE palette,
                                     short reserved, BOOL visible, short align, short x, short y,
                                     short* placedX, short* placedY, short backStyle, BOOL runTime,
                                     BOOL transparent, COLORREF transparentColor);
// Tiles (srcWidth x srcHeight) of the source at (xSrc, ySrc) over (0, 0, width, height) of the
// destination, the first tile at (0, 0).
QUIXCORE_API short TileImage(HDC hdcDest, int width, int height, int reserved, HDC hdcSrc, int xSrc,
                             int ySrc, int srcWidth, int srcHeight);
// The bevelled borders (the bevel catalogue above): the outer bevel of outerWidth at the
// rectangle's edge, then a gap of borderWidth for the border line, then the inner bevel of
// innerWidth. With reserved1 0 the border line is drawn too, in borderColor; with 1 it is left to
// the caller. A style 0 bevel takes no room; a style outside 0 to 6 fails with QUIX_E_ARGUMENT.
QUIXCORE_API short DrawBorder(HDC hdc, const RECT* rect, short reserved, short outerStyle,
                              short outerWidth, COLORREF outerColor1, COLORREF outerColor2,
                              short innerStyle, short innerWidth, COLORREF innerColor1,
                              COLORREF innerColor2, short borderWidth, COLORREF borderColor,
                              short reserved1, short reserved2, short reserved3, short reserved4);
// The caption in the font selected into the context, in the 3-D font style (catalogue above) and
// colours, the text colour of each pass, the background transparent. Its box is the rectangle
// inset by borderWidth, outerWidth (with an outer style) and innerWidth (with an inner style) and
// moved by (textX, textY); lines break at CR LF and LF and, with wordWrap, at spaces to fit the
// box's width less the style's margin (a word wider than that stays whole). Each line is placed
// by `alignment` (the alignment catalogue above) with the margin counted in its width, the block
// of lines likewise in the box's height. The context's colours and modes are restored.
QUIXCORE_API short PaintTextInControl(HDC hdc, const RECT* rect, short font3D, short dropX,
                                      short dropY, short blockSize, short outerStyle,
                                      short outerWidth, short innerStyle, short innerWidth,
                                      short borderWidth, const char* caption, short textX,
                                      short textY, short alignment, BOOL wordWrap,
                                      COLORREF foreColor, COLORREF color3D1, COLORREF color3D2,
                                      COLORREF shadowColor, COLORREF outlineColor, short reserved);
// A new bitmap of what the screen shows under the rectangle (in the context's coordinates),
// stored through *captured (null on failure, when the code also goes to *error).
QUIXCORE_API short CaptureControl(HDC hdc, const RECT* rect, HBITMAP* captured, short* error);
// A new copy of the bitmap (of the area given, cut to the bitmap; the whole bitmap for a zero width
// or height); monochrome stays monochrome. None for a bitmap that names none.
QUIXCORE_API HBITMAP CopyBitmap(HDC hdc, HBITMAP source, int x, int y, int width, int height);
// The update area as x, y, width and height within the rectangle: updateArea 0 the whole
// rectangle (0, 0, its width, its height); 1 the update rectangle cut to the rectangle.
QUIXCORE_API void GetUpdateRectValues(const RECT* rect, int* x, int* y, int* width, int* height,
                                      short updateArea, short updateX, short updateY, short updateW,
                                      short updateH);

// ---- packed device-independent bitmaps (global memory) ----

// A packed DIB in movable global memory: a 40-byte header, the colour table and the bits, bottom
// row first; 24 bits per pixel (1 bit with a black and white table for a monochrome bitmap). The
// palette is not needed for these depths (a handle that is not a palette is refused). Null on
// failure.
QUIXCORE_API HGLOBAL BitmapToDIB(HBITMAP bitmap, HPALETTE palette);
// The pixel bits of a locked packed bitmap (null when its header is not one that is read).
QUIXCORE_API void* FindDIBBits(const void* packedDib);
QUIXCORE_API void DestroyDIB(HGLOBAL dib);
// A new colour bitmap from a packed DIB in global memory (the block stays the caller's), read
// within the block's size; null when it cannot be read (or the palette handle names none).
QUIXCORE_API HBITMAP BitmapFromDib(HGLOBAL dib, HPALETTE palette);
// A new palette of the packed DIB's colour table (the caller deletes it); none without a table.
QUIXCORE_API HPALETTE CreateDibPalette(HGLOBAL dib);
// A new palette of the screen's 256 colours (the caller deletes it).
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
