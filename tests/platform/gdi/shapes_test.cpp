// The rasteriser's rules for lines and filled shapes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/gdi_canvas.h"

namespace {

using Grid = std::vector<std::string>;

const std::map<COLORREF, char> kShapeInk = {
    {RGB(255, 255, 255), '.'}, {RGB(0, 0, 0), '#'}, {RGB(255, 0, 0), 'o'}, {RGB(0, 0, 255), 'b'}};

// A context with a red brush and the given pen (null: the black stock pen).
struct ShapeCanvas : MemCanvas {
    ShapeCanvas(int w, int h, HPEN pen = nullptr) : MemCanvas(w, h), pen_(pen) {
        brush_ = CreateSolidBrush(RGB(255, 0, 0));
        oldBrush_ = SelectObject(dc(), brush_);
        oldPen_ = SelectObject(dc(), pen ? pen : reinterpret_cast<HPEN>(GetStockObject(BLACK_PEN)));
    }
    ~ShapeCanvas() {
        SelectObject(dc(), oldBrush_);
        SelectObject(dc(), oldPen_);
        DeleteObject(brush_);
        if (pen_) DeleteObject(pen_);
    }
    Grid Ink() const { return MemCanvas::Rows(kShapeInk); }

    HPEN pen_;
    HBRUSH brush_;
    HGDIOBJ oldBrush_, oldPen_;
};

}  // namespace

TEST(Shapes, BoxShapesLeaveOutTheirRightAndBottomEdges) {
    ShapeCanvas rect(10, 7);
    ASSERT_TRUE(Rectangle(rect.dc(), 1, 1, 8, 6));
    EXPECT_EQ(rect.Ink(), (Grid{"..........",  //
                                ".#######..",  //
                                ".#ooooo#..",  //
                                ".#ooooo#..",  //
                                ".#ooooo#..",  //
                                ".#######..",  //
                                ".........."}));
    ShapeCanvas ellipse(11, 8);
    ASSERT_TRUE(Ellipse(ellipse.dc(), 1, 1, 10, 7));
    EXPECT_EQ(ellipse.Ink(), (Grid{"...........",  //
                                   "...#####...",  //
                                   "..#ooooo#..",  //
                                   ".#ooooooo#.",  //
                                   ".#ooooooo#.",  //
                                   "..#ooooo#..",  //
                                   "...#####...",  //
                                   "..........."}));
    ShapeCanvas round(12, 9);
    ASSERT_TRUE(RoundRect(round.dc(), 1, 1, 11, 8, 6, 4));
    EXPECT_EQ(round.Ink(), (Grid{"............",  //
                                 "..########..",  //
                                 ".#oooooooo#.",  //
                                 ".#oooooooo#.",  //
                                 ".#oooooooo#.",  //
                                 ".#oooooooo#.",  //
                                 ".#oooooooo#.",  //
                                 "..########..",  //
                                 "............"}));
}

TEST(Shapes, TheNullPenFillsOnePixelNarrowerAndLower) {
    ShapeCanvas rect(10, 7, CreatePen(PS_NULL, 1, 0));
    ASSERT_TRUE(Rectangle(rect.dc(), 1, 1, 8, 6));
    EXPECT_EQ(rect.Ink(), (Grid{"..........",  //
                                ".oooooo...",  //
                                ".oooooo...",  //
                                ".oooooo...",  //
                                ".oooooo...",  //
                                "..........",  //
                                ".........."}));
    // FillRect has no pen and fills the whole rectangle.
    MemCanvas fill(10, 7);
    RECT r{1, 1, 8, 6};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(fill.dc(), &r, red);
    DeleteObject(red);
    EXPECT_EQ(fill.Rows(kShapeInk)[5], ".ooooooo..");
}

TEST(Shapes, WidePensCentreOnTheOutlineAndInsideFramePensStayInTheBox) {
    // Rectangle (2, 2, 10, 10): a one-pixel outline on columns 2 and 9.
    struct Case {
        int style, width;
        std::string middleRow;  // row 5
    } cases[] = {
        {PS_SOLID, 1, "..#oooooo#.."},       {PS_SOLID, 2, ".bbooooobb.."},
        {PS_SOLID, 3, ".bbboooobbb."},       {PS_INSIDEFRAME, 1, "..#oooooo#.."},
        {PS_INSIDEFRAME, 2, "..bboooobb.."}, {PS_INSIDEFRAME, 3, "..bbboobbb.."},
    };
    for (const Case& c : cases) {
        COLORREF colour = c.width == 1 ? RGB(0, 0, 0) : RGB(0, 0, 255);
        ShapeCanvas canvas(12, 12, CreatePen(c.style, c.width, colour));
        ASSERT_TRUE(Rectangle(canvas.dc(), 2, 2, 10, 10));
        EXPECT_EQ(canvas.Ink()[5].substr(0, 12), c.middleRow)
            << "style " << c.style << " width " << c.width;
    }
}

