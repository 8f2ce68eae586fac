// Device contexts: memory contexts, selections, attributes, coordinates and clipping.
#include <utility>

#include "platform/gdi/gdi.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/raster.h"

using namespace platform::gdi::internal;

namespace {

// The clip region now, or the whole device when there is none.
QRegion ClipOrAll(const DCObject& dc) {
    if (dc.state.clip) return *dc.state.clip;
    return QRegion(-kMaxSide * 4, -kMaxSide * 4, kMaxSide * 8, kMaxSide * 8);
}

}  // namespace

HDC CreateCompatibleDC(HDC hdc) {
    if (hdc && !DcOf(hdc)) return nullptr;
    auto bitmap = NewBitmap(1, 1, true, 1, 0xFFFFFF);
    std::uintptr_t bitmapId = Add(bitmap);
    auto dc = std::make_shared<DCObject>();
    dc->dcKind = DcKind::Memory;
    dc->defaultBitmap = bitmapId;
    dc->bitmap = bitmapId;
    dc->state = DefaultState();
    std::uintptr_t id = Add(dc);
    {
        std::lock_guard lock(LinkMutex());
        bitmap->selectedInto = id;
    }
    return As<HDC>(id);
}

BOOL DeleteDC(HDC hdc) {
    auto dc = DcOf(hdc);
    if (!dc || dc->dcKind != DcKind::Memory) return FALSE;
    {
        std::lock_guard lock(LinkMutex());
        if (auto b = Find<BitmapObject>(dc->bitmap, Kind::Bitmap)) b->selectedInto = 0;
        if (auto d = Find<BitmapObject>(dc->defaultBitmap, Kind::Bitmap)) d->selectedInto = 0;
        dc->bitmap = 0;
    }
    ReleaseSelections(*dc);
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
            if (dc->dcKind != DcKind::Memory) return nullptr;
            std::lock_guard lock(LinkMutex());
            auto b = std::static_pointer_cast<BitmapObject>(o);
            if (dc->bitmap == id) return h;
            if (b->selectedInto || b->surface) return nullptr;
            auto old = Find<BitmapObject>(dc->bitmap, Kind::Bitmap);
            if (old) old->selectedInto = 0;
            b->selectedInto = Id(hdc);
            return As<HGDIOBJ>(std::exchange(dc->bitmap, id));
        }
        case Kind::Brush:
            return As<HGDIOBJ>(Reselect(dc->state.brush, id, o));
        case Kind::Pen:
            return As<HGDIOBJ>(Reselect(dc->state.pen, id, o));
        case Kind::Font:
            return As<HGDIOBJ>(Reselect(dc->state.font, id, o));
        case Kind::Palette:
            return As<HGDIOBJ>(Reselect(dc->state.palette, id, o));
        case Kind::Region: {
            dc->state.clip = std::static_pointer_cast<RegionObject>(o)->region;
            return As<HGDIOBJ>(static_cast<std::uintptr_t>(RegionType(*dc->state.clip)));
        }
        default:
            return nullptr;
    }
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
    auto dc = DcOf(hdc);
    if (!dc) return nullptr;
    switch (type) {
        case OBJ_BITMAP: {
            std::lock_guard lock(LinkMutex());
            return As<HGDIOBJ>(dc->bitmap);
        }
        case OBJ_BRUSH:
            return As<HGDIOBJ>(dc->state.brush.id);
        case OBJ_PEN:
            return As<HGDIOBJ>(dc->state.pen.id);
        case OBJ_FONT:
            return As<HGDIOBJ>(dc->state.font.id);
        case OBJ_PAL:
            return As<HGDIOBJ>(dc->state.palette.id);
        default:
            return nullptr;
    }
}

int SaveDC(HDC hdc) {
    auto dc = DcOf(hdc);
    if (!dc) return 0;
    dc->saved.push_back(dc->state);
    return static_cast<int>(dc->saved.size());
}

BOOL RestoreDC(HDC hdc, int nSavedDC) {
    auto dc = DcOf(hdc);
    if (!dc || dc->saved.empty()) return FALSE;
    int count = static_cast<int>(dc->saved.size());
    int level = nSavedDC < 0 ? count + 1 + nSavedDC : nSavedDC;
    if (level < 1 || level > count) return FALSE;
    DcState back = dc->saved[level - 1];
    dc->saved.resize(level - 1);
    // Objects deleted since the save give way to the defaults.
    auto restore = [](Selected& slot, const Selected& was, int stock) {
        auto now = Find(was.id);
        if (now && now == was.object) {
            Reselect(slot, was.id, now);
        } else {
            std::uintptr_t id = Stock(stock);
            Reselect(slot, id, Find(id));
        }
    };
    restore(dc->state.brush, back.brush, WHITE_BRUSH);
    restore(dc->state.pen, back.pen, BLACK_PEN);
    restore(dc->state.font, back.font, SYSTEM_FONT);
    restore(dc->state.palette, back.palette, DEFAULT_PALETTE);
    Selected brush = dc->state.brush, pen = dc->state.pen, font = dc->state.font,
             palette = dc->state.palette;
    dc->state = back;
    dc->state.brush = brush;
    dc->state.pen = pen;
    dc->state.font = font;
    dc->state.palette = palette;
    return TRUE;
}

