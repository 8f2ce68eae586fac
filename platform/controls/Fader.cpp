#include "platform/controls/Fader.h"

#include <QEventLoop>
#include <QTimer>
#include <QVariantAnimation>
#include <algorithm>

#include "platform/vb/Error.h"
#include "platform/vb/Form.h"
#include "platform/vb/Timer.h"

namespace controls {

Fader::Fader(vb::Form* form, const char* name) : vb::Control(form, name) {
    auto* w = new QWidget(ContainerWidget());
    Attach(w);
    SetVisible(false);
}

Fader::~Fader() = default;

void Fader::SetLevel(long percent) {
    if (percent < 0 || percent > 100) vb::Raise(vb::vbErrInvalidPropertyValue);
    level_ = percent;
    if (animation_) animation_->stop();
    Apply(static_cast<double>(percent));
}

double Fader::Opacity() const {
    QWidget* w = Parent().window();
    return w ? w->windowOpacity() * 100.0 : 0.0;
}

void Fader::Apply(double percent) {
    if (QWidget* w = Parent().window())
        w->setWindowOpacity(std::clamp(percent, 0.0, 100.0) / 100.0);
}

int Fader::Duration(int speed) const {
    return 1100 - 100 * std::clamp(speed, 1, 10);
}

void Fader::FadeIn() {
    if (animation_) animation_->stop();
    // Tests run on the manual clock: fades then take no time.
    if (vb::TimerClock::IsManual()) {
        Apply(static_cast<double>(level_));
        return;
    }
    animation_ = std::make_unique<QVariantAnimation>();
    animation_->setStartValue(0.0);
    animation_->setEndValue(static_cast<double>(level_));
    animation_->setDuration(Duration(inSpeed_));
    QObject::connect(animation_.get(), &QVariantAnimation::valueChanged,
                     [this](const QVariant& v) { Apply(v.toDouble()); });
    Apply(0.0);
    animation_->start();
}

void Fader::FadeOut() {
    if (animation_) animation_->stop();
    if (vb::TimerClock::IsManual()) {
        Apply(0.0);
        return;
    }
    QEventLoop loop;
    QVariantAnimation fade;
    fade.setStartValue(Opacity());
    fade.setEndValue(0.0);
    fade.setDuration(Duration(outSpeed_));
    QObject::connect(&fade, &QVariantAnimation::valueChanged,
                     [this](const QVariant& v) { Apply(v.toDouble()); });
    QObject::connect(&fade, &QVariantAnimation::finished, &loop, &QEventLoop::quit);
    fade.start();
    // The program's timers keep running meanwhile; the user's input waits.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    Apply(0.0);
}

}  // namespace controls
