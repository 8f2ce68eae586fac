#include "platform/vb/Intrinsics.h"

#include <QCheckBox>
#include <QFont>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>

#include "platform/vb/Error.h"
#include "platform/vb/Form.h"

namespace vb {

namespace {
QString Q(const std::string& s) {
    return QString::fromUtf8(s.c_str());
}
std::string S(const QString& s) {
    return s.toUtf8().toStdString();
}
QString Css(COLORREF c) {
    return QString("rgb(%1,%2,%3)").arg(GetRValue(c)).arg(GetGValue(c)).arg(GetBValue(c));
}
}  // namespace

void ApplyFont(QWidget* widget, const Font& font) {
    QFont f(Q(IsSymbolFont(font.name) ? std::string(kSymbolStandInFont) : font.name));
    f.setPointSizeF(font.size);
    f.setBold(font.bold);
    f.setItalic(font.italic);
    f.setUnderline(font.underline);
    widget->setFont(f);
}

// ---- Label ----

Label::Label(Form* form, const char* name, const std::string& caption, Control* container)
    : Control(form, name, container), caption_(caption) {
    label_ = new QLabel(ContainerWidget());
    label_->setTextFormat(Qt::PlainText);
    label_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Attach(label_);
    ShowCaption();
    Restyle();
}

void Label::SetCaption(const std::string& caption) {
    caption_ = caption;
    ShowCaption();
}
void Label::ShowCaption() {
    label_->setText(Q(SymbolFontText(font_.name, caption_)));
    if (autoSize_) SetAutoSize(true);
}
void Label::SetForeColor(COLORREF c) {
    fore_ = c;
    Restyle();
}
void Label::SetBackColor(COLORREF c) {
    back_ = c;
    Restyle();
}
void Label::SetBackStyle(int style) {
    backStyle_ = style;
    Restyle();
}
void Label::SetAlignment(int a) {
    Qt::Alignment h = a == 1 ? Qt::AlignRight : a == 2 ? Qt::AlignHCenter : Qt::AlignLeft;
    label_->setAlignment(h | Qt::AlignTop);
}
void Label::SetFont(const vb::Font& font) {
    font_ = font;
    ApplyFont(label_, font);
    ShowCaption();
}
void Label::SetAutoSize(bool a) {
    autoSize_ = a;
    if (a) {
        QSize s = label_->sizeHint();
        Control::SetWidth(PixelsToTwips(s.width()));
        Control::SetHeight(PixelsToTwips(s.height()));
    }
}
void Label::Restyle() {
    QString css = "QLabel { color: " + Css(fore_) +
                  "; background: " + (backStyle_ ? Css(back_) : QString("transparent")) + "; }";
    label_->setStyleSheet(css);
    label_->setAutoFillBackground(backStyle_ != 0);
}

// ---- TextBox ----

TextBox::TextBox(Form* form, const char* name, const std::string& text, Control* container)
    : Control(form, name, container) {
    edit_ = new QLineEdit(Q(text), ContainerWidget());
    QObject::connect(edit_, &QLineEdit::textChanged, [this] {
        if (Change) Dispatch((Name() + "_Change").c_str(), Change);
    });
    Attach(edit_);
}

std::string TextBox::Text() const {
    return S(edit_->text());
}
void TextBox::SetText(const std::string& text) {
    if (S(edit_->text()) != text) edit_->setText(Q(text));
}
void TextBox::SetPasswordChar(const std::string& c) {
    edit_->setEchoMode(c.empty() ? QLineEdit::Normal : QLineEdit::Password);
    if (!c.empty()) {
        // The mask character the run-time shows ("#", "*"); Qt draws it through the style.
        edit_->setStyleSheet(
            QString("lineedit-password-character: %1;").arg(static_cast<int>(c[0])));
    }
}
long TextBox::SelStart() const {
    return edit_->hasSelectedText() ? edit_->selectionStart() : edit_->cursorPosition();
}
void TextBox::SetSelStart(long start) {
    if (start < 0) Raise(vbErrInvalidPropertyValue);
    edit_->setCursorPosition(static_cast<int>(std::min<long>(start, edit_->text().size())));
}
long TextBox::SelLength() const {
    return edit_->selectedText().size();
}
void TextBox::SetSelLength(long length) {
    if (length < 0) Raise(vbErrInvalidPropertyValue);
    int start = edit_->hasSelectedText() ? edit_->selectionStart() : edit_->cursorPosition();
    edit_->setSelection(start,
                        static_cast<int>(std::min<long>(length, edit_->text().size() - start)));
}
void TextBox::SetLocked(bool locked) {
    edit_->setReadOnly(locked);
}

// ---- CheckBox ----

CheckBox::CheckBox(Form* form, const char* name, const std::string& caption, Control* container)
    : Control(form, name, container) {
    mouseClick_ = false;
    box_ = new QCheckBox(Q(caption), ContainerWidget());
    QObject::connect(box_, &QCheckBox::toggled, [this](bool on) {
        if (syncing_) return;
        SetValue(on ? 1 : 0);
    });
    Attach(box_);
}

void CheckBox::SetValue(int value) {
    if (value < 0 || value > 2) Raise(vbErrInvalidPropertyValue);
    bool changed = value != value_;
    value_ = value;
    syncing_ = true;
    box_->setChecked(value == 1);
    syncing_ = false;
    if (changed && Click) Dispatch((Name() + "_Click").c_str(), Click);
}
void CheckBox::SetCaption(const std::string& caption) {
    box_->setText(Q(caption));
}
void CheckBox::SetForeColor(COLORREF c) {
    box_->setStyleSheet(box_->styleSheet() + "QCheckBox { color: " + Css(c) + "; }");
}
void CheckBox::SetBackColor(COLORREF c) {
    box_->setStyleSheet(box_->styleSheet() + "QCheckBox { background: " + Css(c) + "; }");
}

// ---- CommandButton ----

CommandButton::CommandButton(Form* form, const char* name, const std::string& caption,
                             Control* container)
    : Control(form, name, container), caption_(caption) {
    mouseClick_ = false;
    button_ = new QPushButton(Q(caption), ContainerWidget());
    QObject::connect(button_, &QPushButton::clicked, [this] {
        if (Click) Dispatch((Name() + "_Click").c_str(), Click);
    });
    Attach(button_);
}

void CommandButton::SetCaption(const std::string& caption) {
    caption_ = caption;
    button_->setText(Q(caption));
}

void CommandButton::SetDefault(bool isDefault) {
    delete defaultKey_;
    delete defaultKeypadKey_;
    defaultKey_ = defaultKeypadKey_ = nullptr;
    button_->setDefault(isDefault);
    if (!isDefault) return;
    // Both shortcuts belong to the window: a shortcut works only in the window it belongs to.
    auto* enter = new QShortcut(QKeySequence(Qt::Key_Return), Parent().window());
    auto* keypad = new QShortcut(QKeySequence(Qt::Key_Enter), Parent().window());
    auto press = [this] {
        if (Enabled() && Visible()) button_->click();
    };
    QObject::connect(enter, &QShortcut::activated, press);
    QObject::connect(keypad, &QShortcut::activated, press);
    defaultKey_ = enter;
    defaultKeypadKey_ = keypad;
}

void CommandButton::SetCancel(bool isCancel) {
    delete cancelKey_;
    cancelKey_ = nullptr;
    if (!isCancel) return;
    auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), Parent().window());
    QObject::connect(esc, &QShortcut::activated, [this] {
        if (Enabled() && Visible()) button_->click();
    });
    cancelKey_ = esc;
}

void CommandButton::SetValue(bool pressed) {
    if (pressed) button_->click();
}

void CommandButton::SetEnabled(bool enabled) {
    Control::SetEnabled(enabled);
}

}  // namespace vb