namespace {

// Replaces one attribute of the context's state when the value is one it takes; the old value, or
// `failure`.
template <class T>
T Swap(HDC hdc, T DcState::*member, T value, T failure, bool takes = true) {
    auto dc = DcOf(hdc);
    if (!dc || !takes) return failure;
    return std::exchange(dc->state.*member, value);
}
template <class T>
T Read(HDC hdc, T DcState::*member, T failure) {
    auto dc = DcOf(hdc);
    return dc ? dc->state.*member : failure;
}

}  // namespace

COLORREF SetBkColor(HDC hdc, COLORREF color) {
    return Swap(hdc, &DcState::bkColor, color, CLR_INVALID);
}
COLORREF GetBkColor(HDC hdc) {
    return Read(hdc, &DcState::bkColor, CLR_INVALID);
}
COLORREF SetTextColor(HDC hdc, COLORREF color) {
    return Swap(hdc, &DcState::textColor, color, CLR_INVALID);
}
COLORREF GetTextColor(HDC hdc) {
    return Read(hdc, &DcState::textColor, CLR_INVALID);
}
int SetBkMode(HDC hdc, int mode) {
    return Swap(hdc, &DcState::bkMode, mode, 0, mode == TRANSPARENT || mode == OPAQUE);
}
int GetBkMode(HDC hdc) {
    return Read(hdc, &DcState::bkMode, 0);
}
int SetROP2(HDC hdc, int rop2) {
    return Swap(hdc, &DcState::rop2, rop2, 0, rop2 >= R2_BLACK && rop2 <= R2_WHITE);
}
int GetROP2(HDC hdc) {
    return Read(hdc, &DcState::rop2, 0);
}
int SetPolyFillMode(HDC hdc, int mode) {
    return Swap(hdc, &DcState::polyFillMode, mode, 0, mode == ALTERNATE || mode == WINDING);
}
int GetPolyFillMode(HDC hdc) {
    return Read(hdc, &DcState::polyFillMode, 0);
}
int SetStretchBltMode(HDC hdc, int mode) {
    return Swap(hdc, &DcState::stretchMode, mode, 0, mode >= BLACKONWHITE && mode <= HALFTONE);
}
int GetStretchBltMode(HDC hdc) {
    return Read(hdc, &DcState::stretchMode, 0);
}
UINT SetTextAlign(HDC hdc, UINT align) {
    return Swap(hdc, &DcState::textAlign, align, GDI_ERROR);
}
UINT GetTextAlign(HDC hdc) {
    return Read(hdc, &DcState::textAlign, GDI_ERROR);
}
int SetMapMode(HDC hdc, int mode) {
    auto dc = DcOf(hdc);
    if (!dc || mode != MM_TEXT) return 0;
    return MM_TEXT;
}
int GetMapMode(HDC hdc) {
    return DcOf(hdc) ? MM_TEXT : 0;
}

namespace {

BOOL SetPoint(HDC hdc, QPoint DcState::*member, int x, int y, LPPOINT old, bool offset) {
    auto dc = DcOf(hdc);
    if (!dc) return FALSE;
    QPoint& p = dc->state.*member;
    if (old) *old = POINT{p.x(), p.y()};
    p = offset ? p + QPoint(x, y) : QPoint(x, y);
    return TRUE;
}

BOOL GetPoint(HDC hdc, QPoint DcState::*member, LPPOINT out) {
    auto dc = DcOf(hdc);
    if (!dc || !out) return FALSE;
    const QPoint& p = dc->state.*member;
    *out = POINT{p.x(), p.y()};
    return TRUE;
}

}  // namespace

BOOL SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
    return SetPoint(hdc, &DcState::viewportOrg, x, y, lppt, false);
}
BOOL GetViewportOrgEx(HDC hdc, LPPOINT lppt) {
    return GetPoint(hdc, &DcState::viewportOrg, lppt);
}
BOOL OffsetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
    return SetPoint(hdc, &DcState::viewportOrg, x, y, lppt, true);
}
BOOL SetWindowOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
    return SetPoint(hdc, &DcState::windowOrg, x, y, lppt, false);
}
BOOL GetWindowOrgEx(HDC hdc, LPPOINT lppt) {
    return GetPoint(hdc, &DcState::windowOrg, lppt);
}
BOOL SetBrushOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
    return SetPoint(hdc, &DcState::brushOrg, x, y, lppt, false);
}
BOOL GetBrushOrgEx(HDC hdc, LPPOINT lppt) {
    return GetPoint(hdc, &DcState::brushOrg, lppt);
}

