// The bodies that draw nothing in this version: printing, hotspot sets, drawing into the composed
// bitmap, image saving and cursors report QUIX_E_UNSUPPORTED or return no object. The others are in
// effects.cpp, gradients.cpp, borders.cpp, caption.cpp, images.cpp and dibs.cpp, the string table
// in strings.cpp.
#include <cstdio>

#include "quixcore/quixcore.h"

namespace {

short Unsupported(short* error = nullptr) {
    if (error) *error = QUIX_E_UNSUPPORTED;
    return QUIX_E_UNSUPPORTED;
}

}  // namespace

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
