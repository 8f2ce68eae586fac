// Forms of the form run-time: one default instance per form class, created and loaded on its
// first touch, with the run-time's properties in twips and its events.
//
//     namespace forms { class frmMain1 : public vb::Form { ... }; }
//     inline vb::DefaultForm<forms::frmMain1> frmMain1;   // reached as frmMain1->Label1 ...
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "platform/vb/Control.h"
#include "platform/vb/Error.h"
#include "platform/vb/Picture.h"

class QEventLoop;

namespace vb {

class Menu;
class FormWindow;
class Timer;

enum FormShowValue : int { vbModeless = 0, vbModal = 1 };
enum WindowStateValue : int { vbNormal = 0, vbMinimized = 1, vbMaximized = 2 };

class Form : public QObject {
public:
    Form(const char* name, const std::string& caption);
    ~Form() override;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& Name() const { return name_; }
    virtual const char* ClassName() const { return "ThunderRT6FormDC"; }

    // Events, overridden by each form.
    virtual void Form_Load() {}
    virtual void Form_Activate() {}
    virtual void Form_Unload(int& Cancel) {}
    virtual void Form_Terminate() {}
    virtual void Form_Resize() {}
    virtual void Form_Click() {}
    virtual void Form_DblClick() {}
    virtual void Form_MouseDown(int Button, int Shift, float X, float Y) {}
    virtual void Form_MouseUp(int Button, int Shift, float X, float Y) {}
    virtual void Form_MouseMove(int Button, int Shift, float X, float Y) {}

    // Show modeless (0) or modal (1: returns when the form is hidden or unloaded).
    void Show(int modal = vbModeless);
    void Hide();
    bool Visible() const;
    void SetVisible(bool visible);
    int WindowState() const;
    void SetWindowState(int state);

    float Left() const;
    float Top() const;
    float Width() const;
    float Height() const;
    void SetLeft(float twips);
    void SetTop(float twips);
    void SetWidth(float twips);
    void SetHeight(float twips);
    void Move(float left, float top);
    void Move(float left, float top, float width, float height);
    float ScaleWidth() const;
    float ScaleHeight() const;

    std::string Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    int BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(int style);
    const vb::Picture& Picture() const { return picture_; }
    void SetPicture(const vb::Picture& picture);
    COLORREF BackColor() const { return backColor_; }
    void SetBackColor(COLORREF color);
    int MousePointer() const { return pointer_; }
    void SetMousePointer(int pointer);
    void SetMouseIcon(const vb::Picture& icon);

    HWND hWnd() const;
    QWidget* window() const;

    // Every control of the form, in the order of their creation.
    const std::vector<Control*>& Controls() const { return controls_; }
    Control* ControlByName(const std::string& name) const;

    // Shows `menu`'s items as a pop-up menu at the mouse position; returns when it closes.
    void PopupMenu(Menu& menu);

    // Run-time bookkeeping.
    void AddControl(Control* c) { controls_.push_back(c); }
    void RemoveControl(Control* c);
    void AddMenu(Menu* m) { menus_.push_back(m); }
    void AddTimer(Timer* t) { timers_.push_back(t); }
    void RemoveTimer(Timer* t);
    const std::vector<Menu*>& Menus() const { return menus_; }
    bool IsUnloaded() const { return unloaded_; }
    // The default instance's slot, emptied when the form unloads.
    void SetDetach(std::function<void()> detach) { detach_ = std::move(detach); }
    void RunLoad();
    // Unload: the unload event (which may cancel), then the window goes and the object is
    // released; the next touch of the default instance makes a new form.
    void Unload();

    // Events of the window.
    void WindowActivated();
    void WindowResized();
    void WindowCloseRequested();
    void WindowMouse(QEvent* event);

private:
    std::string name_, caption_;
    QPointer<FormWindow> window_;
    std::vector<Control*> controls_;
    std::vector<Menu*> menus_;
    std::vector<Timer*> timers_;
    int borderStyle_ = 2;
    int pointer_ = vbDefault;
    vb::Picture picture_, icon_;
    COLORREF backColor_ = 0xF0F0F0;
    bool unloaded_ = false;
    bool afterDblClick_ = false;
    std::function<void()> detach_;
    QEventLoop* modal_ = nullptr;
    // The form that was activated last: Activate fires when the active window moves from one
    // form to another, not when the program comes back from another program.
    static inline Form* activeForm_ = nullptr;
    friend class FormWindow;
};

// The default instance of form class T: made and loaded on the first touch, and again after an
// unload.
template <class T>
class DefaultForm {
public:
    T* operator->() { return &Get(); }
    T& operator*() { return Get(); }
    T& Get() {
        if (!instance_) {
            instance_ = new T();
            instance_->SetDetach([this] { instance_ = nullptr; });
            instance_->RunLoad();
            // A form that unloads itself in its load event is gone before its first use.
            if (!instance_) Raise(vbErrObjectUnloaded);
        }
        return *instance_;
    }
    // True while the form is loaded (does not load it).
    bool IsLoaded() const { return instance_ != nullptr; }
    T* Peek() const { return instance_; }

private:
    T* instance_ = nullptr;
};

// The run-time's Unload statement.
inline void Unload(Form& form) {
    form.Unload();
}

// Every loaded form, in the order they were loaded.
const std::vector<Form*>& Forms();

// The window of the form run-time: paints the form's colour and picture and reports its events.
class FormWindow : public QWidget {
public:
    explicit FormWindow(Form* form);
    Form* form() const { return form_; }

protected:
    void paintEvent(QPaintEvent*) override;
    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent*) override;

private:
    Form* form_;
};

}  // namespace vb
