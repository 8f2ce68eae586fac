// The handle table of the graphics objects (internal to this layer).
#pragma once

#include <QImage>
#include <QRegion>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"

namespace platform::gdi::internal {

enum class Kind { Bitmap, DC, Region, Palette, Brush, Pen, Icon, MetaFile, EnhMetaFile, Global };

struct Object {
    explicit Object(Kind k) : kind(k) {}
    virtual ~Object() = default;
    Kind kind;
    bool stock = false;
};

struct BitmapObject : Object {
    BitmapObject() : Object(Kind::Bitmap) {}
    QImage image;  // Format_RGB32
    bool mono = false;
    int bitsPixel = 32;
    std::uintptr_t selectedInto = 0;  // the context holding it, 0 when none
};

struct PaletteObject : Object {
    PaletteObject() : Object(Kind::Palette) {}
    std::vector<PALETTEENTRY> entries;
};

struct BrushObject : Object {
    BrushObject() : Object(Kind::Brush) {}
    bool null = false;
    COLORREF color = 0;
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

struct DCObject : Object {
    DCObject() : Object(Kind::DC) {}
    std::uintptr_t bitmap = 0;
    std::uintptr_t defaultBitmap = 0;  // the 1 x 1 bitmap it was made with
    std::uintptr_t brush = 0;
    std::uintptr_t pen = 0;
    std::uintptr_t palette = 0;
    std::optional<QRegion> clip;
    COLORREF bkColor = 0xFFFFFF;
    COLORREF textColor = 0;
    int bkMode = OPAQUE;
    int rop2 = R2_COPYPEN;
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
// Guards the links between objects (bitmaps selected into contexts).
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

}  // namespace platform::gdi::internal
