// The fade control: the opacity of the window that carries it, set at once or faded.
#pragma once

#include <memory>

#include "platform/vb/Control.h"

class QVariantAnimation;

namespace controls {

class Fader : public vb::Control {
public:
    Fader(vb::Form* form, const char* name);
    ~Fader() override;
    const char* TypeName() const override { return "Fader"; }

    // Opacity in percent (0..100, 100 opaque), applied to the window at once.
    long Level() const { return level_; }
    void SetLevel(long percent);
    // Speeds 1 (slow, about a second) to 10 (fast, about a tenth of a second).
    void SetFadeInSpeed(int speed) { inSpeed_ = speed; }
    void SetFadeOutSpeed(int speed) { outSpeed_ = speed; }
    // Fades the window in from transparent to Level; returns at once, the fade runs on.
    void FadeIn();
    // Fades the window out to transparent; returns when the window is transparent, so the caller
    // may hide it next. Level keeps its value for the next FadeIn.
    void FadeOut();
    // The window's current opacity in percent.
    double Opacity() const;

private:
    void Apply(double percent);
    int Duration(int speed) const;
    long level_ = 100;
    int inSpeed_ = 5, outSpeed_ = 5;
    std::unique_ptr<QVariantAnimation> animation_;
};

}  // namespace controls
