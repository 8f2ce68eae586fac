#include "platform/gdi/gdi.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/gdi/objects.h"
#include "platform/gdi/qt.h"

using namespace platform::gdi::internal;

namespace {

constexpr int kMaxSide = 16384;

std::uintptr_t g_stock[DEFAULT_PALETTE + 1];
std::once_flag g_stockOnce;

void MakeStock() {
    auto brush = [](COLORREF c, bool null) {
        auto b = std::make_shared<BrushObject>();
        b->stock = true;
        b->null = null;
        b->color = c;
        return Add(b);
    };
    auto pen = [](int style, COLORREF c) {
        auto p = std::make_shared<PenObject>();
        p->stock = true;
        p->style = style;
        p->color = c;
        return Add(p);
    };
    g_stock[WHITE_BRUSH] = brush(0xFFFFFF, false);
    g_stock[LTGRAY_BRUSH] = brush(0xC0C0C0, false);
    g_stock[GRAY_BRUSH] = brush(0x808080, false);
    g_stock[DKGRAY_BRUSH] = brush(0x404040, false);
    g_stock[BLACK_BRUSH] = brush(0, false);
    g_stock[NULL_BRUSH] = brush(0, true);
    g_stock[WHITE_PEN] = pen(PS_SOLID, 0xFFFFFF);
    g_stock[BLACK_PEN] = pen(PS_SOLID, 0);
    g_stock[NULL_PEN] = pen(PS_NULL, 0);
    // The default palette: the twenty static colours.
    static const BYTE kColors[20][3] = {
        {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
        {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
        {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
        {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
    auto pal = std::make_shared<PaletteObject>();
    pal->stock = true;
    for (const auto& c : kColors) pal->entries.push_back({c[0], c[1], c[2], 0});
    g_stock[DEFAULT_PALETTE] = Add(pal);
}

std::uintptr_t Stock(int i) {
    std::call_once(g_stockOnce, MakeStock);
    return g_stock[i];
}

bool NearerWhite(COLORREF c) {
    return GetRValue(c) + GetGValue(c) + GetBValue(c) > 382;
}
COLORREF MonoOf(COLORREF c) {
    return NearerWhite(c) ? 0xFFFFFF : 0;
}

std::shared_ptr<BitmapObject> NewBitmap(int w, int h, bool mono, int bits) {
    if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide) return nullptr;
    auto b = std::make_shared<BitmapObject>();
    b->image = QImage(w, h, QImage::Format_RGB32);
    if (b->image.isNull()) return nullptr;
    b->image.fill(mono ? Qt::white : Qt::black);
    b->mono = mono;
    b->bitsPixel = mono ? 1 : bits;
    return b;
}

std::shared_ptr<DCObject> DcOf(HDC hdc) {
    return Find<DCObject>(Id(hdc), Kind::DC);
}

std::shared_ptr<BitmapObject> BitmapOf(const DCObject& dc) {
    return Find<BitmapObject>(dc.bitmap, Kind::Bitmap);
}

int RegionType(const QRegion& r) {
    if (r.isEmpty()) return NULLREGION;
    return r.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

QRect RectOf(int l, int t, int r, int b) {
    if (l > r) std::swap(l, r);
    if (t > b) std::swap(t, b);
    return QRect(l, t, r - l, b - t);
}

// The ternary raster operation on 24-bit colour words.
DWORD Rop3(BYTE code, DWORD p, DWORD s, DWORD d) {
    DWORD result = 0;
    for (int index = 0; index < 8; ++index) {
        if (!((code >> index) & 1)) continue;
        DWORD term = ((index & 4) ? p : ~p) & ((index & 2) ? s : ~s) & ((index & 1) ? d : ~d);
        result |= term;
    }
    return result & 0xFFFFFF;
}

bool UsesSource(BYTE code) {
    return ((code >> 2) & 0x33) != (code & 0x33);
}
bool UsesPattern(BYTE code) {
    return ((code >> 4) & 0x0F) != (code & 0x0F);
}

// Colour words here are 0x00RRGGBB (QImage order); conversions keep black and white.
DWORD Word(QRgb p) {
    return p & 0xFFFFFF;
}
DWORD WordOf(COLORREF c) {
    return ToRgb(c) & 0xFFFFFF;
}

BOOL Transfer(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
    BYTE code = static_cast<BYTE>((rop >> 16) & 0xFF);
    auto dest = DcOf(hdc);
    if (!dest) return FALSE;
    auto target = BitmapOf(*dest);
    if (!target) return FALSE;
    std::shared_ptr<DCObject> srcDc;
    std::shared_ptr<BitmapObject> source;
    bool needSource = UsesSource(code);
    if (needSource) {
        srcDc = DcOf(hdcSrc);
        if (!srcDc) return FALSE;
        source = BitmapOf(*srcDc);
        if (!source) return FALSE;
    }
    if (cx < 0) {
        x += cx;
        x1 += cx;
        cx = -cx;
    }
    if (cy < 0) {
        y += cy;
        y1 += cy;
        cy = -cy;
    }
    DWORD pattern = 0;
    if (UsesPattern(code)) {
        auto brush = Find<BrushObject>(dest->brush, Kind::Brush);
        COLORREF c = brush && !brush->null ? brush->color : 0xFFFFFF;
        pattern = WordOf(target->mono ? MonoOf(c) : c);
    }
    QRect area(x, y, cx, cy);
    area &= target->image.rect();
    if (needSource) {
        QRect from = source->image.rect().translated(x - x1, y - y1);
        area &= from;
    }
    QImage* srcImage = source ? &source->image : nullptr;
    QImage copy;
    if (source.get() == target.get()) {
        copy = source->image.copy();
        srcImage = &copy;
    }
    for (int row = area.top(); row <= area.bottom(); ++row) {
        auto* out = reinterpret_cast<QRgb*>(target->image.scanLine(row));
        const QRgb* in = srcImage
                             ? reinterpret_cast<const QRgb*>(srcImage->constScanLine(row - y + y1))
                             : nullptr;
        for (int col = area.left(); col <= area.right(); ++col) {
            DWORD s = 0;
            if (in) {
                DWORD raw = Word(in[col - x + x1]);
                if (source->mono && !target->mono) {
                    s = raw ? WordOf(dest->bkColor) : WordOf(dest->textColor);
                } else if (!source->mono && target->mono) {
                    s = raw == WordOf(srcDc->bkColor) ? 0xFFFFFF : 0;
                } else {
                    s = raw;
                }
            }
            if (dest->clip && !dest->clip->contains(QPoint(col, row))) continue;
            out[col] = 0xFF000000u | Rop3(code, pattern, s, Word(out[col]));
        }
    }
    return TRUE;
}

}  // namespace

// ---- objects ----

HGDIOBJ GetStockObject(int i) {
    if (i < 0 || i > DEFAULT_PALETTE || (i > NULL_PEN && i < DEFAULT_PALETTE)) return nullptr;
    return As<HGDIOBJ>(Stock(i));
}

BOOL DeleteObject(HGDIOBJ ho) {
    auto o = Find(Id(ho));
    if (!o || o->kind == Kind::DC || o->kind == Kind::Global || o->kind == Kind::Icon) {
        return FALSE;
    }
    if (o->stock) return TRUE;
    if (o->kind == Kind::Bitmap) {
        std::lock_guard lock(LinkMutex());
        if (std::static_pointer_cast<BitmapObject>(o)->selectedInto) return FALSE;
        return Remove(Id(ho)) ? TRUE : FALSE;
    }
    return Remove(Id(ho)) ? TRUE : FALSE;
}

DWORD GetObjectType(HGDIOBJ h) {
    auto o = Find(Id(h));
    if (!o) return 0;
    switch (o->kind) {
        case Kind::Bitmap:
            return OBJ_BITMAP;
        case Kind::DC:
            return OBJ_MEMDC;
        case Kind::Region:
            return OBJ_REGION;
        case Kind::Palette:
            return OBJ_PAL;
        case Kind::Brush:
            return OBJ_BRUSH;
        case Kind::Pen:
            return OBJ_PEN;
        case Kind::MetaFile:
            return OBJ_METAFILE;
        case Kind::EnhMetaFile:
            return OBJ_ENHMETAFILE;
        default:
            return 0;
    }
}

int GetObjectA(HGDIOBJ h, int c, void* pv) {
    auto o = Find(Id(h));
    if (!o) return 0;
    if (o->kind == Kind::Bitmap) {
        auto b = std::static_pointer_cast<BitmapObject>(o);
        if (!pv) return sizeof(BITMAP);
        if (c < static_cast<int>(sizeof(BITMAP))) return 0;
        BITMAP bm{};
        bm.bmWidth = b->image.width();
        bm.bmHeight = b->image.height();
        bm.bmWidthBytes = ((bm.bmWidth * b->bitsPixel + 15) / 16) * 2;
        bm.bmPlanes = 1;
        bm.bmBitsPixel = static_cast<WORD>(b->bitsPixel);
        std::memcpy(pv, &bm, sizeof bm);
        return sizeof bm;
    }
    if (o->kind == Kind::Palette) {
        auto p = std::static_pointer_cast<PaletteObject>(o);
        if (!pv) return sizeof(WORD);
        if (c < static_cast<int>(sizeof(WORD))) return 0;
        WORD n = static_cast<WORD>(p->entries.size());
        std::memcpy(pv, &n, sizeof n);
        return sizeof n;
    }
    return 0;
}

// ---- bitmaps ----

HBITMAP CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount, const void* lpBits) {
    if (nPlanes != 1) return nullptr;
    if (nBitCount != 1 && nBitCount != 4 && nBitCount != 8 && nBitCount != 16 && nBitCount != 24 &&
        nBitCount != 32) {
        return nullptr;
    }
    bool mono = nBitCount == 1;
    auto b = NewBitmap(nWidth, nHeight, mono, static_cast<int>(nBitCount));
    if (!b) return nullptr;
    if (lpBits && (mono || nBitCount == 24 || nBitCount == 32)) {
        const auto* bytes = static_cast<const unsigned char*>(lpBits);
        int stride = ((nWidth * static_cast<int>(nBitCount) + 15) / 16) * 2;
        for (int row = 0; row < nHeight; ++row) {
            const unsigned char* line = bytes + static_cast<std::size_t>(row) * stride;
            auto* out = reinterpret_cast<QRgb*>(b->image.scanLine(row));
            for (int col = 0; col < nWidth; ++col) {
                if (mono) {
                    bool white = (line[col / 8] >> (7 - col % 8)) & 1;
                    out[col] = white ? 0xFFFFFFFFu : 0xFF000000u;
                } else {
                    int step = static_cast<int>(nBitCount) / 8;
                    const unsigned char* px = line + col * step;
                    out[col] = qRgb(px[2], px[1], px[0]);
                }
            }
        }
    } else {
        b->image.fill(Qt::black);
    }
    return As<HBITMAP>(Add(b));
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int cx, int cy) {
    bool mono = false;
    if (hdc) {
        auto dc = DcOf(hdc);
        if (!dc) return nullptr;
        auto current = BitmapOf(*dc);
        mono = current && current->mono;
    }
    auto b = NewBitmap(cx, cy, mono, 32);
    if (!b) return nullptr;
    b->image.fill(Qt::black);
    return As<HBITMAP>(Add(b));
}

// ---- device contexts ----

HDC CreateCompatibleDC(HDC hdc) {
    if (hdc && !DcOf(hdc)) return nullptr;
    auto bitmap = NewBitmap(1, 1, true, 1);
    std::uintptr_t bitmapId = Add(bitmap);
    auto dc = std::make_shared<DCObject>();
    dc->defaultBitmap = bitmapId;
    dc->bitmap = bitmapId;
    dc->brush = Stock(WHITE_BRUSH);
    dc->pen = Stock(BLACK_PEN);
    dc->palette = Stock(DEFAULT_PALETTE);
    std::uintptr_t id = Add(dc);
    bitmap->selectedInto = id;
    return As<HDC>(id);
}

BOOL DeleteDC(HDC hdc) {
    auto dc = DcOf(hdc);
    if (!dc) return FALSE;
    {
        std::lock_guard lock(LinkMutex());
        if (auto b = BitmapOf(*dc)) b->selectedInto = 0;
        if (auto d = Find<BitmapObject>(dc->defaultBitmap, Kind::Bitmap)) d->selectedInto = 0;
    }
    Remove(dc->defaultBitmap);
    Remove(Id(hdc));
    return TRUE;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h) {
    auto dc = DcOf(hdc);
    auto o = Find(Id(h));
    if (!dc || !o) return nullptr;
    std::uintptr_t id = Id(h);
    switch (o->kind) {
        case Kind::Bitmap: {
            std::lock_guard lock(LinkMutex());
            auto b = std::static_pointer_cast<BitmapObject>(o);
            if (dc->bitmap == id) return h;
            if (b->selectedInto) return nullptr;
            auto old = BitmapOf(*dc);
            if (old) old->selectedInto = 0;
            b->selectedInto = Id(hdc);
            std::uintptr_t previous = dc->bitmap;
            dc->bitmap = id;
            return As<HGDIOBJ>(previous);
        }
        case Kind::Brush:
            return As<HGDIOBJ>(std::exchange(dc->brush, id));
        case Kind::Pen:
            return As<HGDIOBJ>(std::exchange(dc->pen, id));
        case Kind::Palette:
            return As<HGDIOBJ>(std::exchange(dc->palette, id));
        case Kind::Region: {
            dc->clip = std::static_pointer_cast<RegionObject>(o)->region;
            return As<HGDIOBJ>(static_cast<std::uintptr_t>(RegionType(*dc->clip)));
        }
        default:
            return nullptr;
    }
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
    auto dc = DcOf(hdc);
    if (!dc) return nullptr;
    switch (type) {
        case OBJ_BITMAP:
            return As<HGDIOBJ>(dc->bitmap);
        case OBJ_BRUSH:
            return As<HGDIOBJ>(dc->brush);
        case OBJ_PEN:
            return As<HGDIOBJ>(dc->pen);
        case OBJ_PAL:
            return As<HGDIOBJ>(dc->palette);
        default:
            return nullptr;
    }
}

COLORREF SetBkColor(HDC hdc, COLORREF color) {
    auto dc = DcOf(hdc);
    return dc ? std::exchange(dc->bkColor, color & 0xFFFFFF) : CLR_INVALID;
}
COLORREF GetBkColor(HDC hdc) {
    auto dc = DcOf(hdc);
    return dc ? dc->bkColor : CLR_INVALID;
}
COLORREF SetTextColor(HDC hdc, COLORREF color) {
    auto dc = DcOf(hdc);
    return dc ? std::exchange(dc->textColor, color & 0xFFFFFF) : CLR_INVALID;
}
COLORREF GetTextColor(HDC hdc) {
    auto dc = DcOf(hdc);
    return dc ? dc->textColor : CLR_INVALID;
}
int SetBkMode(HDC hdc, int mode) {
    auto dc = DcOf(hdc);
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    return std::exchange(dc->bkMode, mode);
}
int GetBkMode(HDC hdc) {
    auto dc = DcOf(hdc);
    return dc ? dc->bkMode : 0;
}
int SetROP2(HDC hdc, int rop2) {
    auto dc = DcOf(hdc);
    if (!dc || rop2 < R2_BLACK || rop2 > R2_WHITE) return 0;
    return std::exchange(dc->rop2, rop2);
}
int GetROP2(HDC hdc) {
    auto dc = DcOf(hdc);
    return dc ? dc->rop2 : 0;
}

COLORREF GetPixel(HDC hdc, int x, int y) {
    auto dc = DcOf(hdc);
    if (!dc) return CLR_INVALID;
    auto b = BitmapOf(*dc);
    if (!b || !b->image.valid(x, y)) return CLR_INVALID;
    if (dc->clip && !dc->clip->contains(QPoint(x, y))) return CLR_INVALID;
    return ToColorRef(b->image.pixel(x, y));
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
    auto dc = DcOf(hdc);
    if (!dc) return CLR_INVALID;
    auto b = BitmapOf(*dc);
    if (!b || !b->image.valid(x, y)) return CLR_INVALID;
    if (dc->clip && !dc->clip->contains(QPoint(x, y))) return CLR_INVALID;
    COLORREF c = b->mono ? MonoOf(color) : (color & 0xFFFFFF);
    b->image.setPixel(x, y, ToRgb(c));
    return c;
}

BOOL BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
    return Transfer(hdc, x, y, cx, cy, hdcSrc, x1, y1, rop);
}

BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop) {
    BYTE code = static_cast<BYTE>((rop >> 16) & 0xFF);
    if (UsesSource(code)) return FALSE;
    return Transfer(hdc, x, y, w, h, nullptr, 0, 0, rop);
}

// ---- brushes and pens ----

HBRUSH CreateSolidBrush(COLORREF color) {
    auto b = std::make_shared<BrushObject>();
    b->color = color & 0xFFFFFF;
    return As<HBRUSH>(Add(b));
}

HPEN CreatePen(int iStyle, int cWidth, COLORREF color) {
    if (iStyle < PS_SOLID || iStyle > PS_INSIDEFRAME) return nullptr;
    auto p = std::make_shared<PenObject>();
    p->style = iStyle;
    p->width = cWidth;
    p->color = color & 0xFFFFFF;
    return As<HPEN>(Add(p));
}

// ---- regions ----

HRGN CreateRectRgn(int x1, int y1, int x2, int y2) {
    auto r = std::make_shared<RegionObject>();
    r->region = QRegion(RectOf(x1, y1, x2, y2));
    return As<HRGN>(Add(r));
}

HRGN CreateRectRgnIndirect(const RECT* lprect) {
    if (!lprect) return nullptr;
    return CreateRectRgn(lprect->left, lprect->top, lprect->right, lprect->bottom);
}

int CombineRgn(HRGN hrgnDst, HRGN hrgnSrc1, HRGN hrgnSrc2, int iMode) {
    auto dst = Find<RegionObject>(Id(hrgnDst), Kind::Region);
    auto a = Find<RegionObject>(Id(hrgnSrc1), Kind::Region);
    if (!dst || !a || iMode < RGN_AND || iMode > RGN_COPY) return ERROR;
    if (iMode == RGN_COPY) {
        dst->region = a->region;
        return RegionType(dst->region);
    }
    auto b = Find<RegionObject>(Id(hrgnSrc2), Kind::Region);
    if (!b) return ERROR;
    QRegion result;
    switch (iMode) {
        case RGN_AND:
            result = a->region.intersected(b->region);
            break;
        case RGN_OR:
            result = a->region.united(b->region);
            break;
        case RGN_XOR:
            result = a->region.xored(b->region);
            break;
        default:
            result = a->region.subtracted(b->region);
            break;
    }
    dst->region = result;
    return RegionType(result);
}

BOOL SetRectRgn(HRGN hrgn, int left, int top, int right, int bottom) {
    auto r = Find<RegionObject>(Id(hrgn), Kind::Region);
    if (!r) return FALSE;
    r->region = QRegion(RectOf(left, top, right, bottom));
    return TRUE;
}

int OffsetRgn(HRGN hrgn, int x, int y) {
    auto r = Find<RegionObject>(Id(hrgn), Kind::Region);
    if (!r) return ERROR;
    r->region.translate(x, y);
    return RegionType(r->region);
}

BOOL PtInRegion(HRGN hrgn, int x, int y) {
    auto r = Find<RegionObject>(Id(hrgn), Kind::Region);
    return r && r->region.contains(QPoint(x, y)) ? TRUE : FALSE;
}

BOOL EqualRgn(HRGN hrgn1, HRGN hrgn2) {
    auto a = Find<RegionObject>(Id(hrgn1), Kind::Region);
    auto b = Find<RegionObject>(Id(hrgn2), Kind::Region);
    // Equal when they cover the same pixels, however their rectangles are cut.
    return a && b && a->region.xored(b->region).isEmpty() ? TRUE : FALSE;
}

int GetRgnBox(HRGN hrgn, LPRECT lprc) {
    auto r = Find<RegionObject>(Id(hrgn), Kind::Region);
    if (!r || !lprc) return ERROR;
    QRect box = r->region.boundingRect();
    if (r->region.isEmpty()) {
        *lprc = RECT{0, 0, 0, 0};
    } else {
        *lprc = RECT{box.left(), box.top(), box.left() + box.width(), box.top() + box.height()};
    }
    return RegionType(r->region);
}

// ---- palettes ----

HPALETTE CreatePalette(const LOGPALETTE* plpal) {
    if (!plpal || plpal->palVersion != 0x300 || plpal->palNumEntries == 0) return nullptr;
    auto p = std::make_shared<PaletteObject>();
    p->entries.assign(plpal->palPalEntry, plpal->palPalEntry + plpal->palNumEntries);
    return As<HPALETTE>(Add(p));
}

UINT GetPaletteEntries(HPALETTE hpal, UINT iStart, UINT cEntries, PALETTEENTRY* pPalEntries) {
    auto p = Find<PaletteObject>(Id(hpal), Kind::Palette);
    if (!p) return 0;
    UINT count = static_cast<UINT>(p->entries.size());
    if (!pPalEntries) return count;
    if (iStart >= count) return 0;
    UINT n = std::min(cEntries, count - iStart);
    std::copy_n(p->entries.begin() + iStart, n, pPalEntries);
    return n;
}

// ---- icons ----

HICON CreateIconIndirect(ICONINFO* info) {
    if (!info) return nullptr;
    auto mask = Find<BitmapObject>(Id(info->hbmMask), Kind::Bitmap);
    if (!mask) return nullptr;
    auto icon = std::make_shared<IconObject>();
    icon->isIcon = info->fIcon;
    icon->xHotspot = info->xHotspot;
    icon->yHotspot = info->yHotspot;
    icon->mask = mask->image.copy();
    if (info->hbmColor) {
        auto color = Find<BitmapObject>(Id(info->hbmColor), Kind::Bitmap);
        if (!color) return nullptr;
        icon->color = color->image.copy();
    }
    return As<HICON>(Add(icon));
}

BOOL GetIconInfo(HICON hIcon, ICONINFO* info) {
    auto icon = Find<IconObject>(Id(hIcon), Kind::Icon);
    if (!icon || !info) return FALSE;
    info->fIcon = icon->isIcon;
    info->xHotspot = icon->xHotspot;
    info->yHotspot = icon->yHotspot;
    auto mask = std::make_shared<BitmapObject>();
    mask->image = icon->mask.copy();
    mask->mono = true;
    mask->bitsPixel = 1;
    info->hbmMask = As<HBITMAP>(Add(mask));
    info->hbmColor = nullptr;
    if (!icon->color.isNull()) {
        auto color = std::make_shared<BitmapObject>();
        color->image = icon->color.copy();
        info->hbmColor = As<HBITMAP>(Add(color));
    }
    return TRUE;
}

BOOL DestroyIcon(HICON hIcon) {
    if (!Find<IconObject>(Id(hIcon), Kind::Icon)) return FALSE;
    return Remove(Id(hIcon)) ? TRUE : FALSE;
}

HICON CopyIcon(HICON hIcon) {
    auto icon = Find<IconObject>(Id(hIcon), Kind::Icon);
    if (!icon) return nullptr;
    auto copy = std::make_shared<IconObject>(*icon);
    return As<HICON>(Add(copy));
}

// ---- metafiles ----

namespace {

std::uintptr_t AddBlob(Kind kind, const BYTE* data, UINT size) {
    if (!data || size == 0) return 0;
    auto blob = std::make_shared<BlobObject>(kind);
    blob->bytes.assign(reinterpret_cast<const char*>(data), size);
    return Add(blob);
}

UINT GetBlob(Kind kind, std::uintptr_t id, UINT size, void* out) {
    auto blob = Find<BlobObject>(id, kind);
    if (!blob) return 0;
    UINT n = static_cast<UINT>(blob->bytes.size());
    if (!out) return n;
    if (size < n) return 0;
    std::memcpy(out, blob->bytes.data(), n);
    return n;
}

}  // namespace

HMETAFILE SetMetaFileBitsEx(UINT cbBuffer, const BYTE* lpData) {
    return As<HMETAFILE>(AddBlob(Kind::MetaFile, lpData, cbBuffer));
}
UINT GetMetaFileBitsEx(HMETAFILE hMF, UINT cbBuffer, void* lpData) {
    return GetBlob(Kind::MetaFile, Id(hMF), cbBuffer, lpData);
}
BOOL DeleteMetaFile(HMETAFILE hmf) {
    if (!Find<BlobObject>(Id(hmf), Kind::MetaFile)) return FALSE;
    return Remove(Id(hmf)) ? TRUE : FALSE;
}
HENHMETAFILE SetEnhMetaFileBits(UINT nSize, const BYTE* pb) {
    return As<HENHMETAFILE>(AddBlob(Kind::EnhMetaFile, pb, nSize));
}
UINT GetEnhMetaFileBits(HENHMETAFILE hEMF, UINT nSize, BYTE* lpData) {
    return GetBlob(Kind::EnhMetaFile, Id(hEMF), nSize, lpData);
}
BOOL DeleteEnhMetaFile(HENHMETAFILE hmf) {
    if (!Find<BlobObject>(Id(hmf), Kind::EnhMetaFile)) return FALSE;
    return Remove(Id(hmf)) ? TRUE : FALSE;
}

// ---- system colours ----

DWORD GetSysColor(int nIndex) {
    static const COLORREF kColors[] = {
        RGB(192, 192, 192), RGB(0, 128, 128),   RGB(0, 0, 128),     RGB(128, 128, 128),
        RGB(192, 192, 192), RGB(255, 255, 255), RGB(0, 0, 0),       RGB(0, 0, 0),
        RGB(0, 0, 0),       RGB(255, 255, 255), RGB(192, 192, 192), RGB(192, 192, 192),
        RGB(128, 128, 128), RGB(0, 0, 128),     RGB(255, 255, 255), RGB(192, 192, 192),
        RGB(128, 128, 128), RGB(128, 128, 128), RGB(0, 0, 0),       RGB(192, 192, 192),
        RGB(255, 255, 255), RGB(0, 0, 0),       RGB(223, 223, 223), RGB(0, 0, 0),
        RGB(255, 255, 225), RGB(180, 180, 180), RGB(0, 0, 255),     RGB(16, 132, 208),
        RGB(181, 181, 181), RGB(0, 0, 128),     RGB(192, 192, 192)};
    if (nIndex < 0 || nIndex >= static_cast<int>(sizeof kColors / sizeof kColors[0])) return 0;
    return kColors[nIndex];
}

// ---- Qt views ----

namespace platform::gdi {

HBITMAP BitmapFromImage(const QImage& image) {
    if (image.isNull() || image.width() > kMaxSide || image.height() > kMaxSide) return nullptr;
    auto b = std::make_shared<BitmapObject>();
    b->image = image.convertToFormat(QImage::Format_RGB32);
    return As<HBITMAP>(Add(b));
}

QImage ImageOf(HBITMAP bitmap) {
    auto b = Find<BitmapObject>(Id(bitmap), Kind::Bitmap);
    return b ? b->image.copy() : QImage();
}

std::optional<QRegion> RegionOf(HRGN region) {
    auto r = Find<RegionObject>(Id(region), Kind::Region);
    if (!r) return std::nullopt;
    return r->region;
}

HRGN RegionFromQRegion(const QRegion& region) {
    auto r = std::make_shared<RegionObject>();
    r->region = region;
    return As<HRGN>(Add(r));
}

QImage IconImage(HICON icon) {
    auto i = Find<IconObject>(Id(icon), Kind::Icon);
    if (!i) return QImage();
    QImage mask = i->mask;
    QImage color = i->color;
    if (color.isNull()) {
        // A monochrome icon: the mask's upper half is the mask, its lower half the image.
        int h = mask.height() / 2;
        color = mask.copy(0, h, mask.width(), h);
        mask = mask.copy(0, 0, mask.width(), h);
    }
    QImage out = color.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height() && y < mask.height(); ++y) {
        auto* px = reinterpret_cast<QRgb*>(out.scanLine(y));
        const auto* m = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
        for (int x = 0; x < out.width() && x < mask.width(); ++x) {
            if ((m[x] & 0xFFFFFF) != 0) px[x] = 0;
        }
    }
    return out;
}

bool IsMonochrome(HBITMAP bitmap) {
    auto b = Find<BitmapObject>(Id(bitmap), Kind::Bitmap);
    return b && b->mono;
}

}  // namespace platform::gdi
