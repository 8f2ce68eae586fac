#include "platform/vb/Control.h"

#include <QEvent>
#include <QMouseEvent>
#include <exception>

#include "platform/base/report.h"
#include "platform/vb/App.h"
#include "platform/vb/Error.h"
#include "platform/vb/Form.h"
#include "platform/win/messages.h"
#include "platform/win/window.h"

namespace vb {

int ButtonValue(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton:
            return vbLeftButton;
        case Qt::RightButton:
            return vbRightButton;
        case Qt::MiddleButton:
            return vbMiddleButton;
        default:
            return 0;
    }
}

int ButtonsValue(Qt::MouseButtons buttons) {
    int v = 0;
    if (buttons & Qt::LeftButton) v |= vbLeftButton;
    if (buttons & Qt::RightButton) v |= vbRightButton;
    if (buttons & Qt::MiddleButton) v |= vbMiddleButton;
    return v;
}

int ShiftValueOf(Qt::KeyboardModifiers m) {
    int v = 0;
    if (m & Qt::ShiftModifier) v |= vbShiftMask;
    if (m & Qt::ControlModifier) v |= vbCtrlMask;
    if (m & Qt::AltModifier) v |= vbAltMask;
    return v;
}

void Dispatch(const char* what, const std::function<void()>& handler) {
    if (!handler) return;
    try {
        handler();
    } catch (const RuntimeError& e) {
        platform::base::Report(App::Title(), "run-time error " + std::to_string(e.Number()) +
                                                 " in " + what + ": " + e.what());
    } catch (const std::exception& e) {
        platform::base::Report(App::Title(), std::string("error in ") + what + ": " + e.what());
    } catch (const ProgramEnded&) {
        // The end of the program, in a test: nothing more of this event runs.
    }
}

// Hands the mouse events of a control's widget to the control.
class ControlEvents : public QObject {
public:
    explicit ControlEvents(Control* c) : control_(c) {}
    bool eventFilter(QObject*, QEvent* e) override {
        switch (e->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::MouseMove:
                control_->OnMouse(e);
                break;
            default:
                return false;
        }
        if (control_->selectsWithLeftOnly_ && e->type() != QEvent::MouseMove &&
            static_cast<QMouseEvent*>(e)->button() != Qt::LeftButton) {
            return true;
        }
        return false;
    }

private:
    Control* control_;
};

Control::Control(Form* form, const char* name, Control* container)
    : form_(form), container_(container), name_(name) {
    form_->AddControl(this);
}

Control::~Control() {
    form_->RemoveControl(this);
    delete widget_.data();
    delete events_;
}

void Control::Attach(QWidget* widget, QWidget* eventSource) {
    widget_ = widget;
    widget->setObjectName(QString::fromStdString(name_));
    platform::win::SetWindowClass(widget, ClassName());
    QWidget* source = eventSource ? eventSource : widget;
    source->setMouseTracking(true);
    // A control's mouse events are its own: they never reach the form or the control beneath.
    widget->setAttribute(Qt::WA_NoMousePropagation);
    source->setAttribute(Qt::WA_NoMousePropagation);
    events_ = new ControlEvents(this);
    source->installEventFilter(events_);
    widget->show();
}

QWidget* Control::ContainerWidget() const {
    return container_ ? container_->widget() : form_->window();
}

float Control::MouseScale() const {
    // Controls without a scale of their own report the mouse in their container's twips.
    return static_cast<float>(kTwipsPerPixel);
}

void Control::ApplyGeometry() {
    if (!widget_) return;
    widget_->setGeometry(TwipsToPixels(left_), TwipsToPixels(top_),
                         std::max(0, TwipsToPixels(width_)), std::max(0, TwipsToPixels(height_)));
}