BOOL LPtoDP(HDC hdc, LPPOINT lppt, int c) {
    auto dc = DcOf(hdc);
    if (!dc || (!lppt && c > 0)) return FALSE;
    for (int i = 0; i < c; ++i) {
        QPoint d = ToDevice(*dc, lppt[i].x, lppt[i].y);
        lppt[i] = POINT{d.x(), d.y()};
    }
    return TRUE;
}

BOOL DPtoLP(HDC hdc, LPPOINT lppt, int c) {
    auto dc = DcOf(hdc);
    if (!dc || (!lppt && c > 0)) return FALSE;
    QPoint shift = dc->state.windowOrg - dc->state.viewportOrg;
    for (int i = 0; i < c; ++i) lppt[i] = POINT{lppt[i].x + shift.x(), lppt[i].y + shift.y()};
    return TRUE;
}

int GetDeviceCaps(HDC hdc, int index) {
    auto dc = DcOf(hdc);
    if (!dc) return 0;
    bool mono = false;
    if (dc->dcKind == DcKind::Memory) {
        auto b = SelectedBitmap(*dc);
        mono = b && b->mono;
    }
    QSize screen = ScreenSize();
    switch (index) {
        case TECHNOLOGY:
            return DT_RASDISPLAY;
        case HORZRES:
            return screen.width();
        case VERTRES:
            return screen.height();
        case BITSPIXEL:
            return mono ? 1 : 32;
        case PLANES:
            return 1;
        case NUMCOLORS:
            return -1;
        case RASTERCAPS:
            return RC_BITBLT | RC_STRETCHBLT | RC_DI_BITMAP | RC_DIBTODEV;
        case LOGPIXELSX:
        case LOGPIXELSY:
            return 96;
        case SIZEPALETTE:
            return 0;
        default:
            return 0;
    }
}

// ---- clipping ----

int SelectClipRgn(HDC hdc, HRGN hrgn) {
    return ExtSelectClipRgn(hdc, hrgn, RGN_COPY);
}

int ExtSelectClipRgn(HDC hdc, HRGN hrgn, int mode) {
    auto dc = DcOf(hdc);
    if (!dc || mode < RGN_AND || mode > RGN_COPY) return ERROR;
    if (!hrgn) {
        if (mode != RGN_COPY) return ERROR;
        dc->state.clip.reset();
        return SIMPLEREGION;
    }
    auto r = Find<RegionObject>(Id(hrgn), Kind::Region);
    if (!r) return ERROR;
    QRegion now = ClipOrAll(*dc);
    switch (mode) {
        case RGN_AND:
            now = now.intersected(r->region);
            break;
        case RGN_OR:
            now = now.united(r->region);
            break;
        case RGN_XOR:
            now = now.xored(r->region);
            break;
        case RGN_DIFF:
            now = now.subtracted(r->region);
            break;
        default:
            now = r->region;
            break;
    }
    dc->state.clip = now;
    return RegionType(now);
}

int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
    auto dc = DcOf(hdc);
    if (!dc) return ERROR;
    QPoint a = ToDevice(*dc, left, top), b = ToDevice(*dc, right, bottom);
    dc->state.clip = ClipOrAll(*dc).intersected(RectOf(a.x(), a.y(), b.x(), b.y()));
    return RegionType(*dc->state.clip);
}

int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom) {
    auto dc = DcOf(hdc);
    if (!dc) return ERROR;
    QPoint a = ToDevice(*dc, left, top), b = ToDevice(*dc, right, bottom);
    dc->state.clip = ClipOrAll(*dc).subtracted(RectOf(a.x(), a.y(), b.x(), b.y()));
    return RegionType(*dc->state.clip);
}

int GetClipBox(HDC hdc, LPRECT lprect) {
    auto dc = DcOf(hdc);
    if (!dc || !lprect) return ERROR;
    auto canvas = OpenCanvas(*dc);
    QRegion area = canvas ? canvas->area : QRegion();
    QRect box = area.boundingRect();
    QPoint shift = dc->state.windowOrg - dc->state.viewportOrg;
    if (area.isEmpty()) {
        *lprect = RECT{0, 0, 0, 0};
    } else {
        *lprect = RECT{box.left() + shift.x(), box.top() + shift.y(),
                       box.left() + box.width() + shift.x(), box.top() + box.height() + shift.y()};
    }
    return RegionType(area);
}

int GetClipRgn(HDC hdc, HRGN hrgn) {
    auto dc = DcOf(hdc);
    auto r = Find<RegionObject>(Id(hrgn), Kind::Region);
    if (!dc || !r) return -1;
    if (!dc->state.clip) return 0;
    r->region = *dc->state.clip;
    return 1;
}
