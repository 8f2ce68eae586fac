// Objects in general, brushes and pens, icons, metafile records, system colours and the Qt views.
#include "platform/gdi/gdi.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/gdi/objects.h"
#include "platform/gdi/qt.h"

using namespace platform::gdi::internal;

// ---- objects ----

HGDIOBJ GetStockObject(int i) {
    return As<HGDIOBJ>(Stock(i));
}

BOOL DeleteObject(HGDIOBJ ho) {
    auto o = Find(Id(ho));
    if (!o || o->kind == Kind::DC || o->kind == Kind::Global || o->kind == Kind::Icon ||
        o->kind == Kind::MetaFile || o->kind == Kind::EnhMetaFile) {
        return FALSE;
    }
    if (o->stock) return TRUE;
    std::lock_guard lock(LinkMutex());
    if (o->selections > 0) return FALSE;
    if (o->kind == Kind::Bitmap) {
        auto b = std::static_pointer_cast<BitmapObject>(o);
        if (b->selectedInto || b->surface) return FALSE;
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
            return std::static_pointer_cast<DCObject>(o)->dcKind == DcKind::Memory ? OBJ_MEMDC
                                                                                   : OBJ_DC;
        case Kind::Region:
            return OBJ_REGION;
        case Kind::Palette:
            return OBJ_PAL;
        case Kind::Brush:
            return OBJ_BRUSH;
        case Kind::Pen:
            return OBJ_PEN;
        case Kind::Font:
            return OBJ_FONT;
        case Kind::MetaFile:
            return OBJ_METAFILE;
        case Kind::EnhMetaFile:
            return OBJ_ENHMETAFILE;
        default:
            return 0;
    }
}

namespace {

template <class T>
int Describe(const T& value, int c, void* pv) {
    if (!pv) return sizeof(T);
    if (c < static_cast<int>(sizeof(T))) return 0;
    std::memcpy(pv, &value, sizeof(T));
    return sizeof(T);
}

}  // namespace

int GetObjectA(HGDIOBJ h, int c, void* pv) {
    auto o = Find(Id(h));
    if (!o) return 0;
    switch (o->kind) {
        case Kind::Bitmap: {
            auto b = std::static_pointer_cast<BitmapObject>(o);
            BITMAP bm{};
            bm.bmWidth = b->image.width();
            bm.bmHeight = b->image.height();
            bm.bmWidthBytes = ((bm.bmWidth * b->bitsPixel + 15) / 16) * 2;
            bm.bmPlanes = 1;
            bm.bmBitsPixel = static_cast<WORD>(b->bitsPixel);
            return Describe(bm, c, pv);
        }
        case Kind::Palette: {
            auto p = std::static_pointer_cast<PaletteObject>(o);
            std::lock_guard lock(p->mutex);
            WORD n = static_cast<WORD>(p->entries.size());
            return Describe(n, c, pv);
        }
        case Kind::Pen: {
            auto p = std::static_pointer_cast<PenObject>(o);
            LOGPEN lp{static_cast<UINT>(p->style), POINT{p->width, 0}, p->color};
            return Describe(lp, c, pv);
        }
        case Kind::Brush: {
            auto b = std::static_pointer_cast<BrushObject>(o);
            LOGBRUSH lb{b->style, b->color, 0};
            if (b->style == BS_HATCHED) lb.lbHatch = static_cast<UINT_PTR>(b->hatch);
            if (b->style == BS_PATTERN) {
                lb.lbColor = 0;
                lb.lbHatch = b->patternBitmap;
            }
            return Describe(lb, c, pv);
        }
        case Kind::Font:
            return Describe(std::static_pointer_cast<FontObject>(o)->log, c, pv);
        default:
            return 0;
    }
}

BOOL UnrealizeObject(HGDIOBJ h) {
    auto o = Find(Id(h));
    return o && (o->kind == Kind::Brush || o->kind == Kind::Palette) ? TRUE : FALSE;
}

// ---- brushes and pens ----

HBRUSH CreateSolidBrush(COLORREF color) {
    auto b = std::make_shared<BrushObject>();
    b->style = BS_SOLID;
    b->color = color;
    return As<HBRUSH>(Add(b));
}

HBRUSH CreateHatchBrush(int iHatch, COLORREF color) {
    if (iHatch < HS_HORIZONTAL || iHatch > HS_DIAGCROSS) return nullptr;
    auto b = std::make_shared<BrushObject>();
    b->style = BS_HATCHED;
    b->hatch = iHatch;
    b->color = color;
    return As<HBRUSH>(Add(b));
}

HBRUSH CreatePatternBrush(HBITMAP hbm) {
    auto bitmap = Find<BitmapObject>(Id(hbm), Kind::Bitmap);
    if (!bitmap) return nullptr;
    auto b = std::make_shared<BrushObject>();
    b->style = BS_PATTERN;
    {
        std::lock_guard lock(bitmap->pixels);
        b->pattern = bitmap->image.copy();
    }
    b->patternMono = bitmap->mono;
    b->patternBitmap = Id(hbm);
    return As<HBRUSH>(Add(b));
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* plbrush) {
    if (!plbrush) return nullptr;
    switch (plbrush->lbStyle) {
        case BS_SOLID:
            return CreateSolidBrush(plbrush->lbColor);
        case BS_NULL: {
            auto b = std::make_shared<BrushObject>();
            b->style = BS_NULL;
            return As<HBRUSH>(Add(b));
        }
        case BS_HATCHED:
            return CreateHatchBrush(static_cast<int>(plbrush->lbHatch), plbrush->lbColor);
        case BS_PATTERN:
            return CreatePatternBrush(As<HBITMAP>(plbrush->lbHatch));
        default:
            return nullptr;
    }
}

HPEN CreatePen(int iStyle, int cWidth, COLORREF color) {
    if (iStyle < PS_SOLID || iStyle > PS_INSIDEFRAME || cWidth < 0 || cWidth > kMaxSide) {
        return nullptr;
    }
    auto p = std::make_shared<PenObject>();
    p->style = iStyle;
    p->width = cWidth;
    p->color = color;
    return As<HPEN>(Add(p));
}

HPEN CreatePenIndirect(const LOGPEN* plpen) {
    if (!plpen) return nullptr;
    return CreatePen(static_cast<int>(plpen->lopnStyle), plpen->lopnWidth.x, plpen->lopnColor);
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
    auto copy = std::make_shared<IconObject>();
    copy->isIcon = icon->isIcon;
    copy->xHotspot = icon->xHotspot;
    copy->yHotspot = icon->yHotspot;
    copy->mask = icon->mask;
    copy->color = icon->color;
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
    if (!b) return QImage();
    std::lock_guard lock(b->pixels);
    return b->image.copy();
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
