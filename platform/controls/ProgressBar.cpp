#include "platform/controls/ProgressBar.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWidget>
#include <algorithm>
#include <cmath>

#include "platform/vb/Error.h"

namespace controls {

namespace {
QColor ToQColor(COLORREF c) {
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}
}  // namespace

class ProgressG1::Surface : public QWidget {
public:
    Surface(ProgressG1* bar, QWidget* parent) : QWidget(parent), bar_(bar) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), ToQColor(bar_->back_));
        double span = static_cast<double>(bar_->max_ - bar_->min_);
        double part =
            span > 0 ? (std::clamp(bar_->value_, bar_->min_, bar_->max_) - bar_->min_) / span : 0;
        p.fillRect(QRectF(0, 0, width() * part, height()), ToQColor(bar_->bar_));
        p.setPen(ToQColor(bar_->bar_).darker(140));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }

private:
    ProgressG1* bar_;
};

ProgressG1::ProgressG1(vb::Form* form, const char* name, vb::Control* container)
    : vb::Control(form, name, container) {
    surface_ = new Surface(this, ContainerWidget());
    Attach(surface_);
}

void ProgressG1::SetMin(long min) {
    if (min == min_) return;  // the position timers set the bounds on every tick: no repaint
    min_ = min;
    surface_->update();
}

void ProgressG1::SetMax(long max) {
    if (max == max_) return;  // the position timers set the bounds on every tick: no repaint
    max_ = max;
    surface_->update();
}

void ProgressG1::SetValue(long value) {
    if (value == value_) return;
    value_ = value;
    surface_->update();
    if (Change) vb::Dispatch((Name() + "_Change").c_str(), Change);
}

void ProgressG1::SetBarColor(COLORREF c) {
    if (c == bar_) return;
    bar_ = c;
    surface_->update();
}

void ProgressG1::SetBackColor(COLORREF c) {
    if (c == back_) return;
    back_ = c;
    surface_->update();
}

long ProgressG1::ValueAt(float xTwips) const {
    float w = Width();
    if (w <= 0) return min_;
    double part = std::clamp(static_cast<double>(xTwips) / w, 0.0, 1.0);
    return min_ + std::lround(part * static_cast<double>(max_ - min_));
}

void ProgressG1::OnMouse(QEvent* event) {
    vb::Control::OnMouse(event);  // MouseDown, MouseUp, MouseMove with X in twips
    auto* e = static_cast<QMouseEvent*>(event);
    bool press = e->type() == QEvent::MouseButtonPress && e->button() == Qt::LeftButton;
    bool drag = e->type() == QEvent::MouseMove && (e->buttons() & Qt::LeftButton);
    if (!press && !drag) return;
    long v = ValueAt(vb::PixelsToTwips(e->position().x()));
    if (v != value_) {
        SetValue(v);
        if (Scroll) vb::Dispatch((Name() + "_Scroll").c_str(), Scroll);
    }
}

}  // namespace controls
