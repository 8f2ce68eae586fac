// The progress bar control used as the player's position, volume and opacity bars: whole-number
// Min, Max and Value; the user presses or drags it to set its value.
#pragma once

#include <functional>

#include "platform/vb/Control.h"

namespace controls {

class ProgressG1 : public vb::Control {
public:
    ProgressG1(vb::Form* form, const char* name, vb::Control* container = nullptr);
    const char* TypeName() const override { return "ProgressG1"; }

    long Min() const { return min_; }
    void SetMin(long min);
    long Max() const { return max_; }
    void SetMax(long max);
    // Any whole number is taken; the bar shows it within Min..Max. A change raises Change.
    long Value() const { return value_; }
    void SetValue(long value);
    COLORREF BarColor() const { return bar_; }
    void SetBarColor(COLORREF c);
    COLORREF BackColor() const { return back_; }
    void SetBackColor(COLORREF c);

    // The value changed (by code, or by the user pressing or dragging the bar).
    std::function<void()> Change;
    // The user is moving the bar.
    std::function<void()> Scroll;

    // The value the bar takes for a press at X twips from its left edge.
    long ValueAt(float xTwips) const;

protected:
    void OnMouse(QEvent* event) override;

private:
    class Surface;
    Surface* surface_;
    long min_ = 0, max_ = 100, value_ = 0;
    COLORREF bar_ = RGB(0, 120, 215), back_ = RGB(230, 230, 230);
};

}  // namespace controls
