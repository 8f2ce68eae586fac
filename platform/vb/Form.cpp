#include "platform/vb/Form.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <algorithm>

#include "platform/vb/Error.h"
#include "platform/vb/Menu.h"
#include "platform/vb/Timer.h"
#include "platform/win/messages.h"
#include "platform/win/window.h"

namespace vb {

namespace {

std::vector<Form*>& loadedForms() {
    static std::vector<Form*> forms;
    return forms;
}

QColor ToQColor(COLORREF c) {
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

}  // namespace

const std::vector<Form*>& Forms() {
    return loadedForms();
}

// ---- the window ----

FormWindow::FormWindow(Form* form) : QWidget(nullptr), form_(form) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    setMouseTracking(true);
}

void FormWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), ToQColor(form_->backColor_));
    if (!form_->picture_.IsNone()) p.drawImage(0, 0, form_->picture_.Image());
}

bool FormWindow::event(QEvent* e) {
    switch (e->type()) {
        case QEvent::WindowActivate:
            form_->WindowActivated();
            break;
        case QEvent::WindowStateChange:
            form_->WindowResized();
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
            form_->WindowMouse(e);
            return true;
        default:
            break;
    }
    return QWidget::event(e);
}

void FormWindow::closeEvent(QCloseEvent* e) {
    // The form decides: its unload runs, and the window goes with the form.
    e->ignore();
    form_->WindowCloseRequested();
}

void FormWindow::resizeEvent(QResizeEvent*) {
    form_->WindowResized();
}

// ---- the form ----

Form::Form(const char* name, const std::string& caption)
    : name_(name), caption_(caption), window_(new FormWindow(this)) {
    window_->setWindowTitle(QString::fromStdString(caption));
    window_->setObjectName(QString::fromStdString(name_));
    platform::win::SetWindowClass(window_, "ThunderRT6FormDC");
    loadedForms().push_back(this);
}

Form::~Form() {
    if (activeForm_ == this) activeForm_ = nullptr;
    auto& forms = loadedForms();
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
    if (modal_) modal_->quit();
    delete window_.data();
}

void Form::RunLoad() {
    Dispatch((name_ + "_Load").c_str(), [this] { Form_Load(); });
}

void Form::Unload() {
    if (unloaded_) return;
    int cancel = 0;
    Dispatch((name_ + "_Unload").c_str(), [&] { Form_Unload(cancel); });
    if (cancel) return;
    unloaded_ = true;
    if (activeForm_ == this) activeForm_ = nullptr;
    for (Timer* t : timers_) t->Halt();
    if (window_) window_->hide();
    if (modal_) modal_->quit();
    if (detach_) detach_();
    Dispatch((name_ + "_Terminate").c_str(), [this] { Form_Terminate(); });
    // The object may be in use further up the stack (a handler that unloads its own form).
    deleteLater();
}

void Form::Show(int modal) {
    if (unloaded_ || !window_) return;
    if (modal == vbModal) {
        window_->setWindowModality(Qt::ApplicationModal);
    }
    window_->show();
    window_->raise();
    window_->activateWindow();
    if (modal == vbModal) {
        QEventLoop loop;
        modal_ = &loop;
        QPointer<Form> self(this);
        loop.exec();
        if (self) {
            modal_ = nullptr;
            if (window_) window_->setWindowModality(Qt::NonModal);
        }
    }
}

void Form::Hide() {
    if (activeForm_ == this) activeForm_ = nullptr;
    if (!window_) return;
    window_->hide();
    if (modal_) modal_->quit();
}

bool Form::Visible() const {
    return window_ && window_->isVisible();
}

void Form::SetVisible(bool visible) {
    if (visible) {
        Show();
    } else {
        Hide();
    }
}

int Form::WindowState() const {
    if (!window_) return vbNormal;
    Qt::WindowStates s = window_->windowState();
    if (s & Qt::WindowMinimized) return vbMinimized;
    if (s & Qt::WindowMaximized) return vbMaximized;
    return vbNormal;
}

void Form::SetWindowState(int state) {
    if (!window_) return;
    if (state < 0 || state > 2) Raise(vbErrInvalidPropertyValue);
    Qt::WindowStates s = window_->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    if (state == vbMinimized) s |= Qt::WindowMinimized;
    if (state == vbMaximized) s |= Qt::WindowMaximized;
    window_->setWindowState(s);
}

