// The surfaces of forms, the windows that draw into them, the screen, and their contexts.
#include <algorithm>
#include <map>
#include <mutex>

#include "platform/gdi/gdi.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/qt.h"

using namespace platform::gdi::internal;

namespace {

const HWND kDesktop = reinterpret_cast<HWND>(std::uintptr_t{0x10001});

struct FormEntry {
    std::shared_ptr<BitmapObject> bitmap;
    QPoint screen;
    bool visible = false;
    unsigned long long order = 0;
};

struct WindowEntry {
    std::uintptr_t form = 0;
    QRect rect;
    bool visible = false;
};

struct Registry {
    std::mutex mutex;
    std::map<std::uintptr_t, FormEntry> forms;
    std::map<std::uintptr_t, WindowEntry> windows;
    std::map<std::uintptr_t, platform::gdi::BackgroundPainter> painters;
    unsigned long long nextOrder = 1;
    std::optional<QSize> screen;
};

Registry& TheRegistry() {
    static auto* r = new Registry();
    return *r;
}

bool IsScreen(HWND hwnd) {
    return !hwnd || hwnd == kDesktop;
}

}  // namespace

namespace platform::gdi::internal {

std::optional<WindowTarget> FindWindowTarget(HWND window) {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    auto id = Id(window);
    if (auto f = r.forms.find(id); f != r.forms.end()) {
        WindowTarget t;
        t.surface = f->second.bitmap;
        t.rect = QRect(QPoint(0, 0), t.surface->image.size());
        t.visible = true;  // a form keeps its surface up to date also while hidden
        t.screenOrigin = f->second.screen;
        return t;
    }
    auto w = r.windows.find(id);
    if (w == r.windows.end()) return std::nullopt;
    auto f = r.forms.find(w->second.form);
    if (f == r.forms.end()) return std::nullopt;
    WindowTarget t;
    t.surface = f->second.bitmap;
    t.rect = w->second.rect;
    t.visible = w->second.visible;
    t.screenOrigin = f->second.screen + w->second.rect.topLeft();
    return t;
}

QSize ScreenSize() {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    if (r.screen) return *r.screen;
    QRect all(0, 0, 1024, 768);
    for (const auto& [id, f] : r.forms) {
        all |= QRect(f.screen, f.bitmap->image.size());
    }
    return QSize(all.right() + 1, all.bottom() + 1);
}

std::shared_ptr<BitmapObject> ComposeScreen() {
    QSize size = ScreenSize();
    auto screen = NewBitmap(std::min(size.width(), kMaxSide), std::min(size.height(), kMaxSide),
                            false, 32, ToRgb(GetSysColor(COLOR_BACKGROUND)));
    if (!screen) return nullptr;
    std::vector<FormEntry> shown;
    {
        Registry& r = TheRegistry();
        std::lock_guard lock(r.mutex);
        for (const auto& [id, f] : r.forms) {
            if (f.visible) shown.push_back(f);
        }
    }
    std::sort(shown.begin(), shown.end(),
              [](const FormEntry& a, const FormEntry& b) { return a.order < b.order; });
    for (const FormEntry& f : shown) {
        std::lock_guard lock(f.bitmap->pixels);
        const QImage& from = f.bitmap->image;
        QRect area = QRect(f.screen, from.size()).intersected(screen->image.rect());
        for (int y = area.top(); y <= area.bottom(); ++y) {
            const auto* in = reinterpret_cast<const QRgb*>(from.constScanLine(y - f.screen.y()));
            auto* out = reinterpret_cast<QRgb*>(screen->image.scanLine(y));
            std::copy(in + (area.left() - f.screen.x()), in + (area.right() + 1 - f.screen.x()),
                      out + area.left());
        }
    }
    return screen;
}

void NotifyDrawn(BitmapObject& bitmap) {
    if (bitmap.unread.exchange(true)) return;
    std::function<void()> listener;
    {
        std::lock_guard lock(bitmap.listenerMutex);
        listener = bitmap.listener;
    }
    if (listener) listener();
}

}  // namespace platform::gdi::internal

HWND GetDesktopWindow() {
    return kDesktop;
}

HDC GetDC(HWND hWnd) {
    auto dc = std::make_shared<DCObject>();
    if (IsScreen(hWnd)) {
        dc->dcKind = DcKind::Screen;
    } else {
        if (!FindWindowTarget(hWnd)) return nullptr;
        dc->dcKind = DcKind::Window;
        dc->window = hWnd;
    }
    dc->state = DefaultState();
    return As<HDC>(Add(dc));
}

HDC GetWindowDC(HWND hWnd) {
    return GetDC(hWnd);
}

int ReleaseDC(HWND hWnd, HDC hDC) {
    auto dc = DcOf(hDC);
    if (!dc || dc->dcKind == DcKind::Memory) return 0;
    if (dc->dcKind == DcKind::Window ? dc->window != hWnd : !IsScreen(hWnd)) return 0;
    ReleaseSelections(*dc);
    dc->screenCopy.reset();
    return Remove(Id(hDC)) ? 1 : 0;
}

HWND WindowFromDC(HDC hDC) {
    auto dc = DcOf(hDC);
    if (!dc) return nullptr;
    switch (dc->dcKind) {
        case DcKind::Window:
            return dc->window;
        case DcKind::Screen:
            return kDesktop;
        default:
            return nullptr;
    }
}

BOOL GetDCOrgEx(HDC hdc, LPPOINT lppt) {
    auto dc = DcOf(hdc);
    if (!dc || !lppt) return FALSE;
    *lppt = POINT{0, 0};
    if (dc->dcKind == DcKind::Window) {
        auto t = FindWindowTarget(dc->window);
        if (!t) return FALSE;
        *lppt = POINT{t->screenOrigin.x(), t->screenOrigin.y()};
    }
    return TRUE;
}

