// This version's bodies. Each says what it does; those whose work is built by the later parts of
// the control draw nothing and report QUIX_E_NOTBUILT or return no object.
#include "quixcore/quixcore.h"

#include <cstdio>

namespace {

short NotBuilt(short* error = nullptr) {
    if (error) *error = QUIX_E_NOTBUILT;
    return QUIX_E_NOTBUILT;
}

}  // namespace

short DoTransition(HDC, const RECT*, short, short, COLORREF, COLORREF, short, short, short, short,
                   BOOL, COLORREF, short, const char*, short, BOOL*, short, short, short, short,
                   short, const RECT*, short* error, BOOL) {
    return NotBuilt(error);
}

short DoGradientTransition(HDC, const RECT*, short, short, short, COLORREF, COLORREF, short, short,
                           short, short, BOOL, COLORREF, short, const char*, short, BOOL*,
                           short* error, short, short, short, short, short, const RECT*, BOOL) {
    return NotBuilt(error);
}

short DoCaptureTransition(HDC, const RECT*, short, HBITMAP, short, short, short, short, BOOL,
                          COLORREF, short, const char*, short, BOOL*, short* error, short, short,
                          short, short, short, const RECT*, BOOL) {
    return NotBuilt(error);
}

short BltEffect(HDC, int, int, HDC, int, int, int, int, short, short, short, DWORD, HPALETTE, short,
                BOOL, COLORREF, short, const char*, short, BOOL*) {
    return NotBuilt();
}

short DoThreadTransition(HDC, const RECT*, short, short, COLORREF, COLORREF, short, short, short,
                         short, BOOL, COLORREF, short, const char*, short, BOOL*, short, short,
                         short, short, short, const RECT*, short* error, BOOL, BOOL*, HWND, void*,
                         BOOL*, BOOL*, BOOL*) {
    return NotBuilt(error);
}

short DoThreadCaptureTransition(HDC, const RECT*, short, HBITMAP, short, short, short, short, BOOL,
                                COLORREF, short, const char*, short, BOOL*, short* error, short,
                                short, short, short, short, const RECT*, BOOL, BOOL*, HWND, void*,
                                BOOL*, BOOL*, BOOL*) {
    return NotBuilt(error);
}

short BltThreadEffect(HDC, int, int, HDC, int, int, int, int, short, short, short, DWORD, HPALETTE,
                      short, BOOL, COLORREF, short, const char*, short, BOOL*, BOOL*, HWND, void*,
                      BOOL*, BOOL*, BOOL*) {
    return NotBuilt();
}

HBITMAP GetGradientBitmap(HDC, const RECT*, short, short, short, COLORREF, COLORREF) {
    return nullptr;
}

short CreateTransparentBitmap(HDC, int, int, int, int, COLORREF, HDC) {
    return NotBuilt();
}

short CreateTransparentMaskBitmap(HDC, int, int, int, int, HBITMAP, HDC) {
    return NotBuilt();
}

short AddImageToControl(HDC, const RECT*, HBITMAP, HPALETTE, short, BOOL, short, short, short,
                        short*, short*, short, BOOL, BOOL, COLORREF) {
    return NotBuilt();
}

short TileImage(HDC, int, int, int, HDC, int, int, int, int) {
    return NotBuilt();
}

short DrawBorder(HDC, const RECT*, short, short, short, COLORREF, COLORREF, short, short, COLORREF,
                 COLORREF, short, COLORREF, short, short, short, short) {
    return NotBuilt();
}

short PaintTextInControl(HDC, const RECT*, short, short, short, short, short, short, short, short,
                         short, const char*, short, short, short, BOOL, COLORREF, COLORREF,
                         COLORREF, COLORREF, COLORREF, short) {
    return NotBuilt();
}

short CaptureControl(HDC, const RECT*, HBITMAP* captured, short* error) {
    if (captured) *captured = nullptr;
    return NotBuilt(error);
}

HBITMAP CopyBitmap(HDC, HBITMAP, int, int, int, int) {
    return nullptr;
}

