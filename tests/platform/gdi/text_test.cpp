// Fonts and text (on Qt's offscreen platform, with the installed DejaVu fonts).
#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/gdi_canvas.h"

namespace {

HFONT Font(const char* face, LONG height, LONG width = 0, LONG weight = 400) {
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfWeight = weight;
    std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return CreateFontIndirect(&lf);
}

struct Selected {
    Selected(HDC dc, HFONT font) : dc(dc), font(font), old(SelectObject(dc, font)) {}
    ~Selected() {
        SelectObject(dc, old);
        DeleteObject(font);
    }
    HDC dc;
    HFONT font;
    HGDIOBJ old;
};

}  // namespace

TEST(Text, HeightsAreCharacterOrCellHeightsWithRealMetrics) {
    MemCanvas canvas(10, 10);
    {
        Selected f(canvas.dc(), Font("DejaVu Sans", -20));
        TEXTMETRICA tm{};
        ASSERT_TRUE(GetTextMetrics(canvas.dc(), &tm));
        EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
        EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 20) << "the character height";
        EXPECT_TRUE(tm.tmPitchAndFamily & TMPF_TRUETYPE);
        EXPECT_GT(tm.tmAveCharWidth, 5);
    }
    {
        Selected f(canvas.dc(), Font("DejaVu Sans", 20));
        TEXTMETRICA tm{};
        ASSERT_TRUE(GetTextMetrics(canvas.dc(), &tm));
        EXPECT_LE(tm.tmHeight, 20) << "the cell height";
        EXPECT_GE(tm.tmHeight, 18);
    }
    // A width stretches the glyphs to that average width.
    SIZE narrow, wide;
    {
        Selected f(canvas.dc(), Font("DejaVu Sans", -20, 5));
        GetTextExtentPoint32(canvas.dc(), "mmmm", 4, &narrow);
    }
    {
        Selected f(canvas.dc(), Font("DejaVu Sans", -20, 20));
        GetTextExtentPoint32(canvas.dc(), "mmmm", 4, &wide);
    }
    EXPECT_GT(wide.cx, 2 * narrow.cx);
    EXPECT_EQ(wide.cy, narrow.cy);
}

TEST(Text, RasterFacesOfTheOriginalFailTheTrueTypeTest) {
    MemCanvas canvas(4, 4);
    struct Case {
        const char* face;
        bool trueType;
    } cases[] = {{"DejaVu Sans", true},
                 {"Arial", true},
                 {"MS Sans Serif", false},
                 {"System", false},
                 {"Courier", false}};
    for (const Case& c : cases) {
        Selected f(canvas.dc(), Font(c.face, -12));
        DWORD size = GetFontData(canvas.dc(), 0, 0, nullptr, 0);
        EXPECT_EQ(size != GDI_ERROR, c.trueType) << c.face;
        SIZE extent;
        EXPECT_TRUE(GetTextExtentPoint32(canvas.dc(), "Abc", 3, &extent)) << "drawn all the same";
        EXPECT_GT(extent.cx, 0);
    }
    Selected f(canvas.dc(), Font("DejaVu Sans", -12));
    const DWORD head = 'h' | ('e' << 8) | ('a' << 16) | ('d' << 24);
    BYTE table[54];
    EXPECT_EQ(GetFontData(canvas.dc(), head, 0, table, sizeof table), sizeof table);
    EXPECT_EQ(table[12], 0x5F) << "the head table's magic number";
    EXPECT_EQ(table[15], 0xF5);
    EXPECT_EQ(SetMapperFlags(canvas.dc(), 1), 0u);
    EXPECT_EQ(SetMapperFlags(canvas.dc(), 0), 1u);
}