namespace platform::gdi {

bool CreateWindowSurface(HWND form, int width, int height) {
    if (IsScreen(form)) return false;
    auto bitmap = NewBitmap(width, height, false, 32, 0xFFFFFF);
    if (!bitmap) return false;
    bitmap->surface = true;
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    auto id = Id(form);
    if (r.forms.count(id) || r.windows.count(id)) return false;
    FormEntry entry;
    entry.bitmap = bitmap;
    entry.order = r.nextOrder++;
    r.forms.emplace(id, std::move(entry));
    return true;
}

bool ResizeWindowSurface(HWND form, int width, int height) {
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return false;
    std::shared_ptr<BitmapObject> old;
    {
        Registry& r = TheRegistry();
        std::lock_guard lock(r.mutex);
        auto f = r.forms.find(Id(form));
        if (f == r.forms.end()) return false;
        old = f->second.bitmap;
    }
    // A new surface takes the old one's place: a context of another thread that is drawing into
    // the old one keeps drawing within that one's size (what it draws there until the swap is
    // lost), so no drawing ever reaches past the end of a surface.
    auto next = NewBitmap(width, height, false, 32, 0xFFFFFF);
    if (!next) return false;
    next->surface = true;
    {
        std::lock_guard lock(old->pixels);
        const QImage& from = old->image;
        int w = std::min(width, from.width()), h = std::min(height, from.height());
        for (int y = 0; y < h; ++y) {
            const auto* in = reinterpret_cast<const QRgb*>(from.constScanLine(y));
            std::copy(in, in + w, reinterpret_cast<QRgb*>(next->image.scanLine(y)));
        }
    }
    {
        std::lock_guard lock(old->listenerMutex);
        next->listener = old->listener;
    }
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    auto f = r.forms.find(Id(form));
    if (f == r.forms.end() || f->second.bitmap != old) return false;
    f->second.bitmap = std::move(next);
    return true;
}

void DestroyWindowSurface(HWND form) {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    auto id = Id(form);
    r.forms.erase(id);
    r.painters.erase(id);
    for (auto it = r.windows.begin(); it != r.windows.end();) {
        if (it->second.form == id) {
            r.painters.erase(it->first);
            it = r.windows.erase(it);
        } else {
            ++it;
        }
    }
}

bool HasWindowSurface(HWND form) {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    return r.forms.count(Id(form)) > 0;
}

void SetWindowSurfacePlace(HWND form, int screenX, int screenY, bool visible) {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    auto f = r.forms.find(Id(form));
    if (f == r.forms.end()) return;
    f->second.screen = QPoint(screenX, screenY);
    f->second.visible = visible;
}

void RaiseWindowSurface(HWND form) {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    auto f = r.forms.find(Id(form));
    if (f != r.forms.end()) f->second.order = r.nextOrder++;
}

void SetWindowSurfaceListener(HWND form, std::function<void()> listener) {
    std::shared_ptr<BitmapObject> bitmap;
    {
        Registry& r = TheRegistry();
        std::lock_guard lock(r.mutex);
        auto f = r.forms.find(Id(form));
        if (f == r.forms.end()) return;
        bitmap = f->second.bitmap;
    }
    std::lock_guard lock(bitmap->listenerMutex);
    bitmap->listener = std::move(listener);
}

bool PlaceWindow(HWND window, HWND form, const RECT& rect, bool visible) {
    if (IsScreen(window) || window == form) return false;
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    if (!r.forms.count(Id(form)) || r.forms.count(Id(window))) return false;
    WindowEntry& w = r.windows[Id(window)];
    w.form = Id(form);
    w.rect = QRect(QPoint(rect.left, rect.top), QPoint(rect.right - 1, rect.bottom - 1));
    if (rect.right <= rect.left || rect.bottom <= rect.top) {
        w.rect = QRect(rect.left, rect.top, 0, 0);
    }
    w.visible = visible;
    return true;
}

void ForgetWindow(HWND window) {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    r.windows.erase(Id(window));
    r.painters.erase(Id(window));
}

bool IsPlacedWindowVisible(HWND window) {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    auto id = Id(window);
    if (auto f = r.forms.find(id); f != r.forms.end()) return f->second.visible;
    auto w = r.windows.find(id);
    return w != r.windows.end() && w->second.visible;
}

void SetWindowBackgroundPainter(HWND window, BackgroundPainter painter) {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    if (painter) {
        r.painters[Id(window)] = std::move(painter);
    } else {
        r.painters.erase(Id(window));
    }
}

BOOL PaintWindowBackground(HWND window, HDC hdc) {
    BackgroundPainter painter;
    {
        Registry& r = TheRegistry();
        std::lock_guard lock(r.mutex);
        auto p = r.painters.find(Id(window));
        if (p == r.painters.end()) return FALSE;
        painter = p->second;
    }
    auto target = FindWindowTarget(window);
    if (!target || !DcOf(hdc)) return FALSE;
    painter(hdc, RECT{0, 0, target->rect.width(), target->rect.height()});
    return TRUE;
}

void SetScreenSize(int width, int height) {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    if (width > 0 && height > 0) r.screen = QSize(width, height);
}

QImage WindowSurfaceImage(HWND form) {
    std::shared_ptr<BitmapObject> bitmap;
    {
        Registry& r = TheRegistry();
        std::lock_guard lock(r.mutex);
        auto f = r.forms.find(Id(form));
        if (f == r.forms.end()) return QImage();
        bitmap = f->second.bitmap;
    }
    std::lock_guard lock(bitmap->pixels);
    bitmap->unread = false;
    return bitmap->image.copy();
}

}  // namespace platform::gdi
