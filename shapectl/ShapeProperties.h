// The property set of the shape control: one member per property, of the property's type
// (16-bit signed for short and enumerated properties, 32-bit for long and colour properties, BOOL
// for Boolean ones), named as the property.
#pragma once

#include "platform/com/types.h"

struct ShapeProperties {
    // colours (0x00BBGGRR, or 0x80000000 + a system colour index)
    OLE_COLOR SurroundColor, BackColor, FillColor, BOuterColor1, BOuterColor2, ShadowColor,
        BorderColor, BInnerColor1, BInnerColor2, WandColor, GColor1, GColor2, TransparentColor,
        TForeColor, TBackColor, FontOutlineColor, FontShadowColor, ForeColor, DrawFillColor,
        FGColor1, FGColor2, Font3DColor1, Font3DColor2;
    // 16-bit values
    SHORT BackStyle, ShadowStyle, BOuterWidth, BOuterStyle, MEffect, MDelay, MGrain, DMode,
        DEffect1, DEffect2, DEffect3, ShadowDropX, ShadowDropY, BorderWidth, BInnerStyle,
        BInnerWidth, FillStyle, Shape, BorderStyle, WandWidth, CancelMode, GStyle, GSteps, Capture,
        PictureAlign, TEffect, TDelay, TGrain, TStyle, Alignment, Font3D, FontBlockSize, FontDropX,
        FontDropY, TextX, TextY, BackFill, ForeStyle, PictureX, PictureY, HShape, FontHeight,
        FontWidth, EffectPriority, Frame, MaxFrames, UpdateArea, UpdateX, UpdateY, UpdateW, UpdateH,
        EffectX, EffectY, DrawStyle, DrawWidth, DrawFillStyle, DrawMode, FGStyle, FGSteps,
        MousePointer, DesignStyle;
    // 32-bit values
    LONG NotifyDelay, ZLevel;
    // flags
    BOOL Multitask, Notify, Wand, QuixEnabled, Overlay, Transparent, TEnabled, TOnly, WordWrap,
        PictureVisible, FontScale, OLEDropAllowed, EffectIncrement, EffectCue, EffectMask,
        MultiEffect, AutoRedraw, PaintNotify, ManagePalette, Update, Preview, PrinterBanding,
        Persistence;
};
