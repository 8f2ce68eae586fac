// Captions: the 3-D font styles against their references and their margins, the nine alignments,
// word wrap, offsets and the room the borders take.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "quixcore/quixcore.h"
#include "tests/support/gdi_canvas.h"
#include "tests/support/reference_image.h"

namespace {

const RECT kBox{0, 0, 120, 80};
const QRgb kBack = qRgb(192, 192, 192);

struct Caption {
    short font3D = QUIX_F3D_None;
    short dropX = 3, dropY = 2, block = 3;
    short outerStyle = 0, outerWidth = 0, innerStyle = 0, innerWidth = 0, border = 0;
    const char* text = "Quix";
    short textX = 0, textY = 0, alignment = 0;  // left, top
    BOOL wordWrap = FALSE;
};

// A 120 x 80 grey canvas with the caption in DejaVu Sans Bold 20.
struct CaptionCanvas : MemCanvas {
    CaptionCanvas() : MemCanvas(120, 80, RGB(192, 192, 192)) {
        LOGFONTA lf{};
        lf.lfHeight = -20;
        lf.lfWeight = 700;
        std::strcpy(lf.lfFaceName, "DejaVu Sans");
        font = CreateFontIndirect(&lf);
        old = SelectObject(dc(), font);
    }
    ~CaptionCanvas() {
        SelectObject(dc(), old);
        DeleteObject(font);
    }
    short Paint(const Caption& c) {
        return PaintTextInControl(dc(), &kBox, c.font3D, c.dropX, c.dropY, c.block, c.outerStyle,
                                  c.outerWidth, c.innerStyle, c.innerWidth, c.border, c.text,
                                  c.textX, c.textY, c.alignment, c.wordWrap, RGB(0, 0, 0),
                                  RGB(255, 255, 255), RGB(128, 128, 128), RGB(0, 0, 255),
                                  RGB(255, 0, 0), 0);
    }
    QSize Extent(const char* text) {
        SIZE s;
        GetTextExtentPoint32(dc(), text, static_cast<int>(std::strlen(text)), &s);
        return QSize(s.cx, s.cy);
    }
    QRect Ink() { return InkBox(Image(), kBack); }
    HFONT font;
    HGDIOBJ old;
};

const testing_support::Tolerance kFontTolerance{0, 0.03};

}  // namespace

TEST(Captions, EveryFontStyleMatchesItsReference) {
    for (short style = 0; style <= 8; ++style) {
        CaptionCanvas canvas;
        Caption c;
        c.font3D = style;
        c.alignment = 7;  // centre, middle
        ASSERT_EQ(canvas.Paint(c), QUIX_OK);
        EXPECT_TRUE(testing_support::MatchesReference(
            canvas.Image(), "quixcore/font3d-" + std::to_string(style), kFontTolerance))
            << style;
    }
}

TEST(Captions, EachFontStyleWidensTheCaptionByItsMargin) {
    // The margins the control adds to TextW and TextH, with drops (3, 2) and block size 3 (or -3).
    struct Case {
        short style, block, marginX, marginY;
    } cases[] = {{QUIX_F3D_None, 3, 0, 0},         {QUIX_F3D_RaisedLight, 3, 1, 1},
                 {QUIX_F3D_RaisedHeavy, 3, 2, 2},  {QUIX_F3D_InsetLight, 3, 1, 1},
                 {QUIX_F3D_InsetHeavy, 3, 2, 2},   {QUIX_F3D_DropShadow, 3, 3, 2},
                 {QUIX_F3D_BlockShadow, 3, 3, 3},  {QUIX_F3D_BlockShadow, -3, 3, 3},
                 {QUIX_F3D_OutlineBlock, 3, 5, 5}, {QUIX_F3D_OutlineDrop, 3, 4, 3}};
    CaptionCanvas plain;
    plain.Paint(Caption{});
    const QRect face = plain.Ink();
    for (const Case& k : cases) {
        CaptionCanvas canvas;
        Caption c;
        c.font3D = k.style;
        c.block = k.block;
        ASSERT_EQ(canvas.Paint(c), QUIX_OK);
        QRect ink = canvas.Ink();
        EXPECT_EQ(ink.width(), face.width() + k.marginX) << "style " << k.style;
        EXPECT_EQ(ink.height(), face.height() + k.marginY) << "style " << k.style;
        EXPECT_EQ(ink.topLeft(), face.topLeft()) << "the style's box starts at the corner";
    }
}

