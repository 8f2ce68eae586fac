// Palettes: logical palettes, their selection and realisation, and the screen's colours.
#include <algorithm>
#include <limits>

#include "platform/gdi/gdi.h"
#include "platform/gdi/objects.h"

using namespace platform::gdi::internal;

namespace {

std::shared_ptr<PaletteObject> PaletteOf(HPALETTE h) {
    return Find<PaletteObject>(Id(h), Kind::Palette);
}

HPALETTE NewPalette(std::vector<PALETTEENTRY> entries) {
    auto p = std::make_shared<PaletteObject>();
    p->entries = std::move(entries);
    return As<HPALETTE>(Add(p));
}

}  // namespace

HPALETTE CreatePalette(const LOGPALETTE* plpal) {
    if (!plpal || plpal->palVersion != 0x300 || plpal->palNumEntries == 0) return nullptr;
    return NewPalette(
        std::vector<PALETTEENTRY>(plpal->palPalEntry, plpal->palPalEntry + plpal->palNumEntries));
}

HPALETTE CreateHalftonePalette(HDC hdc) {
    if (hdc && !DcOf(hdc)) return nullptr;
    return NewPalette(HalftoneEntries());
}

UINT GetPaletteEntries(HPALETTE hpal, UINT iStart, UINT cEntries, PALETTEENTRY* pPalEntries) {
    auto p = PaletteOf(hpal);
    if (!p) return 0;
    std::lock_guard lock(p->mutex);
    UINT count = static_cast<UINT>(p->entries.size());
    if (!pPalEntries) return count;
    if (iStart >= count) return 0;
    UINT n = std::min(cEntries, count - iStart);
    std::copy_n(p->entries.begin() + iStart, n, pPalEntries);
    return n;
}

UINT SetPaletteEntries(HPALETTE hpal, UINT iStart, UINT cEntries, const PALETTEENTRY* pPalEntries) {
    auto p = PaletteOf(hpal);
    if (!p || p->stock || !pPalEntries) return 0;
    std::lock_guard lock(p->mutex);
    UINT count = static_cast<UINT>(p->entries.size());
    if (iStart >= count) return 0;
    UINT n = std::min(cEntries, count - iStart);
    std::copy_n(pPalEntries, n, p->entries.begin() + iStart);
    return n;
}

UINT GetNearestPaletteIndex(HPALETTE hpal, COLORREF color) {
    auto p = PaletteOf(hpal);
    if (!p) return CLR_INVALID;
    std::lock_guard lock(p->mutex);
    UINT best = 0;
    long bestDistance = std::numeric_limits<long>::max();
    for (UINT i = 0; i < p->entries.size(); ++i) {
        const PALETTEENTRY& e = p->entries[i];
        long dr = long(e.peRed) - GetRValue(color), dg = long(e.peGreen) - GetGValue(color),
             db = long(e.peBlue) - GetBValue(color);
        long d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

UINT GetSystemPaletteEntries(HDC hdc, UINT iStart, UINT cEntries, PALETTEENTRY* pPalEntries) {
    if (!DcOf(hdc)) return 0;
    const auto& entries = HalftoneEntries();
    UINT count = static_cast<UINT>(entries.size());
    if (!pPalEntries) return count;
    if (iStart >= count) return 0;
    UINT n = std::min(cEntries, count - iStart);
    std::copy_n(entries.begin() + iStart, n, pPalEntries);
    return n;
}

HPALETTE SelectPalette(HDC hdc, HPALETTE hpal, BOOL) {
    auto dc = DcOf(hdc);
    auto p = PaletteOf(hpal);
    if (!dc || !p) return nullptr;
    return As<HPALETTE>(Reselect(dc->state.palette, Id(hpal), p));
}

UINT RealizePalette(HDC hdc) {
    auto dc = DcOf(hdc);
    if (!dc) return GDI_ERROR;
    auto* p = static_cast<PaletteObject*>(dc->state.palette.object.get());
    if (!p) return 0;
    std::lock_guard lock(p->mutex);
    return static_cast<UINT>(p->entries.size());
}
