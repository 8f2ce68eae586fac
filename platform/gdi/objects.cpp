#include "platform/gdi/objects.h"

#include <cstring>
#include <unordered_map>

namespace platform::gdi::internal {

namespace {

struct Table {
    std::mutex mutex;
    std::unordered_map<std::uintptr_t, std::shared_ptr<Object>> objects;
    std::uintptr_t next = 0x10000;
};

Table& TheTable() {
    static auto* table = new Table();
    return *table;
}

}  // namespace

std::uintptr_t Add(std::shared_ptr<Object> object) {
    Table& t = TheTable();
    std::lock_guard lock(t.mutex);
    std::uintptr_t id = t.next;
    t.next += 4;
    t.objects.emplace(id, std::move(object));
    return id;
}

std::shared_ptr<Object> Find(std::uintptr_t handle) {
    Table& t = TheTable();
    std::lock_guard lock(t.mutex);
    auto it = t.objects.find(handle);
    return it == t.objects.end() ? nullptr : it->second;
}

bool Remove(std::uintptr_t handle) {
    Table& t = TheTable();
    std::shared_ptr<Object> gone;  // destroyed outside the lock
    std::lock_guard lock(t.mutex);
    auto it = t.objects.find(handle);
    if (it == t.objects.end()) return false;
    gone = std::move(it->second);
    t.objects.erase(it);
    return true;
}

std::mutex& LinkMutex() {
    static auto* mutex = new std::mutex();
    return *mutex;
}

// ---- stock objects ----

namespace {

constexpr int kStockCount = DEFAULT_GUI_FONT + 1;
std::uintptr_t g_stock[kStockCount];
std::once_flag g_stockOnce;

const BYTE kStatic[20][3] = {{0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},
                             {0, 0, 128},     {128, 0, 128},   {0, 128, 128},   {192, 192, 192},
                             {192, 220, 192}, {166, 202, 240}, {255, 251, 240}, {160, 160, 164},
                             {128, 128, 128}, {255, 0, 0},     {0, 255, 0},     {255, 255, 0},
                             {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};

std::uintptr_t StockFont(const char* face, LONG height, LONG weight, BYTE pitchAndFamily) {
    auto f = std::make_shared<FontObject>();
    f->stock = true;
    f->log.lfHeight = height;
    f->log.lfWeight = weight;
    f->log.lfCharSet = ANSI_CHARSET;
    f->log.lfPitchAndFamily = pitchAndFamily;
    std::strncpy(f->log.lfFaceName, face, LF_FACESIZE - 1);
    return Add(f);
}

void MakeStock() {
    auto brush = [](COLORREF c, bool null) {
        auto b = std::make_shared<BrushObject>();
        b->stock = true;
        b->style = null ? BS_NULL : BS_SOLID;
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
    g_stock[OEM_FIXED_FONT] = StockFont("Terminal", 12, kWeightNormal, FIXED_PITCH | FF_MODERN);
    g_stock[ANSI_FIXED_FONT] = StockFont("Courier", 13, kWeightNormal, FIXED_PITCH | FF_MODERN);
    g_stock[ANSI_VAR_FONT] =
        StockFont("MS Sans Serif", 13, kWeightNormal, VARIABLE_PITCH | FF_SWISS);
    g_stock[SYSTEM_FONT] = StockFont("System", 16, kWeightBold, VARIABLE_PITCH | FF_SWISS);
    g_stock[DEVICE_DEFAULT_FONT] = StockFont("System", 16, kWeightBold, VARIABLE_PITCH | FF_SWISS);
    g_stock[SYSTEM_FIXED_FONT] = StockFont("Fixedsys", 15, kWeightNormal, FIXED_PITCH | FF_MODERN);
    g_stock[DEFAULT_GUI_FONT] =
        StockFont("MS Sans Serif", -11, kWeightNormal, VARIABLE_PITCH | FF_SWISS);
    // The default palette: the twenty static colours.
    auto pal = std::make_shared<PaletteObject>();
    pal->stock = true;
    for (const auto& c : kStatic) pal->entries.push_back({c[0], c[1], c[2], 0});
    g_stock[DEFAULT_PALETTE] = Add(pal);
}

}  // namespace

std::uintptr_t Stock(int index) {
    std::call_once(g_stockOnce, MakeStock);
    if (index < 0 || index >= kStockCount) return 0;
    return g_stock[index];
}

const std::vector<PALETTEENTRY>& HalftoneEntries() {
    static const std::vector<PALETTEENTRY> entries = [] {
        std::vector<PALETTEENTRY> e;
        for (int i = 0; i < 10; ++i) e.push_back({kStatic[i][0], kStatic[i][1], kStatic[i][2], 0});
        for (int r = 0; r < 6; ++r) {
            for (int g = 0; g < 6; ++g) {
                for (int b = 0; b < 6; ++b) {
                    e.push_back({BYTE(r * 51), BYTE(g * 51), BYTE(b * 51), 0});
                }
            }
        }
        for (int k = 1; k <= 20; ++k) {
            BYTE v = static_cast<BYTE>(k * 255 / 21);
            e.push_back({v, v, v, 0});
        }
        for (int i = 10; i < 20; ++i) e.push_back({kStatic[i][0], kStatic[i][1], kStatic[i][2], 0});
        return e;
    }();
    return entries;
}

// ---- shared helpers ----

std::shared_ptr<DCObject> DcOf(HDC hdc) {
    return Find<DCObject>(Id(hdc), Kind::DC);
}

// Pixel buffers of bitmaps that ended, for new bitmaps of the same size: a paint makes and deletes
// bitmaps of one size again and again, and taking fresh memory each time costs more than filling
// it.
namespace {

constexpr qsizetype kPoolMinBytes = 64 * 1024;
constexpr qsizetype kPoolMaxBytes = 64 * 1024 * 1024;

struct Pool {
    std::mutex mutex;
    std::vector<QImage> images;
    qsizetype bytes = 0;
};

Pool& ThePool() {
    static auto* pool = new Pool();
    return *pool;
}

QImage TakeImage(int w, int h) {
    if (static_cast<qsizetype>(w) * h * 4 >= kPoolMinBytes) {
        Pool& p = ThePool();
        std::lock_guard lock(p.mutex);
        for (std::size_t i = 0; i < p.images.size(); ++i) {
            if (p.images[i].width() == w && p.images[i].height() == h) {
                QImage image = std::move(p.images[i]);
                p.images.erase(p.images.begin() + static_cast<std::ptrdiff_t>(i));
                p.bytes -= image.sizeInBytes();
                return image;
            }
        }
    }
    return QImage(w, h, QImage::Format_RGB32);
}

}  // namespace

BitmapObject::~BitmapObject() {
    // Only a buffer no other image shares goes to the pool.
    if (image.isNull() || image.sizeInBytes() < kPoolMinBytes || !image.isDetached() ||
        image.format() != QImage::Format_RGB32) {
        return;
    }
    Pool& p = ThePool();
    std::lock_guard lock(p.mutex);
    while (!p.images.empty() && p.bytes + image.sizeInBytes() > kPoolMaxBytes) {
        p.bytes -= p.images.front().sizeInBytes();
        p.images.erase(p.images.begin());
    }
    if (image.sizeInBytes() > kPoolMaxBytes) return;
    p.bytes += image.sizeInBytes();
    p.images.push_back(std::move(image));
}

std::shared_ptr<BitmapObject> NewBitmap(int w, int h, bool mono, int bits, QRgb fill) {
    if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide) return nullptr;
    auto b = std::make_shared<BitmapObject>();
    b->image = TakeImage(w, h);
    if (b->image.isNull()) return nullptr;
    b->image.fill(0xFF000000u | fill);
    b->mono = mono;
    b->bitsPixel = mono ? 1 : bits;
    return b;
}

std::shared_ptr<BitmapObject> SelectedBitmap(const DCObject& dc) {
    std::uintptr_t id;
    {
        std::lock_guard lock(LinkMutex());
        id = dc.bitmap;
    }
    return Find<BitmapObject>(id, Kind::Bitmap);
}

std::uintptr_t Reselect(Selected& slot, std::uintptr_t id, std::shared_ptr<Object> object) {
    std::lock_guard lock(LinkMutex());
    if (slot.object && slot.object != object) --slot.object->selections;
    if (object && slot.object != object) ++object->selections;
    std::uintptr_t old = slot.id;
    slot.id = id;
    slot.object = std::move(object);
    return old;
}

void ReleaseSelections(DCObject& dc) {
    for (Selected* s : {&dc.state.brush, &dc.state.pen, &dc.state.font, &dc.state.palette}) {
        Reselect(*s, 0, nullptr);
    }
    dc.saved.clear();
}

DcState DefaultState() {
    DcState s;
    auto take = [](Selected& slot, int stock) {
        std::uintptr_t id = Stock(stock);
        Reselect(slot, id, Find(id));
    };
    take(s.brush, WHITE_BRUSH);
    take(s.pen, BLACK_PEN);
    take(s.font, SYSTEM_FONT);
    take(s.palette, DEFAULT_PALETTE);
    return s;
}

DWORD ResolveColor(const DCObject& dc, COLORREF c) {
    COLORREF rgb = c & 0xFFFFFFu;
    if ((c >> 24) == 0x01) {
        auto* pal = static_cast<PaletteObject*>(dc.state.palette.object.get());
        if (pal) {
            std::lock_guard lock(pal->mutex);
            std::size_t i = c & 0xFFFFu;
            if (i >= pal->entries.size()) i = 0;
            if (!pal->entries.empty()) {
                const PALETTEENTRY& e = pal->entries[i];
                rgb = RGB(e.peRed, e.peGreen, e.peBlue);
            }
        }
    }
    return (static_cast<DWORD>(GetRValue(rgb)) << 16) | (static_cast<DWORD>(GetGValue(rgb)) << 8) |
           GetBValue(rgb);
}

}  // namespace platform::gdi::internal