TEST(Shapes, EveryPenStyleDrawsItsDashesAndFillsTheGapsOnlyWhenOpaque) {
    struct Case {
        int style;
        std::string opaque;  // 40 pixels of a line: # pen, o gap in the background colour
    } cases[] = {
        {PS_SOLID, "########################################"},
        {PS_DASH, "##################oooooo################"},
        {PS_DOT, "###ooo###ooo###ooo###ooo###ooo###ooo###o"},
        {PS_DASHDOT, "#########oooooo###oooooo#########oooooo#"},
        {PS_DASHDOTDOT, "#########ooo###ooo###ooo#########ooo###o"},
        {PS_NULL, "........................................"},
    };
    for (const Case& c : cases) {
        for (int mode : {OPAQUE, TRANSPARENT}) {
            ShapeCanvas canvas(41, 1, CreatePen(c.style, 1, 0));
            SetBkColor(canvas.dc(), RGB(255, 0, 0));
            SetBkMode(canvas.dc(), mode);
            MoveToEx(canvas.dc(), 0, 0, nullptr);
            ASSERT_TRUE(LineTo(canvas.dc(), 41, 0));
            std::string expect = c.opaque;
            if (mode == TRANSPARENT) {
                for (char& ch : expect) ch = ch == 'o' ? '.' : ch;
            }
            EXPECT_EQ(canvas.Ink()[0].substr(0, 40), expect)
                << "style " << c.style << " mode " << mode;
        }
    }
    // A dash style wider than one pixel draws solid.
    ShapeCanvas wide(30, 5, CreatePen(PS_DASH, 3, 0));
    MoveToEx(wide.dc(), 0, 2, nullptr);
    LineTo(wide.dc(), 29, 2);
    EXPECT_EQ(wide.Ink()[2].substr(0, 28), std::string(28, '#'));
}

TEST(Shapes, LinesLeaveOutTheirLastPointAndMoveTheCurrentPosition) {
    ShapeCanvas canvas(12, 6);
    MoveToEx(canvas.dc(), 1, 1, nullptr);
    ASSERT_TRUE(LineTo(canvas.dc(), 10, 4));
    EXPECT_EQ(canvas.Ink(), (Grid{"............",  //
                                  ".##.........",  //
                                  "...###......",  //
                                  "......###...",  //
                                  ".........#..",  //
                                  "............"}));
    POINT at;
    GetCurrentPositionEx(canvas.dc(), &at);
    EXPECT_EQ(at.x, 10);
    EXPECT_EQ(at.y, 4);
}

TEST(Shapes, PolygonsFillByTheirFillMode) {
    // A five-pointed star: its centre is inside with WINDING and outside with ALTERNATE.
    const POINT star[5] = {{7, 0}, {3, 10}, {12, 4}, {1, 4}, {10, 10}};
    for (int mode : {WINDING, ALTERNATE}) {
        ShapeCanvas canvas(14, 11, CreatePen(PS_NULL, 1, 0));
        SetPolyFillMode(canvas.dc(), mode);
        ASSERT_TRUE(Polygon(canvas.dc(), star, 5));
        EXPECT_EQ(canvas.At(6, 5) == RGB(255, 0, 0), mode == WINDING) << mode;
        EXPECT_EQ(canvas.At(2, 4), RGB(255, 0, 0)) << "a point of the star";
        HRGN region = CreatePolygonRgn(star, 5, mode);
        EXPECT_EQ(PtInRegion(region, 6, 5) != FALSE, mode == WINDING);
        // The region covers what the polygon fills without a pen.
        for (int y = 0; y < 11; ++y) {
            for (int x = 0; x < 14; ++x) {
                EXPECT_EQ(PtInRegion(region, x, y) != FALSE, canvas.At(x, y) == RGB(255, 0, 0))
                    << x << "," << y << " mode " << mode;
            }
        }
        DeleteObject(region);
    }
}

