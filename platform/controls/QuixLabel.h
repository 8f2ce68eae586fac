// QuixLabel, the label control of the player's skins: a caption with a colour and a font on a
// transparent or coloured ground, a tooltip, a mouse pointer, and the click and mouse events.
#pragma once

#include <string>

#include "platform/vb/Control.h"
#include "platform/vb/Intrinsics.h"

class QLabel;

namespace controls {

// The colour a colour text names, as the label control reads its ForeColor:
//   "&H00BBGGRR&", "&HBBGGRR" (the run-time's hexadecimal colour literal, blue in the high byte),
//   a decimal number 0..16777215 ("255" is red), or "#RRGGBB" (the web form),
// each with optional spaces around it. Anything else raises run-time error 380.
COLORREF ColorFromText(const std::string& text);

class QuixLabel : public vb::Control {
public:
    QuixLabel(vb::Form* form, const char* name, const std::string& caption = {},
              vb::Control* container = nullptr);
    const char* TypeName() const override { return "QuixLabel"; }

    std::string Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    COLORREF ForeColor() const { return fore_; }
    void SetForeColor(COLORREF color);
    // ForeColor set by name with a colour text (see ColorFromText).
    void SetForeColor(const std::string& colorText);
    COLORREF BackColor() const { return back_; }
    void SetBackColor(COLORREF color);
    // 0 transparent (the default: the skin shows through), 1 opaque.
    void SetBackStyle(int style);
    // 0 left, 1 right, 2 centre.
    void SetAlignment(int alignment);
    // A font by name; a symbol font shows its caption's symbols (see vb::SymbolFontText).
    void SetFont(const vb::Font& font);
    const vb::Font& Font() const { return font_; }

private:
    void Restyle();
    void ShowCaption();
    QLabel* label_;
    std::string caption_;
    vb::Font font_;
    COLORREF fore_ = 0x000000, back_ = 0xFFFFFF;
    int backStyle_ = 0;
};

}  // namespace controls
