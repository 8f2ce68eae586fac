#include "platform/controls/QuixLabel.h"

#include <QLabel>
#include <cctype>
#include <cstdlib>

#include "platform/vb/Conversions.h"
#include "platform/vb/Error.h"
#include "platform/vb/Variant.h"

namespace controls {

namespace {

QString Css(COLORREF c) {
    return QString("rgb(%1,%2,%3)").arg(GetRValue(c)).arg(GetGValue(c)).arg(GetBValue(c));
}

bool AllOf(const std::string& s, int (*pred)(int)) {
    if (s.empty()) return false;
    for (unsigned char c : s) {
        if (!pred(c)) return false;
    }
    return true;
}

}  // namespace

COLORREF ColorFromText(const std::string& text) {
    std::string t = vb::Trim(text);
    if (t.size() > 2 && t[0] == '&' && (t[1] == 'H' || t[1] == 'h')) {
        std::string digits = t.substr(2);
        if (!digits.empty() && digits.back() == '&') digits.pop_back();
        if (AllOf(digits, isxdigit) && digits.size() <= 8) {
            unsigned long v = std::strtoul(digits.c_str(), nullptr, 16);
            if (v <= 0xFFFFFF) return static_cast<COLORREF>(v);
        }
    } else if (t.size() == 7 && t[0] == '#' && AllOf(t.substr(1), isxdigit)) {
        unsigned long v = std::strtoul(t.c_str() + 1, nullptr, 16);
        return RGB(static_cast<BYTE>(v >> 16), static_cast<BYTE>(v >> 8), static_cast<BYTE>(v));
    } else if (AllOf(t, isdigit) && t.size() <= 8) {
        unsigned long v = std::strtoul(t.c_str(), nullptr, 10);
        if (v <= 0xFFFFFF) return static_cast<COLORREF>(v);
    }
    vb::Raise(vb::vbErrInvalidPropertyValue);
}

QuixLabel::QuixLabel(vb::Form* form, const char* name, const std::string& caption,
                     vb::Control* container)
    : vb::Control(form, name, container), caption_(caption) {
    label_ = new QLabel(ContainerWidget());
    label_->setTextFormat(Qt::PlainText);
    label_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Attach(label_);
    ShowCaption();
    Restyle();
}

void QuixLabel::SetCaption(const std::string& caption) {
    caption_ = caption;
    ShowCaption();
}

void QuixLabel::ShowCaption() {
    std::string shown = vb::SymbolFontText(font_.name, caption_);
    // An ampersand marks an access key, as in the run-time's captions; "&&" shows one.
    QString text = QString::fromUtf8(shown.c_str());
    text.replace("&&", QChar(0xE000));
    text.remove('&');
    text.replace(QChar(0xE000), '&');
    label_->setText(text);
}

void QuixLabel::SetForeColor(COLORREF c) {
    fore_ = c;
    Restyle();
}

void QuixLabel::SetForeColor(const std::string& colorText) {
    SetForeColor(ColorFromText(colorText));
}

void QuixLabel::SetBackColor(COLORREF c) {
    back_ = c;
    Restyle();
}

void QuixLabel::SetBackStyle(int style) {
    if (style != 0 && style != 1) vb::Raise(vb::vbErrInvalidPropertyValue);
    backStyle_ = style;
    Restyle();
}

void QuixLabel::SetAlignment(int a) {
    Qt::Alignment h = a == 1 ? Qt::AlignRight : a == 2 ? Qt::AlignHCenter : Qt::AlignLeft;
    label_->setAlignment(h | Qt::AlignVCenter);
}

void QuixLabel::SetFont(const vb::Font& font) {
    font_ = font;
    vb::ApplyFont(label_, font);
    ShowCaption();
}

void QuixLabel::Restyle() {
    label_->setStyleSheet("QLabel { color: " + Css(fore_) + "; background: " +
                          (backStyle_ ? Css(back_) : QString("transparent")) + "; }");
    // A transparent label shows what lies beneath it in its window: it paints no background of
    // its own and needs no alpha channel (a window with one shows nothing without a compositor).
    // An opaque one fills itself with its colour.
    label_->setAttribute(Qt::WA_NoSystemBackground, backStyle_ == 0);
    label_->setAutoFillBackground(backStyle_ != 0);
}

}  // namespace controls
