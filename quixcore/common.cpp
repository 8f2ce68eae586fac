#include <QSaveFile>
#include <algorithm>
#include <atomic>

#include "platform/gdi/qt.h"
#include "quixcore/internal.h"

namespace quixcore::internal {

bool IsDc(HDC hdc) {
    DWORD type = GetObjectType(reinterpret_cast<HGDIOBJ>(hdc));
    return type == OBJ_DC || type == OBJ_MEMDC;
}

bool IsBitmap(HBITMAP bitmap) {
    return GetObjectType(bitmap) == OBJ_BITMAP;
}

short Fail(short code, short* error) {
    // Atomic: a worker's error word is read by the user-interface thread.
    if (error) std::atomic_ref<short>(*error).store(code);
    return code;
}

QImage ReadArea(HDC hdc, const QRect& area) {
    if (area.isEmpty()) return QImage();
    HBITMAP temp = CreateCompatibleBitmap(nullptr, area.width(), area.height());
    if (!temp) return QImage();
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, temp);
    BOOL ok = BitBlt(mem, 0, 0, area.width(), area.height(), hdc, area.x(), area.y(), SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
    QImage image = ok ? platform::gdi::ImageOf(temp) : QImage();
    DeleteObject(temp);
    return image;
}

bool WriteArea(HDC hdc, QPoint at, const QImage& image) {
    if (image.isNull()) return false;
    HBITMAP temp = platform::gdi::BitmapFromImage(image);
    if (!temp) return false;
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, temp);
    BOOL ok = BitBlt(hdc, at.x(), at.y(), image.width(), image.height(), mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(temp);
    return ok;
}

BitmapContext::BitmapContext(HBITMAP bitmap) : dc_(CreateCompatibleDC(nullptr)) {
    if (dc_) old_ = SelectObject(dc_, bitmap);
}

BitmapContext::~BitmapContext() {
    if (old_) SelectObject(dc_, old_);
    if (dc_) DeleteDC(dc_);
}

bool ReplaceFile(const char* path, const void* bytes, std::size_t size) {
    if (!path || !*path) return false;
    QSaveFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(static_cast<const char*>(bytes), static_cast<qint64>(size)) !=
        static_cast<qint64>(size)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QRect DeviceRect(HDC hdc, const QRect& logical) {
    POINT p{logical.x(), logical.y()};
    LPtoDP(hdc, &p, 1);
    return QRect(QPoint(p.x, p.y), logical.size());
}

QRect RectOf(const RECT& r) {
    return QRect(QPoint(std::min(r.left, r.right), std::min(r.top, r.bottom)),
                 QSize(std::abs(r.right - r.left), std::abs(r.bottom - r.top)));
}

}  // namespace quixcore::internal
