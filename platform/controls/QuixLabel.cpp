#include "platform/controls/QuixLabel.h"

#include <QLabel>
#include <cctype>
#include <cstdlib>
#include <map>

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

// Glyphs of the symbol fonts, by character code, as Unicode symbols.
const std::map<unsigned char, const char*>& Glyphs(const std::string& font) {
    static const std::map<unsigned char, const char*> webdings = {
        {0x33, "\u25C0"},  // rewind
        {0x34, "\u25B6"},  // forward
        {0x35, "\u23CF"},  // eject: browse
        {0x37, "\u23EE"},  // to the start
        {0x38, "\u23E9"},  // fast forward
        {0x39, "\u23EA"},  // fast rewind / previous
        {0x3A, "\u23ED"},  // next
        {0x3B, "\u23F8"},  // pause
        {0x3C, "\u23F9"},  // stop
        {0x3D, "\u25A0"},  // stop square: close
        {0x30, "\u2013"},  // minimise
        {0x31, "\u25A1"},  // restore
        {0x72, "\u2715"},  // close
        {0x9D, "\u2630"},  // list
        {0x4C, "\u266B"},  // music
    };
    static const std::map<unsigned char, const char*> wingdings = {
        {0x5D, "\u25BA"},      // play
        {0x31, "\U0001F4C2"},  // open folder
        {0x30, "\U0001F4C1"},  // folder
        {0xE9, "\u2191"},     {0xEA, "\u2193"},
    };
    static const std::map<unsigned char, const char*> symbol = {
        {0xAD, "\u2191"},  // arrow up
        {0xAF, "\u2193"},  // arrow down
        {0xAC, "\u2190"},
        {0xAE, "\u2192"},
    };
    static const std::map<unsigned char, const char*> none;
    if (vb::LCase(font) == "webdings") return webdings;
    if (vb::LCase(font) == "wingdings") return wingdings;
    if (vb::LCase(font) == "symbol") return symbol;
    return none;
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

std::string SymbolFontText(const std::string& fontName, const std::string& caption) {
    const auto& glyphs = Glyphs(fontName);
    if (glyphs.empty()) return caption;
    std::string out;
    for (unsigned char c : caption) {
        auto it = glyphs.find(c);
        out += it != glyphs.end() ? std::string(it->second) : std::string(1, static_cast<char>(c));
    }
    return out;
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
    std::string shown = SymbolFontText(font_.name, caption_);
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
    vb::Font shown = font;
    // Symbol fonts show Unicode symbols, which any text font with symbols can draw.
    if (!Glyphs(font.name).empty()) shown.name = "DejaVu Sans";
    vb::ApplyFont(label_, shown);
    ShowCaption();
}

void QuixLabel::Restyle() {
    label_->setStyleSheet("QLabel { color: " + Css(fore_) + "; background: " +
                          (backStyle_ ? Css(back_) : QString("transparent")) + "; }");
    // A transparent label shows what lies beneath it in its window. It paints no background of its
    // own; it needs no alpha channel (a window with one shows nothing without a compositor).
    label_->setAttribute(Qt::WA_NoSystemBackground, backStyle_ == 0);
    label_->setAutoFillBackground(backStyle_ != 0);
}

}  // namespace controls
