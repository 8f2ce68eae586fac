#include "platform/win/windowpos.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include "platform/gdi/gdi.h"
#include "platform/gdi/qt.h"
#include "platform/win/window.h"

namespace platform::win {

namespace {

// A press that may become a window move: once the mouse moves a few pixels with the button held,
// the window follows the mouse until the button is up, keeping the point that was pressed under
// the pointer. A press released without moving stays a click. Only where the program cannot place
// its own windows (Wayland) is the move handed to the compositor; a window manager's move on X11
// loses the grab offset (the window's corner jumps to the pointer) when the press was in a child
// window of its own, as on the video window.
class PendingDrag : public QObject {
public:
    PendingDrag(QWidget* window, QPoint grab)
        : window_(window), start_(grab), offset_(grab - window->pos()) {
        active = this;
        qApp->installEventFilter(this);
    }
    ~PendingDrag() override {
        if (active == this) active = nullptr;
    }
    // The drag under way, if any: a press starts one drag, however many handlers ask.
    static inline PendingDrag* active = nullptr;

    bool eventFilter(QObject*, QEvent* e) override {
        if (!window_) return Finish(false);
        if (e->type() == QEvent::MouseButtonRelease) return Finish(false);
        if (e->type() != QEvent::MouseMove) return false;
        auto* m = static_cast<QMouseEvent*>(e);
        if (m->buttons() == Qt::NoButton) return Finish(false);
        QPoint at = m->globalPosition().toPoint();
        if (!following_) {
            if ((at - start_).manhattanLength() < QApplication::startDragDistance()) return false;
            QWindow* handle = window_->windowHandle();
            if (handle && QGuiApplication::platformName().startsWith(QLatin1String("wayland")) &&
                handle->startSystemMove()) {
                return Finish(true);
            }
            following_ = true;
        }
        window_->move(at - offset_);
        return true;
    }

private:
    bool Finish(bool consumed) {
        qApp->removeEventFilter(this);
        if (active == this) active = nullptr;
        deleteLater();
        return consumed;
    }
    QPointer<QWidget> window_;
    QPoint start_, offset_;
    bool following_ = false;
};

}  // namespace

bool StartWindowDrag(HWND hwnd) {
    QWidget* w = WidgetOf(hwnd);
    if (!w) return false;
    if (!PendingDrag::active) new PendingDrag(w->window(), QCursor::pos());
    return true;
}

}  // namespace platform::win

BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags) {
    QWidget* w = platform::win::WidgetOf(hWnd);
    if (!w) return FALSE;
    if (!w->isWindow())
        return platform::win::SetChildWindowPos(hWnd, hWndInsertAfter, X, Y, cx, cy, uFlags);
    QWidget* top = w->window();
    if (!(uFlags & SWP_NOMOVE)) top->move(X, Y);
    if (!(uFlags & SWP_NOSIZE)) top->resize(cx, cy);
    if (!(uFlags & SWP_NOZORDER)) {
        bool wantTop = hWndInsertAfter == HWND_TOPMOST;
        bool leaveTop = hWndInsertAfter == HWND_NOTOPMOST;
        bool isTop = top->windowFlags() & Qt::WindowStaysOnTopHint;
        if ((wantTop && !isTop) || (leaveTop && isTop)) {
            bool shown = top->isVisible();
            QPoint pos = top->pos();
            top->setWindowFlag(Qt::WindowStaysOnTopHint, wantTop);
            top->move(pos);
            if (shown) top->show();
        }
        if (hWndInsertAfter == HWND_BOTTOM) {
            top->lower();
        } else if (top->isVisible()) {
            top->raise();
        }
    }
    if ((uFlags & SWP_SHOWWINDOW) && !top->isVisible()) top->show();
    if (!(uFlags & SWP_NOACTIVATE) && top->isVisible()) top->activateWindow();
    return TRUE;
}

bool IsTopMost(HWND hWnd) {
    QWidget* w = platform::win::WidgetOf(hWnd);
    return w && (w->window()->windowFlags() & Qt::WindowStaysOnTopHint);
}

int SetWindowRgn(HWND hWnd, HRGN hRgn, BOOL bRedraw) {
    QWidget* w = platform::win::WidgetOf(hWnd);
    if (!w) return 0;
    if (!hRgn) {
        w->clearMask();
    } else {
        std::optional<QRegion> region = platform::gdi::RegionOf(hRgn);
        if (!region) return 0;
        w->setMask(*region);
        DeleteObject(hRgn);  // the window's from now on
    }
    if (bRedraw) w->update();
    return 1;
}

BOOL ReleaseCapture() {
    if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
    return TRUE;
}
