// The handle table of the graphics objects and the objects themselves (internal to this layer).
#pragma once

#include <QFont>
#include <QImage>
#include <QRegion>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"

namespace platform::gdi::internal {

constexpr LONG kWeightNormal = 400;
constexpr LONG kWeightBold = 700;

enum class Kind {
    Bitmap,
    DC,
    Region,
    Palette,
    Brush,
    Pen,
    Font,
    Icon,
    MetaFile,
    EnhMetaFile,
    Global
};

struct Object {
    explicit Object(Kind k) : kind(k) {}
    virtual ~Object() = default;
    Kind kind;
    bool stock = false;
    int selections = 0;  // contexts that hold it selected (guarded by LinkMutex)
};

struct BitmapObject : Object {
    BitmapObject() : Object(Kind::Bitmap) {}
    ~BitmapObject() override;  // gives large pixel buffers to the pool for the next bitmaps
    QImage image;              // Format_RGB32
    bool mono = false;
    int bitsPixel = 32;
    std::uintptr_t selectedInto = 0;  // the context holding it, 0 when none (guarded by LinkMutex)
    std::mutex pixels;                // held while a primitive reads or writes the image
    // A form's surface: never selected or deleted through a handle; its listener hears of drawing.
    bool surface = false;
    std::atomic<bool> unread{false};
    std::mutex listenerMutex;
    std::function<void()> listener;
};

struct PaletteObject : Object {
    PaletteObject() : Object(Kind::Palette) {}
    std::mutex mutex;
    std::vector<PALETTEENTRY> entries;
};

struct BrushObject : Object {
    BrushObject() : Object(Kind::Brush) {}
    UINT style = BS_SOLID;
    COLORREF color = 0;
    int hatch = 0;
    QImage pattern;  // BS_PATTERN: Format_RGB32
    bool patternMono = false;
    std::uintptr_t patternBitmap = 0;  // the handle it was made from (GetObject reports it)
};

struct PenObject : Object {
    PenObject() : Object(Kind::Pen) {}
    int style = PS_SOLID;
    int width = 1;
    COLORREF color = 0;
};

struct RegionObject : Object {
    RegionObject() : Object(Kind::Region) {}
    QRegion region;
};

// A font as Qt draws it, with the metrics the graphics interface reports.
struct ResolvedFont {
    bool valid = false;  // false without an application object
    QFont font;
    int ascent = 0, descent = 0, internalLeading = 0, externalLeading = 0;
    int aveCharWidth = 0, maxCharWidth = 0, weight = kWeightNormal;
    bool trueType = false;
    DWORD tablesSize = 0;  // the size of the font's tables (GetFontData of the whole font)
    bool fixedPitch = false;
};

struct FontObject : Object {
    FontObject() : Object(Kind::Font) {}
    LOGFONTA log{};
    std::mutex mutex;
    std::optional<ResolvedFont> resolved;  // made on first use
};

enum class DcKind { Memory, Window, Screen };

struct Selected {
    std::uintptr_t id = 0;
    std::shared_ptr<Object> object;
};

// What SaveDC keeps.
struct DcState {
    Selected brush, pen, font, palette;
    std::optional<QRegion> clip;  // device coordinates
    COLORREF bkColor = 0xFFFFFF;
    COLORREF textColor = 0;
    int bkMode = OPAQUE;
    int rop2 = R2_COPYPEN;
    int polyFillMode = ALTERNATE;
    int stretchMode = BLACKONWHITE;
    UINT textAlign = TA_LEFT | TA_TOP;
    QPoint viewportOrg, windowOrg, brushOrg, position;
    DWORD mapperFlags = 0;
};

struct DCObject : Object {
    DCObject() : Object(Kind::DC) {}
    DcKind dcKind = DcKind::Memory;
    HWND window = nullptr;                     // window contexts
    std::uintptr_t bitmap = 0;                 // memory contexts (guarded by LinkMutex)
    std::uintptr_t defaultBitmap = 0;          // the 1 x 1 bitmap a memory context is made with
    std::shared_ptr<BitmapObject> screenCopy;  // the screen context's copy, made on first use
    DcState state;
    std::vector<DcState> saved;
};

struct IconObject : Object {
    IconObject() : Object(Kind::Icon) {}
    BOOL isIcon = TRUE;
    DWORD xHotspot = 0, yHotspot = 0;
    QImage mask;   // Format_RGB32, black and white
    QImage color;  // Format_RGB32; null for a monochrome icon
};

struct BlobObject : Object {
    explicit BlobObject(Kind k) : Object(k) {}
    std::string bytes;
};

struct GlobalObject : Object {
    GlobalObject() : Object(Kind::Global) {}
    std::unique_ptr<unsigned char[]> data;
    std::size_t size = 0;
    int locks = 0;
};

// The one table of the process. Handles are never reused.
std::uintptr_t Add(std::shared_ptr<Object> object);
std::shared_ptr<Object> Find(std::uintptr_t handle);
template <class T>
std::shared_ptr<T> Find(std::uintptr_t handle, Kind kind) {
    auto o = Find(handle);
    if (!o || o->kind != kind) return nullptr;
    return std::static_pointer_cast<T>(o);
}
bool Remove(std::uintptr_t handle);
// Guards the links between objects (selections, bitmaps selected into contexts).
std::mutex& LinkMutex();

template <class H>
std::uintptr_t Id(H h) {
    return reinterpret_cast<std::uintptr_t>(h);
}
template <class H>
H As(std::uintptr_t id) {
    return reinterpret_cast<H>(id);
}

inline QRgb ToRgb(COLORREF c) {
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}
inline COLORREF ToColorRef(QRgb p) {
    return RGB(static_cast<BYTE>(qRed(p)), static_cast<BYTE>(qGreen(p)),
               static_cast<BYTE>(qBlue(p)));
}

// ---- shared by the parts of the layer ----

constexpr int kMaxSide = 16384;

std::uintptr_t Stock(int index);
std::shared_ptr<DCObject> DcOf(HDC hdc);
// A new bitmap (not in the table) filled with the colour (0xRRGGBB).
std::shared_ptr<BitmapObject> NewBitmap(int w, int h, bool mono, int bits, QRgb fill);
// The bitmap a memory context holds.
std::shared_ptr<BitmapObject> SelectedBitmap(const DCObject& dc);
// Replaces one selection of the context (counts kept); returns the old handle.
std::uintptr_t Reselect(Selected& slot, std::uintptr_t id, std::shared_ptr<Object> object);
// Releases every selection of a context that ends.
void ReleaseSelections(DCObject& dc);
// A context's state on a fresh context.
DcState DefaultState();
// The colour a COLORREF names in the context (PALETTEINDEX through its palette), as 0x00RRGGBB.
DWORD ResolveColor(const DCObject& dc, COLORREF c);
// The nearer of black and white.
inline COLORREF MonoOf(COLORREF c) {
    return GetRValue(c) + GetGValue(c) + GetBValue(c) > 382 ? 0xFFFFFF : 0;
}
inline DWORD MonoWord(DWORD w) {
    return ((w >> 16) & 0xFF) + ((w >> 8) & 0xFF) + (w & 0xFF) > 382 ? 0xFFFFFFu : 0u;
}
// The default palette's and the screen's colours.
const std::vector<PALETTEENTRY>& HalftoneEntries();
// The resolved form of a font (made on first use).
const ResolvedFont& Resolve(FontObject& font);

// The surfaces of forms and the screen (surfaces.cpp).
struct WindowTarget {
    std::shared_ptr<BitmapObject> surface;
    QRect rect;  // the window's client area in the surface
    bool visible = false;
    QPoint screenOrigin;  // the window's client origin on the screen
};
std::optional<WindowTarget> FindWindowTarget(HWND window);
std::shared_ptr<BitmapObject> ComposeScreen();
QSize ScreenSize();
void NotifyDrawn(BitmapObject& bitmap);

}  // namespace platform::gdi::internal