TEST(Captions, TheNineAlignmentsPlaceTheCaptionInTheBox) {
    CaptionCanvas probe;
    const QSize text = probe.Extent("Quix");
    CaptionCanvas leftTop;
    leftTop.Paint(Caption{});
    const QRect base = leftTop.Ink();
    for (short alignment = 0; alignment <= 8; ++alignment) {
        CaptionCanvas canvas;
        Caption c;
        c.alignment = alignment;
        c.font3D = QUIX_F3D_DropShadow;  // the margin counts in the width and height
        ASSERT_EQ(canvas.Paint(c), QUIX_OK);
        const int w = text.width() + 3, h = text.height() + 2;
        const int dx[3] = {0, 120 - w, (120 - w) / 2}, dy[3] = {0, (80 - h) / 2, 80 - h};
        EXPECT_EQ(canvas.Ink().topLeft(),
                  base.topLeft() + QPoint(dx[alignment / 3], dy[alignment % 3]))
            << "alignment " << alignment;
    }
    CaptionCanvas refused;
    Caption bad;
    bad.alignment = 9;
    EXPECT_EQ(refused.Paint(bad), QUIX_E_ARGUMENT);
    bad.alignment = 0;
    bad.font3D = 9;
    EXPECT_EQ(refused.Paint(bad), QUIX_E_ARGUMENT);
}

TEST(Captions, OffsetsBordersAndWordWrapMoveAndBreakTheLines) {
    CaptionCanvas base;
    base.Paint(Caption{});
    const QRect at = base.Ink();

    CaptionCanvas moved;
    Caption c;
    c.textX = 7;
    c.textY = -3;
    moved.Paint(c);
    EXPECT_EQ(moved.Ink(), at.translated(7, -3));

    CaptionCanvas inset;
    Caption b;
    b.border = 2;
    b.outerStyle = 1;
    b.outerWidth = 3;
    b.innerStyle = 0;
    b.innerWidth = 10;  // no inner style: no room
    inset.Paint(b);
    EXPECT_EQ(inset.Ink(), at.translated(5, 5));

    CaptionCanvas one, two;
    Caption text;
    text.text = "Quix Quix Quix";
    one.Paint(text);
    text.wordWrap = TRUE;
    two.Paint(text);
    EXPECT_LT(one.Ink().height(), 30) << "one line without word wrap";
    EXPECT_GT(two.Ink().height(), 40) << "wrapped to the box";
    EXPECT_LE(two.Ink().right(), 119);

    CaptionCanvas lines;
    Caption breaks;
    breaks.text = "Q\r\nQ";
    lines.Paint(breaks);
    EXPECT_GT(lines.Ink().height(), 30) << "CR LF breaks the line";
}

TEST(Captions, TheContextKeepsItsColoursAndModes) {
    CaptionCanvas canvas;
    SetTextColor(canvas.dc(), RGB(1, 2, 3));
    SetBkMode(canvas.dc(), OPAQUE);
    Caption c;
    c.font3D = QUIX_F3D_OutlineDrop;
    canvas.Paint(c);
    EXPECT_EQ(GetTextColor(canvas.dc()), RGB(1, 2, 3));
    EXPECT_EQ(GetBkMode(canvas.dc()), OPAQUE);
    Caption empty;
    empty.text = "";
    MemCanvas blank(120, 80, RGB(192, 192, 192));
    EXPECT_EQ(PaintTextInControl(blank.dc(), &kBox, 0, 0, 0, 0, 0, 0, 0, 0, 0, "", 0, 0, 0, TRUE, 0,
                                 0, 0, 0, 0, 0),
              QUIX_OK);
    EXPECT_EQ(InkBox(blank.Image(), kBack), QRect());
}
