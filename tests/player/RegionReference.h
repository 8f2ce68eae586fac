// The window region of a skin picture made one pixel read and one rectangle union at a time:
// the reference the player's region must equal.
#pragma once

#include "platform/gdi/gdi.h"
#include "platform/vb/Conversions.h"
#include "platform/vb/Intrinsics.h"

inline HRGN RegionStepByStep(vb::PictureBox& pic) {
    HDC h = pic.hDC();
    const int W = static_cast<int>(vb::RoundHalfEven(pic.ScaleWidth()));
    const int H = static_cast<int>(vb::RoundHalfEven(pic.ScaleHeight()));
    const COLORREF key = GetPixel(h, 0, 0);
    HRGN result = nullptr;
    auto add = [&](int x0, int y, int x1) {
        HRGN r = CreateRectRgn(x0, y, x1, y + 1);
        if (!result) {
            result = r;
            return;
        }
        CombineRgn(result, result, r, RGN_OR);
        DeleteObject(r);
    };
    for (int y = 0; y < H; ++y) {
        int x0 = -1;
        for (int x = 0; x < W; ++x) {
            COLORREF c = GetPixel(h, x, y);
            if (c != key && x0 < 0) x0 = x;
            if (c == key && x0 >= 0) {
                add(x0, y, x);
                x0 = -1;
            }
        }
        if (x0 >= 0) add(x0, y, W);
    }
    return result;
}
