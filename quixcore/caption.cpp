// The caption in its 3-D font style (the catalogue in quixcore.h), laid out by the graphics
// layer's DrawText so that lines break and align as the control measures them.
#include <cstdlib>
#include <cstring>
#include <set>
#include <utility>
#include <vector>

#include "quixcore/internal.h"

using namespace quixcore::internal;

namespace {

struct Pass {
    int dx, dy;
    COLORREF colour;
};

struct Style3D {
    std::vector<Pass> passes;  // drawn in order, before the face
    int faceX = 0, faceY = 0;
    int marginX = 0, marginY = 0;
};

// One pixel around each of the given places, in the outline colour.
void OutlineAround(const std::vector<std::pair<int, int>>& places, COLORREF colour,
                   std::vector<Pass>& passes) {
    std::set<std::pair<int, int>> seen;
    for (const auto& [x, y] : places) {
        for (int ny = -1; ny <= 1; ++ny) {
            for (int nx = -1; nx <= 1; ++nx) {
                if ((nx || ny) && seen.insert({x + nx, y + ny}).second) {
                    passes.push_back({x + nx, y + ny, colour});
                }
            }
        }
    }
}

bool StyleOf(short font3D, int dropX, int dropY, int block, COLORREF color1, COLORREF color2,
             COLORREF shadow, COLORREF outline, Style3D& s) {
    const int blockSize = std::abs(block), step = block < 0 ? -1 : 1;
    switch (font3D) {
        case QUIX_F3D_None:
            return true;
        case QUIX_F3D_RaisedLight:
            s.passes = {{0, 0, color1}};
            s.faceX = s.faceY = 1;
            s.marginX = s.marginY = 1;
            return true;
        case QUIX_F3D_RaisedHeavy:
            s.passes = {{0, 0, color1}, {2, 2, color2}};
            s.faceX = s.faceY = 1;
            s.marginX = s.marginY = 2;
            return true;
        case QUIX_F3D_InsetLight:
            s.passes = {{1, 1, color1}};
            s.marginX = s.marginY = 1;
            return true;
        case QUIX_F3D_InsetHeavy:
            s.passes = {{0, 0, color2}, {2, 2, color1}};
            s.faceX = s.faceY = 1;
            s.marginX = s.marginY = 2;
            return true;
        case QUIX_F3D_DropShadow:
            s.faceX = dropX < 0 ? -dropX : 0;
            s.faceY = dropY < 0 ? -dropY : 0;
            s.passes = {{s.faceX + dropX, s.faceY + dropY, shadow}};
            s.marginX = std::abs(dropX);
            s.marginY = std::abs(dropY);
            return true;
        case QUIX_F3D_BlockShadow:
            s.faceX = s.faceY = block < 0 ? blockSize : 0;
            for (int k = 1; k <= blockSize; ++k) {
                s.passes.push_back({s.faceX + step * k, s.faceY + step * k, shadow});
            }
            s.marginX = s.marginY = blockSize;
            return true;
        case QUIX_F3D_OutlineBlock: {
            s.faceX = s.faceY = 1 + (block < 0 ? blockSize : 0);
            std::vector<std::pair<int, int>> places = {{s.faceX, s.faceY}};
            for (int k = 1; k <= blockSize; ++k) {
                places.push_back({s.faceX + step * k, s.faceY + step * k});
            }
            OutlineAround(places, outline, s.passes);
            for (std::size_t k = 1; k < places.size(); ++k) {
                s.passes.push_back({places[k].first, places[k].second, shadow});
            }
            s.marginX = s.marginY = blockSize + 2;
            return true;
        }
        case QUIX_F3D_OutlineDrop:
            s.faceX = dropX < 0 ? std::max(1, -dropX) : 1;
            s.faceY = dropY < 0 ? std::max(1, -dropY) : 1;
            s.passes = {{s.faceX + dropX, s.faceY + dropY, shadow}};
            OutlineAround({{s.faceX, s.faceY}}, outline, s.passes);
            s.marginX = std::abs(dropX) + 1;
            s.marginY = std::abs(dropY) + 1;
            return true;
        default:
            return false;
    }
}

int FloorHalf(int v) {
    return v >= 0 ? v / 2 : -((-v + 1) / 2);
}

}  // namespace

short PaintTextInControl(HDC hdc, const RECT* rect, short font3D, short dropX, short dropY,
                         short blockSize, short outerStyle, short outerWidth, short innerStyle,
                         short innerWidth, short borderWidth, const char* caption, short textX,
                         short textY, short alignment, BOOL wordWrap, COLORREF foreColor,
                         COLORREF color3D1, COLORREF color3D2, COLORREF shadowColor,
                         COLORREF outlineColor, short) {
    if (!IsDc(hdc)) return QUIX_E_HANDLE;
    Style3D style;
    if (!rect || alignment < 0 || alignment > 8 ||
        !StyleOf(font3D, dropX, dropY, blockSize, color3D1, color3D2, shadowColor, outlineColor,
                 style)) {
        return QUIX_E_ARGUMENT;
    }
    if (!caption || !*caption) return QUIX_OK;
    const int inset = std::max<int>(0, borderWidth) +
                      (outerStyle ? std::max<int>(0, outerWidth) : 0) +
                      (innerStyle ? std::max<int>(0, innerWidth) : 0);
    QRect box = RectOf(*rect).adjusted(inset, inset, -inset, -inset).translated(textX, textY);
    const int length = static_cast<int>(std::strlen(caption));
    const int width = std::max(0, box.width() - style.marginX);
    UINT format = DT_NOPREFIX | DT_NOCLIP | (wordWrap ? DT_WORDBREAK : 0);
    const int horizontal = alignment / 3, vertical = alignment % 3;
    format |= horizontal == 1 ? DT_RIGHT : horizontal == 2 ? DT_CENTER : DT_LEFT;
    RECT measure{box.x(), box.y(), box.x() + width, box.y()};
    int height = DrawTextA(hdc, caption, length, &measure, format | DT_CALCRECT);
    if (height <= 0) return QUIX_E_DRAW;
    const int blockHeight = height + style.marginY;
    int top = box.y();
    if (vertical == 1) top += FloorHalf(box.height() - blockHeight);
    if (vertical == 2) top = box.y() + box.height() - blockHeight;

    int saved = SaveDC(hdc);
    SetBkMode(hdc, TRANSPARENT);
    SetTextAlign(hdc, TA_LEFT | TA_TOP);
    auto draw = [&](int dx, int dy, COLORREF colour) {
        SetTextColor(hdc, colour);
        RECT at{box.x() + dx, top + dy, box.x() + dx + width, top + dy + height};
        DrawTextA(hdc, caption, length, &at, format);
    };
    for (const Pass& p : style.passes) draw(p.dx, p.dy, p.colour);
    draw(style.faceX, style.faceY, foreColor);
    RestoreDC(hdc, saved);
    return QUIX_OK;
}