float Form::Left() const {
    return window_ ? PixelsToTwips(window_->x()) : 0;
}
float Form::Top() const {
    return window_ ? PixelsToTwips(window_->y()) : 0;
}
float Form::Width() const {
    return window_ ? PixelsToTwips(window_->width()) : 0;
}
float Form::Height() const {
    return window_ ? PixelsToTwips(window_->height()) : 0;
}
void Form::SetLeft(float t) {
    if (window_) window_->move(TwipsToPixels(t), window_->y());
}
void Form::SetTop(float t) {
    if (window_) window_->move(window_->x(), TwipsToPixels(t));
}
void Form::SetWidth(float t) {
    if (window_) window_->resize(std::max(0, TwipsToPixels(t)), window_->height());
}
void Form::SetHeight(float t) {
    if (window_) window_->resize(window_->width(), std::max(0, TwipsToPixels(t)));
}
void Form::Move(float left, float top) {
    if (window_) window_->move(TwipsToPixels(left), TwipsToPixels(top));
}
void Form::Move(float left, float top, float width, float height) {
    Move(left, top);
    if (window_)
        window_->resize(std::max(0, TwipsToPixels(width)), std::max(0, TwipsToPixels(height)));
}
float Form::ScaleWidth() const {
    return Width();
}
float Form::ScaleHeight() const {
    return Height();
}

void Form::SetCaption(const std::string& caption) {
    caption_ = caption;
    if (window_) window_->setWindowTitle(QString::fromStdString(caption));
}

void Form::SetBorderStyle(int style) {
    if (style < 0 || style > 5) Raise(vbErrInvalidPropertyValue);
    borderStyle_ = style;
    if (!window_) return;
    bool shown = window_->isVisible();
    Qt::WindowFlags f = window_->windowFlags();
    f.setFlag(Qt::FramelessWindowHint, style == 0);
    f.setFlag(Qt::Tool, style == 4 || style == 5);
    window_->setWindowFlags(f);
    if (shown) window_->show();
}

void Form::SetPicture(const vb::Picture& picture) {
    picture_ = picture;
    if (window_) window_->update();
}

void Form::SetBackColor(COLORREF color) {
    backColor_ = color;
    if (window_) window_->update();
}

void Form::SetMousePointer(int pointer) {
    pointer_ = pointer;
    if (!window_) return;
    if (pointer == vbCustom && !icon_.IsNone()) {
        window_->setCursor(icon_.AsCursor());
    } else {
        window_->unsetCursor();
    }
}

void Form::SetMouseIcon(const vb::Picture& icon) {
    icon_ = icon;
    SetMousePointer(pointer_);
}

HWND Form::hWnd() const {
    return platform::win::HandleOf(window_.data());
}
QWidget* Form::window() const {
    return window_.data();
}

Control* Form::ControlByName(const std::string& name) const {
    for (Control* c : controls_) {
        if (c->Name() == name) return c;
    }
    return nullptr;
}

void Form::RemoveControl(Control* c) {
    controls_.erase(std::remove(controls_.begin(), controls_.end(), c), controls_.end());
}

void Form::RemoveTimer(Timer* t) {
    timers_.erase(std::remove(timers_.begin(), timers_.end(), t), timers_.end());
}

void Form::PopupMenu(Menu& menu) {
    menu.Popup();
}

void Form::WindowActivated() {
    if (activeForm_ == this) return;
    activeForm_ = this;
    Dispatch((name_ + "_Activate").c_str(), [this] { Form_Activate(); });
}

void Form::WindowResized() {
    Dispatch((name_ + "_Resize").c_str(), [this] { Form_Resize(); });
}

void Form::WindowCloseRequested() {
    Unload();
}

void Form::WindowMouse(QEvent* event) {
    auto* e = static_cast<QMouseEvent*>(event);
    float x = PixelsToTwips(e->position().x());
    float y = PixelsToTwips(e->position().y());
    int shift = ShiftValueOf(e->modifiers());
    QPointer<Form> self(this);
    switch (e->type()) {
        case QEvent::MouseButtonPress:
            afterDblClick_ = false;
            Dispatch((name_ + "_MouseDown").c_str(),
                     [&] { Form_MouseDown(ButtonValue(e->button()), shift, x, y); });
            break;
        case QEvent::MouseButtonRelease:
            Dispatch((name_ + "_MouseUp").c_str(),
                     [&] { Form_MouseUp(ButtonValue(e->button()), shift, x, y); });
            if (self && !afterDblClick_ && e->button() == Qt::LeftButton) {
                Dispatch((name_ + "_Click").c_str(), [this] { Form_Click(); });
            }
            if (self) afterDblClick_ = false;
            break;
        case QEvent::MouseButtonDblClick:
            afterDblClick_ = true;
            if (e->button() == Qt::LeftButton) {
                Dispatch((name_ + "_DblClick").c_str(), [this] { Form_DblClick(); });
            }
            break;
        case QEvent::MouseMove:
            Dispatch((name_ + "_MouseMove").c_str(),
                     [&] { Form_MouseMove(ButtonsValue(e->buttons()), shift, x, y); });
            break;
        default:
            break;
    }
}

}  // namespace vb