void Control::SetLeft(float t) {
    left_ = t;
    ApplyGeometry();
}
void Control::SetTop(float t) {
    top_ = t;
    ApplyGeometry();
}
void Control::SetWidth(float t) {
    if (t < 0) Raise(vbErrInvalidPropertyValue);
    width_ = t;
    ApplyGeometry();
}
void Control::SetHeight(float t) {
    if (t < 0) Raise(vbErrInvalidPropertyValue);
    height_ = t;
    ApplyGeometry();
}
void Control::Move(float left, float top) {
    left_ = left;
    top_ = top;
    ApplyGeometry();
}
void Control::Move(float left, float top, float width, float height) {
    if (width < 0 || height < 0) Raise(vbErrInvalidPropertyValue);
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    ApplyGeometry();
}

void Control::SetVisible(bool visible) {
    visible_ = visible;
    if (widget_) widget_->setVisible(visible);
}

void Control::SetEnabled(bool enabled) {
    enabled_ = enabled;
    if (widget_) widget_->setEnabled(enabled);
}

void Control::SetToolTipText(const std::string& text) {
    tooltip_ = text;
    if (widget_) widget_->setToolTip(QString::fromStdString(text));
}

void Control::SetMousePointer(int pointer) {
    pointer_ = pointer;
    if (!widget_) return;
    if (pointer == vbCustom && !icon_.IsNone()) {
        widget_->setCursor(icon_.AsCursor());
    } else if (pointer == vbHourglass) {
        widget_->setCursor(Qt::WaitCursor);
    } else {
        widget_->unsetCursor();
    }
}

void Control::SetMouseIcon(const Picture& icon) {
    icon_ = icon;
    SetMousePointer(pointer_);
}

void Control::SetFocus() {
    if (!widget_ || !widget_->isEnabled()) Raise(vbErrInvalidProcedureCall);
    widget_->setFocus(Qt::OtherFocusReason);
}

void Control::ZOrder(int position) {
    if (!widget_) return;
    if (position == 0) {
        widget_->raise();
    } else {
        widget_->lower();
    }
}

HWND Control::hWnd() const {
    return platform::win::HandleOf(widget_.data());
}

void Control::OnMouse(QEvent* event) {
    auto* e = static_cast<QMouseEvent*>(event);
    float s = MouseScale();
    float x = static_cast<float>(e->position().x()) * s;
    float y = static_cast<float>(e->position().y()) * s;
    int shift = ShiftValueOf(e->modifiers());
    std::string what = name_;
    switch (e->type()) {
        case QEvent::MouseButtonPress:
            pressedInside_ = true;
            if (widget_) pressedWindowAt_ = widget_->window()->pos();
            if (MouseDown)
                Dispatch((what + "_MouseDown").c_str(),
                         [&] { MouseDown(ButtonValue(e->button()), shift, x, y); });
            break;
        case QEvent::MouseButtonRelease: {
            // A press that moved its window (a window drag) is no click.
            bool click = pressedInside_ && mouseClick_ && e->button() == Qt::LeftButton &&
                         widget_ && widget_->rect().contains(e->position().toPoint()) &&
                         widget_->window()->pos() == pressedWindowAt_;
            pressedInside_ = false;
            if (MouseUp)
                Dispatch((what + "_MouseUp").c_str(),
                         [&] { MouseUp(ButtonValue(e->button()), shift, x, y); });
            if (click && Click) Dispatch((what + "_Click").c_str(), Click);
            break;
        }
        case QEvent::MouseButtonDblClick:
            // The second press of a double click is the DblClick event; its release is no click.
            pressedInside_ = false;
            if (DblClick && e->button() == Qt::LeftButton)
                Dispatch((what + "_DblClick").c_str(), DblClick);
            break;
        case QEvent::MouseMove:
            if (MouseMove)
                Dispatch((what + "_MouseMove").c_str(),
                         [&] { MouseMove(ButtonsValue(e->buttons()), shift, x, y); });
            break;
        default:
            break;
    }
}

}  // namespace vb
