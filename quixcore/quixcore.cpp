// This version's bodies, as the comments of quixcore.h describe them: the functions it does not
// carry out draw nothing and report QUIX_E_UNSUPPORTED or return no object.
#include "quixcore/quixcore.h"

#include <cstdio>

namespace {

short Unsupported(short* error = nullptr) {
    if (error) *error = QUIX_E_UNSUPPORTED;
    return QUIX_E_UNSUPPORTED;
}

}  // namespace

short DoTransition(HDC, const RECT*, short, short, COLORREF, COLORREF, short, short, short, short,
                   BOOL, COLORREF, short, const char*, short, BOOL*, short, short, short, short,
                   short, const RECT*, short* error, BOOL) {
    return Unsupported(error);
}

short DoGradientTransition(HDC, const RECT*, short, short, short, COLORREF, COLORREF, short, short,
                           short, short, BOOL, COLORREF, short, const char*, short, BOOL*,
                           short* error, short, short, short, short, short, const RECT*, BOOL) {
    return Unsupported(error);
}

short DoCaptureTransition(HDC, const RECT*, short, HBITMAP, short, short, short, short, BOOL,
                          COLORREF, short, const char*, short, BOOL*, short* error, short, short,
                          short, short, short, const RECT*, BOOL) {
    return Unsupported(error);
}

short BltEffect(HDC, int, int, HDC, int, int, int, int, short, short, short, DWORD, HPALETTE, short,
                BOOL, COLORREF, short, const char*, short, BOOL*) {
    return Unsupported();
}

short DoThreadTransition(HDC, const RECT*, short, short, COLORREF, COLORREF, short, short, short,
                         short, BOOL, COLORREF, short, const char*, short, BOOL*, short, short,
                         short, short, short, const RECT*, short* error, BOOL, BOOL*, HWND, void*,
                         BOOL*, BOOL*, BOOL*) {
    return Unsupported(error);
}

short DoThreadCaptureTransition(HDC, const RECT*, short, HBITMAP, short, short, short, short, BOOL,
                                COLORREF, short, const char*, short, BOOL*, short* error, short,
                                short, short, short, short, const RECT*, BOOL, BOOL*, HWND, void*,
                                BOOL*, BOOL*, BOOL*) {
    return Unsupported(error);
}

short BltThreadEffect(HDC, int, int, HDC, int, int, int, int, short, short, short, DWORD, HPALETTE,
                      short, BOOL, COLORREF, short, const char*, short, BOOL*, BOOL*, HWND, void*,
                      BOOL*, BOOL*, BOOL*) {
    return Unsupported();
}

HBITMAP GetGradientBitmap(HDC, const RECT*, short, short, short, COLORREF, COLORREF) {
    return nullptr;
}

short CreateTransparentBitmap(HDC, int, int, int, int, COLORREF, HDC) {
    return Unsupported();
}

short CreateTransparentMaskBitmap(HDC, int, int, int, int, HBITMAP, HDC) {
    return Unsupported();
}

short AddImageToControl(HDC, const RECT*, HBITMAP, HPALETTE, short, BOOL, short, short, short,
                        short*, short*, short, BOOL, BOOL, COLORREF) {
    return Unsupported();
}

short TileImage(HDC, int, int, int, HDC, int, int, int, int) {
    return Unsupported();
}

short DrawBorder(HDC, const RECT*, short, short, short, COLORREF, COLORREF, short, short, COLORREF,
                 COLORREF, short, COLORREF, short, short, short, short) {
    return Unsupported();
}

short PaintTextInControl(HDC, const RECT*, short, short, short, short, short, short, short, short,
                         short, const char*, short, short, short, BOOL, COLORREF, COLORREF,
                         COLORREF, COLORREF, COLORREF, short) {
    return Unsupported();
}

short CaptureControl(HDC, const RECT*, HBITMAP* captured, short* error) {
    if (captured) *captured = nullptr;
    return Unsupported(error);
}

HBITMAP CopyBitmap(HDC, HBITMAP, int, int, int, int) {
    return nullptr;
}

void GetUpdateRectValues(const RECT* rect, int* x, int* y, int* width, int* height, short, short,
                         short, short, short) {
    // Every update area is the whole rectangle.
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
    return Unsupported();
}

short LoadHotspotFile(const char* file, short*, HGLOBAL*, float, float) {
    if (!file) return QUIX_E_FILE;
    std::FILE* f = std::fopen(file, "rb");
    if (!f) return QUIX_E_FILE;
    std::fclose(f);
    return Unsupported();
}

short LoadHotspotResource(const BYTE*, ULONG, short*, HGLOBAL*, float, float) {
    return Unsupported();
}

void DeleteHSRegions(short, HGLOBAL) {
    // No loader makes regions, so there are none to release.
}

short EnableHotspot(short, HGLOBAL, short, short) {
    return Unsupported();
}

short GetHotspotData(HWND, HGLOBAL, short, char* name, int nameSize, short*, short*, short, short,
                     short, short, short, short, short, short, short, short) {
    if (name && nameSize > 0) name[0] = 0;
    return Unsupported();
}

short IQuixAddHotspot(short, short, short, short, short, const char*, short*, HGLOBAL*) {
    return Unsupported();
}

short IQuixDrawLine(short, short, short, short, const VARIANT&, const VARIANT&, const VARIANT&,
                    HBITMAP composed, short, short, short, short, COLORREF) {
    return composed ? Unsupported() : QUIX_E_NOIMAGE;
}

short IQuixDrawCircle(short, short, short, const VARIANT&, const VARIANT&, HBITMAP composed, short,
                      short, short, short, COLORREF) {
    return composed ? Unsupported() : QUIX_E_NOIMAGE;
}

short IQuixDrawCurve(short, short, short, short, short, short, short, short, const VARIANT&,
                     HBITMAP composed, short, short, short) {
    return composed ? Unsupported() : QUIX_E_NOIMAGE;
}

short IQuixDrawPolygon(short, short, short, short, const VARIANT&, const VARIANT&, const VARIANT&,
                       const VARIANT&, const VARIANT&, const VARIANT&, const VARIANT&,
                       const VARIANT&, const VARIANT&, HBITMAP composed, short, short, short, short,
                       COLORREF) {
    return composed ? Unsupported() : QUIX_E_NOIMAGE;
}

short IQuixDrawRoundRect(short, short, short, short, short, short, const VARIANT&, HBITMAP composed,
                         short, short, short, short, COLORREF) {
    return composed ? Unsupported() : QUIX_E_NOIMAGE;
}

short IQuixDrawArc(short, short, short, short, short, short, const VARIANT&, HBITMAP composed,
                   short, short, short) {
    return composed ? Unsupported() : QUIX_E_NOIMAGE;
}

short IQuixDrawPie(short, short, short, short, short, short, const VARIANT&, HBITMAP composed,
                   short, short, short, short, COLORREF) {
    return composed ? Unsupported() : QUIX_E_NOIMAGE;
}

short SaveControlImage(const char*, HBITMAP) {
    return Unsupported();
}

HCURSOR GetQuixCursor(short) {
    return nullptr;
}
