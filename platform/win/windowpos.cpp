#include "platform/win/windowpos.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include "platform/win/window.h"

namespace platform::win {

namespace {

// Moves a window with the mouse while the left button is held, for desktops without a window
// manager that moves windows.
class MouseMover : public QObject {
public:
    MouseMover(QWidget* window, QPoint grab) : window_(window), offset_(grab - window->pos()) {
        qApp->installEventFilter(this);
    }

    bool eventFilter(QObject*, QEvent* e) override {
        if (!window_) {
            deleteLater();
            return false;
        }
        if (e->type() == QEvent::MouseMove) {
            auto* m = static_cast<QMouseEvent*>(e);
            if (!(m->buttons() & Qt::LeftButton)) {
                Finish();
                return false;
            }
            window_->move(m->globalPosition().toPoint() - offset_);
            return true;
        }
        if (e->type() == QEvent::MouseButtonRelease) {
            Finish();
            return false;
        }
        return false;
    }

private:
    void Finish() {
        qApp->removeEventFilter(this);
        deleteLater();
    }
    QPointer<QWidget> window_;
    QPoint offset_;
};

}  // namespace

bool StartWindowDrag(HWND hwnd) {
    QWidget* w = WidgetOf(hwnd);
    if (!w) return false;
    QWidget* top = w->window();
    if (QWindow* handle = top->windowHandle(); handle && handle->startSystemMove()) return true;
    if (!(QApplication::mouseButtons() & Qt::LeftButton)) return false;
    new MouseMover(top, QCursor::pos());
    return true;
}

}  // namespace platform::win

BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags) {
    QWidget* w = platform::win::WidgetOf(hWnd);
    if (!w) return FALSE;
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

BOOL ReleaseCapture() {
    if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
    return TRUE;
}
