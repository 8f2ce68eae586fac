#include "hosts/testcontainer/form.h"

#include <QWidget>

#include "platform/gdi/qt.h"
#include "platform/win/paint.h"
#include "platform/win/surface.h"
#include "platform/win/window.h"

namespace testcontainer {

namespace {

void Fill(HDC dc, const RECT& area, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &area, brush);
    DeleteObject(brush);
}

}  // namespace

Form::Form(int width, int height, COLORREF back) : widget_(new QWidget()), back_(back) {
    widget_->setWindowTitle("Form1");
    widget_->setFixedSize(width, height);
    hwnd_ = platform::win::HandleOf(widget_.get());
    platform::win::AttachSurface(widget_.get());
    platform::win::SetWindowProc(
        hwnd_, [this](HWND h, UINT m, WPARAM w, LPARAM l) { return Proc(h, m, w, l); });
    widget_->show();
    InvalidateRect(hwnd_, nullptr, TRUE);
}

Form::~Form() {
    platform::win::SetWindowProc(hwnd_, nullptr);
}

LRESULT Form::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != WM_ERASEBKGND) return DefWindowProcA(hwnd, msg, wParam, lParam);
    // The form's own background, around the windows of its visible controls.
    auto dc = reinterpret_cast<HDC>(wParam);
    int saved = SaveDC(dc);
    for (QObject* o : widget_->children()) {
        auto* child = qobject_cast<QWidget*>(o);
        if (!child || child->isHidden()) continue;
        QRect g = child->geometry();
        ExcludeClipRect(dc, g.left(), g.top(), g.left() + g.width(), g.top() + g.height());
    }
    RECT all;
    GetClientRect(hwnd, &all);
    Fill(dc, all, back_);
    RestoreDC(dc, saved);
    return 1;
}

void Form::AdoptWindow(HWND control) {
    COLORREF back = back_;
    platform::gdi::SetWindowBackgroundPainter(control,
                                              [back](HDC dc, const RECT& r) { Fill(dc, r, back); });
}

QImage Form::Picture() const {
    return platform::gdi::WindowSurfaceImage(hwnd_);
}

QImage Form::Picture(const RECT& area) const {
    return Picture().copy(area.left, area.top, area.right - area.left, area.bottom - area.top);
}

}  // namespace testcontainer
