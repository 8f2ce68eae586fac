// The base of every control on a form: position and size in twips, visibility, pointer, tooltip
// and the mouse events, with the run-time's button and shift values.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <string>

#include "platform/base/wintypes.h"
#include "platform/vb/Picture.h"

namespace vb {

class Form;

inline constexpr int kTwipsPerPixel = 15;
// Rounded to the nearest pixel; a distance beyond any screen's reach is held at +-2^24 pixels
// (and one that is not a number is 0), so that sums of places and sizes never overflow.
inline int TwipsToPixels(double twips) {
    const double pixels = twips / kTwipsPerPixel + (twips < 0 ? -0.5 : 0.5);
    constexpr int kFarthest = 1 << 24;
    if (!(pixels > -kFarthest)) return pixels < 0 ? -kFarthest : 0;
    if (pixels > kFarthest) return kFarthest;
    return static_cast<int>(pixels);
}
inline float PixelsToTwips(double pixels) {
    return static_cast<float>(pixels * kTwipsPerPixel);
}

enum MouseButtonValue : int { vbLeftButton = 1, vbRightButton = 2, vbMiddleButton = 4 };
enum ShiftValue : int { vbShiftMask = 1, vbCtrlMask = 2, vbAltMask = 4 };
enum ScaleModeValue : int { vbTwips = 1, vbPixels = 3 };
enum MousePointerValue : int { vbDefault = 0, vbArrow = 1, vbHourglass = 11, vbCustom = 99 };

// (Button, Shift, X, Y); X and Y in the scale of the control's container (or its own, for
// controls with a ScaleMode).
using MouseHandler = std::function<void(int, int, float, float)>;

class Control {
public:
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& Name() const { return name_; }
    Form& Parent() const { return *form_; }
    // The run-time's name of the control's kind ("Label", "ListBox", "QuixLabel", ...).
    virtual const char* TypeName() const = 0;
    // The window class the platform would report for the control's window.
    virtual const char* ClassName() const { return "ThunderRT6Control"; }

    float Left() const { return left_; }
    float Top() const { return top_; }
    float Width() const { return width_; }
    float Height() const { return height_; }
    virtual void SetLeft(float twips);
    virtual void SetTop(float twips);
    virtual void SetWidth(float twips);
    virtual void SetHeight(float twips);
    void Move(float left, float top);
    void Move(float left, float top, float width, float height);

    bool Visible() const { return visible_; }
    virtual void SetVisible(bool visible);
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled);
    std::string ToolTipText() const { return tooltip_; }
    void SetToolTipText(const std::string& text);
    std::string Tag() const { return tag_; }
    void SetTag(const std::string& tag) { tag_ = tag; }

    int MousePointer() const { return pointer_; }
    void SetMousePointer(int pointer);
    const Picture& MouseIcon() const { return icon_; }
    void SetMouseIcon(const Picture& icon);

    void SetFocus();
    // ZOrder 0 brings the control to the front of its container, 1 sends it to the back.
    void ZOrder(int position = 0);

    HWND hWnd() const;
    QWidget* widget() const { return widget_.data(); }

    std::function<void()> Click;
    std::function<void()> DblClick;
    MouseHandler MouseDown;
    MouseHandler MouseUp;
    MouseHandler MouseMove;

    // How many twips one pixel of this control's mouse coordinates is (15 for twips, 1 for pixels).
    virtual float MouseScale() const;

protected:
    // `container` is the form (nullptr) or a control that holds others (a picture box).
    Control(Form* form, const char* name, Control* container = nullptr);
    // Gives the control its widget (made by the kind's constructor with ContainerWidget() as
    // parent) and starts delivering its mouse events; `eventSource` is the widget that receives
    // the mouse (a list's viewport), the widget itself by default.
    void Attach(QWidget* widget, QWidget* eventSource = nullptr);
    QWidget* ContainerWidget() const;
    void ApplyGeometry();
    // Kinds whose Click is not a mouse click (lists, check boxes) turn the mouse click off.
    bool mouseClick_ = true;
    // Lists select with the left button only: other buttons raise the mouse events but never
    // reach the list's own handling.
    bool selectsWithLeftOnly_ = false;

    friend class ControlEvents;
    virtual void OnMouse(QEvent* event);

private:
    Form* form_;
    Control* container_;
    std::string name_;
    QPointer<QWidget> widget_;
    float left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool visible_ = true, enabled_ = true;
    std::string tooltip_, tag_;
    int pointer_ = vbDefault;
    Picture icon_;
    bool pressedInside_ = false;
    QPoint pressedWindowAt_;  // where the control's window stood at the press
    QObject* events_ = nullptr;
};

// The run-time's button and shift values of a Qt mouse event.
int ButtonValue(Qt::MouseButton button);
int ButtonsValue(Qt::MouseButtons buttons);
int ShiftValueOf(Qt::KeyboardModifiers modifiers);

// Runs an event handler the way the run-time does: an error that no handler catches is reported
// on stderr, and the program goes on; the end of the program in a test stops the handler.
void Dispatch(const char* what, const std::function<void()>& handler);

}  // namespace vb