TEST(Text, TextOutPlacesTheCellByTheAlignmentAndFillsItWhenOpaque) {
    MemCanvas canvas(120, 40);
    Selected f(canvas.dc(), Font("DejaVu Sans", -16));
    SIZE size;
    GetTextExtentPoint32(canvas.dc(), "Hello", 5, &size);
    SetBkColor(canvas.dc(), RGB(200, 200, 200));
    ASSERT_TRUE(TextOut(canvas.dc(), 10, 5, "Hello", 5));
    // The cell is filled with the background colour; the glyphs are in the text colour.
    EXPECT_EQ(canvas.At(10, 5), RGB(200, 200, 200));
    EXPECT_EQ(canvas.At(10 + size.cx - 1, 5 + size.cy - 1), RGB(200, 200, 200));
    EXPECT_EQ(canvas.At(10 + size.cx, 5), RGB(255, 255, 255));
    EXPECT_EQ(InkBox(canvas.Image()), QRect(10, 5, size.cx, size.cy));

    canvas.Fill(RGB(255, 255, 255));
    SetBkMode(canvas.dc(), TRANSPARENT);
    SetTextAlign(canvas.dc(), TA_RIGHT | TA_BOTTOM);
    TextOut(canvas.dc(), 110, 35, "Hello", 5);
    QRect ink = InkBox(canvas.Image());
    EXPECT_LE(ink.right(), 109);
    EXPECT_GT(ink.right(), 100);
    EXPECT_LE(ink.bottom(), 34);
    EXPECT_GT(ink.width(), 20);
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 120; ++x) {
            COLORREF c = canvas.At(x, y);
            EXPECT_TRUE(c == RGB(255, 255, 255) || c == RGB(0, 0, 0)) << "no antialiasing";
        }
    }
}

TEST(Text, DrawTextBreaksWordsToTheWidthAndAlignsEachLine) {
    MemCanvas canvas(100, 100);
    Selected f(canvas.dc(), Font("DejaVu Sans", -12));
    TEXTMETRICA tm;
    GetTextMetrics(canvas.dc(), &tm);
    SIZE word, two;
    GetTextExtentPoint32(canvas.dc(), "word", 4, &word);
    GetTextExtentPoint32(canvas.dc(), "word word", 9, &two);
    RECT box{0, 0, two.cx, 100};
    int height = DrawText(canvas.dc(), "word word word", -1, &box, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_EQ(height, 2 * tm.tmHeight) << "two words on the first line, one on the second";
    RECT tight{0, 0, word.cx, 100};
    EXPECT_EQ(DrawText(canvas.dc(), "wordword word", -1, &tight, DT_WORDBREAK | DT_CALCRECT),
              2 * tm.tmHeight)
        << "a word wider than the box stays whole";
    RECT lines{0, 0, 100, 100};
    EXPECT_EQ(DrawText(canvas.dc(), "a\r\nb\nc", -1, &lines, DT_CALCRECT), 3 * tm.tmHeight);
    EXPECT_EQ(DrawText(canvas.dc(), "a\r\nb\nc", -1, &lines, DT_SINGLELINE | DT_CALCRECT),
              tm.tmHeight);

    SetBkMode(canvas.dc(), TRANSPARENT);
    RECT right{0, 0, 90, 100};
    DrawText(canvas.dc(), "word", -1, &right, DT_RIGHT | DT_SINGLELINE | DT_BOTTOM);
    QRect ink = InkBox(canvas.Image());
    EXPECT_LE(ink.right(), 89);
    EXPECT_GT(ink.right(), 85);
    EXPECT_GT(ink.top(), 100 - tm.tmHeight - 1);
    // "&" underlines the next character unless DT_NOPREFIX; clipping keeps to the rectangle.
    SIZE amp, plain;
    RECT r1{0, 0, 100, 20}, r2{0, 0, 100, 20};
    DrawText(canvas.dc(), "&Save", -1, &r1, DT_CALCRECT);
    DrawText(canvas.dc(), "Save", -1, &r2, DT_CALCRECT);
    EXPECT_EQ(r1.right, r2.right);
    GetTextExtentPoint32(canvas.dc(), "&Save", 5, &amp);
    GetTextExtentPoint32(canvas.dc(), "Save", 4, &plain);
    EXPECT_GT(amp.cx, plain.cx);
    canvas.Fill(RGB(255, 255, 255));
    RECT clip{10, 10, 20, 30};
    DrawText(canvas.dc(), "WWWWWWWW", -1, &clip, 0);
    EXPECT_EQ(InkBox(canvas.Image()) & QRect(20, 0, 80, 100), QRect());
}
