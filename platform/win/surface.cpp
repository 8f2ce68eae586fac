#include "platform/win/surface.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QWidget>

#include "platform/gdi/gdi.h"
#include "platform/gdi/qt.h"
#include "platform/win/window.h"

namespace platform::win {

namespace {

// Keeps one form's surface in step with its widget and shows it.
class FormSurface : public QObject {
public:
    explicit FormSurface(QWidget* form) : QObject(form), form_(form), hwnd_(HandleOf(form)) {
        platform::gdi::CreateWindowSurface(hwnd_, std::max(1, form->width()),
                                           std::max(1, form->height()));
        QPointer<QWidget> target(form);
        platform::gdi::SetWindowSurfaceListener(hwnd_, [target] {
            // From any thread: the repaint runs on the widget's thread, and not once it is gone.
            QWidget* w = target.data();
            if (w)
                QMetaObject::invokeMethod(
                    w, [w] { w->update(); }, Qt::QueuedConnection);
        });
        form->installEventFilter(this);
        Place();
    }
    ~FormSurface() override { platform::gdi::DestroyWindowSurface(hwnd_); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != form_) return false;
        switch (event->type()) {
            case QEvent::Resize:
                platform::gdi::ResizeWindowSurface(hwnd_, std::max(1, form_->width()),
                                                   std::max(1, form_->height()));
                Place();
                break;
            case QEvent::Move:
            case QEvent::Show:
            case QEvent::Hide:
                Place();
                break;
            case QEvent::WindowActivate:
                platform::gdi::RaiseWindowSurface(hwnd_);
                break;
            case QEvent::Paint: {
                Place();  // a window manager may have placed the form without a move event
                QImage image = platform::gdi::WindowSurfaceImage(hwnd_);
                QPainter p(form_);
                const QRect dirty = static_cast<QPaintEvent*>(event)->rect();
                p.drawImage(dirty.topLeft(), image, dirty);
                return true;
            }
            default:
                break;
        }
        return false;
    }

private:
    void Place() {
        QPoint at = form_->mapToGlobal(QPoint(0, 0));
        platform::gdi::SetWindowSurfacePlace(hwnd_, at.x(), at.y(), form_->isVisible());
    }

    QWidget* form_;
    HWND hwnd_;
};

// Keeps one child's place in its form's surface.
class ChildPlace : public QObject {
public:
    explicit ChildPlace(QWidget* child) : QObject(child), child_(child), hwnd_(HandleOf(child)) {
        child->setAttribute(Qt::WA_NoSystemBackground);
        child->setAutoFillBackground(false);
        child->installEventFilter(this);
        Place();
    }
    ~ChildPlace() override { platform::gdi::ForgetWindow(hwnd_); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == child_) {
            switch (event->type()) {
                case QEvent::Move:
                case QEvent::Resize:
                case QEvent::Show:
                case QEvent::Hide:
                case QEvent::ParentChange:
                    Place();
                    break;
                default:
                    break;
            }
        }
        return false;
    }

public:
    void Place() {
        QWidget* form = child_->window();
        if (form == child_) return;
        QPoint at = child_->mapTo(form, QPoint(0, 0));
        RECT r{at.x(), at.y(), at.x() + child_->width(), at.y() + child_->height()};
        platform::gdi::PlaceWindow(hwnd_, HandleOf(form), r, child_->isVisibleTo(form));
    }

private:
    QWidget* child_;
    HWND hwnd_;
};

}  // namespace

void AttachSurface(QWidget* form) {
    if (!form || !form->isWindow() ||
        form->findChild<FormSurface*>(QString(), Qt::FindDirectChildrenOnly)) {
        return;
    }
    new FormSurface(form);
}

void AttachToSurface(QWidget* child) {
    if (!child || child->isWindow() ||
        child->findChild<ChildPlace*>(QString(), Qt::FindDirectChildrenOnly)) {
        return;
    }
    new ChildPlace(child);
}

void UpdateSurfacePlace(QWidget* child) {
    if (!child) return;
    if (auto* place = child->findChild<ChildPlace*>(QString(), Qt::FindDirectChildrenOnly)) {
        place->Place();
    }
}

}  // namespace platform::win