TEST(Shapes, ArcsPiesAndChordsKeepTheSweepFromStartToEndCounterclockwise) {
    // The quarter from the right (angle 0) to the top of the box (1, 1, 11, 11).
    ShapeCanvas pie(12, 12);
    ASSERT_TRUE(Pie(pie.dc(), 1, 1, 11, 11, 11, 6, 6, 1));
    EXPECT_EQ(pie.Ink(), (Grid{"............",  //
                               "......##....",  //
                               "......#o##..",  //
                               "......#oo#..",  //
                               "......#ooo#.",  //
                               "......#ooo#.",  //
                               "......#####.",  //
                               "............",  //
                               "............",  //
                               "............",  //
                               "............",  //
                               "............"}));
    ShapeCanvas arc(12, 12);
    ASSERT_TRUE(Arc(arc.dc(), 1, 1, 11, 11, 6, 1, 11, 6));  // the other three quarters
    ShapeCanvas ellipse(12, 12);
    ASSERT_TRUE(Ellipse(ellipse.dc(), 1, 1, 11, 11));
    int arcPixels = 0, outline = 0;
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 12; ++x) {
            bool onArc = arc.At(x, y) == 0, onOutline = ellipse.At(x, y) == 0;
            arcPixels += onArc;
            outline += onOutline;
            if (onArc) {
                EXPECT_TRUE(onOutline) << x << "," << y;
            }
            if (y > 6 || x < 5) {
                EXPECT_EQ(onArc, onOutline) << x << "," << y;
            }
        }
    }
    EXPECT_LT(arcPixels, outline);
    ShapeCanvas chord(24, 24);
    ASSERT_TRUE(Chord(chord.dc(), 0, 0, 24, 24, 24, 12, 12, 0));
    EXPECT_EQ(chord.At(19, 4), RGB(255, 0, 0)) << "between the chord and the arc";
    EXPECT_EQ(chord.At(10, 10), RGB(255, 255, 255)) << "the other side of the chord";
}

TEST(Shapes, TheBinaryRasterOperationFollowsItsCode) {
    // Pen 0xCC and destination 0xAA in every channel give (code - 1) in both halves of each byte.
    for (int code = R2_BLACK; code <= R2_WHITE; ++code) {
        ShapeCanvas canvas(3, 1, CreatePen(PS_SOLID, 1, RGB(0xCC, 0xCC, 0xCC)));
        canvas.Fill(RGB(0xAA, 0xAA, 0xAA));
        SetROP2(canvas.dc(), code);
        MoveToEx(canvas.dc(), 0, 0, nullptr);
        LineTo(canvas.dc(), 3, 0);
        BYTE expect = static_cast<BYTE>((code - 1) * 0x11);
        EXPECT_EQ(canvas.At(1, 0), RGB(expect, expect, expect)) << "R2 code " << code;
    }
}

TEST(Shapes, EllipticAndRoundRegionsCoverWhatTheShapesFill) {
    HRGN ellipse = CreateEllipticRgn(1, 1, 10, 7);
    HRGN round = CreateRoundRectRgn(1, 1, 11, 8, 6, 4);
    ShapeCanvas e(11, 8), r(12, 9);
    Ellipse(e.dc(), 1, 1, 10, 7);
    RoundRect(r.dc(), 1, 1, 11, 8, 6, 4);
    for (int y = 0; y < 9; ++y) {
        for (int x = 0; x < 12; ++x) {
            EXPECT_EQ(PtInRegion(ellipse, x, y) != FALSE,
                      e.At(x, y) != RGB(255, 255, 255) && e.At(x, y) != CLR_INVALID)
                << x << "," << y;
            EXPECT_EQ(PtInRegion(round, x, y) != FALSE,
                      r.At(x, y) != RGB(255, 255, 255) && r.At(x, y) != CLR_INVALID)
                << x << "," << y;
        }
    }
    DeleteObject(ellipse);
    DeleteObject(round);
}

TEST(Shapes, FramesAndFillsOfRegions) {
    MemCanvas canvas(8, 6);
    HRGN box = CreateRectRgn(1, 1, 7, 5);
    HBRUSH black = reinterpret_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    ASSERT_TRUE(FrameRgn(canvas.dc(), box, black, 2, 1));
    EXPECT_EQ(canvas.Rows(kInk), (Grid{"........",  //
                                       ".######.",  //
                                       ".##..##.",  //
                                       ".##..##.",  //
                                       ".######.",  //
                                       "........"}));
    ASSERT_TRUE(InvertRgn(canvas.dc(), box));
    EXPECT_EQ(canvas.At(3, 2), RGB(0, 0, 0));
    EXPECT_EQ(canvas.At(1, 1), RGB(255, 255, 255));
    DeleteObject(box);
}