void GetUpdateRectValues(const RECT* rect, int* x, int* y, int* width, int* height, short, short,
                         short, short, short) {
    // Until the update areas are built: the whole rectangle.
    if (x) *x = 0;
    if (y) *y = 0;
    if (width) *width = rect ? rect->right - rect->left : 0;
    if (height) *height = rect ? rect->bottom - rect->top : 0;
}

HGLOBAL BitmapToDIB(HBITMAP, HPALETTE) {
    return nullptr;
}

void* FindDIBBits(const void*) {
    return nullptr;
}

void DestroyDIB(HGLOBAL dib) {
    if (dib) GlobalFree(dib);
}

HBITMAP BitmapFromDib(HGLOBAL, HPALETTE) {
    return nullptr;
}

HPALETTE CreateDibPalette(HGLOBAL) {
    return nullptr;
}

HPALETTE GetSystemPalette() {
    return nullptr;
}

short PrintControl(HDC, const RECT*, BOOL, LONG, LONG, LONG, LONG, short, short, short, short,
                   short, ULONG, ULONG, ULONG, ULONG, ULONG, short, short, HBITMAP, HPALETTE, short,
                   short) {
    return NotBuilt();
}

short LoadHotspotFile(const char* file, short*, HGLOBAL*, float, float) {
    if (!file) return QUIX_E_FILE;
    std::FILE* f = std::fopen(file, "rb");
    if (!f) return QUIX_E_FILE;
    std::fclose(f);
    return NotBuilt();
}

short LoadHotspotResource(const BYTE*, ULONG, short*, HGLOBAL*, float, float) {
    return NotBuilt();
}

void DeleteHSRegions(short, HGLOBAL) {
    // No loader builds regions yet, so there are none to release.
}

short EnableHotspot(short, HGLOBAL, short, short) {
    return NotBuilt();
}

short GetHotspotData(HWND, HGLOBAL, short, char* name, int nameSize, short*, short*, short, short,
                     short, short, short, short, short, short, short, short) {
    if (name && nameSize > 0) name[0] = 0;
    return NotBuilt();
}

short IQuixAddHotspot(short, short, short, short, short, const char*, short*, HGLOBAL*) {
    return NotBuilt();
}

short IQuixDrawLine(short, short, short, short, const VARIANT&, const VARIANT&, const VARIANT&,
                    HBITMAP composed, short, short, short, short, COLORREF) {
    return composed ? NotBuilt() : QUIX_E_NOIMAGE;
}

short IQuixDrawCircle(short, short, short, const VARIANT&, const VARIANT&, HBITMAP composed, short,
                      short, short, short, COLORREF) {
    return composed ? NotBuilt() : QUIX_E_NOIMAGE;
}

short IQuixDrawCurve(short, short, short, short, short, short, short, short, const VARIANT&,
                     HBITMAP composed, short, short, short) {
    return composed ? NotBuilt() : QUIX_E_NOIMAGE;
}

short IQuixDrawPolygon(short, short, short, short, const VARIANT&, const VARIANT&, const VARIANT&,
                       const VARIANT&, const VARIANT&, const VARIANT&, const VARIANT&,
                       const VARIANT&, const VARIANT&, HBITMAP composed, short, short, short, short,
                       COLORREF) {
    return composed ? NotBuilt() : QUIX_E_NOIMAGE;
}

short IQuixDrawRoundRect(short, short, short, short, short, short, const VARIANT&, HBITMAP composed,
                         short, short, short, short, COLORREF) {
    return composed ? NotBuilt() : QUIX_E_NOIMAGE;
}

short IQuixDrawArc(short, short, short, short, short, short, const VARIANT&, HBITMAP composed,
                   short, short, short) {
    return composed ? NotBuilt() : QUIX_E_NOIMAGE;
}

short IQuixDrawPie(short, short, short, short, short, short, const VARIANT&, HBITMAP composed,
                   short, short, short, short, COLORREF) {
    return composed ? NotBuilt() : QUIX_E_NOIMAGE;
}

short SaveControlImage(const char*, HBITMAP) {
    return NotBuilt();
}

HCURSOR GetQuixCursor(short) {
    return nullptr;
}
