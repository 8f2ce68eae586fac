#include "player/Module1.h"

#include "platform/win/messages.h"
#include "platform/win/windowpos.h"

void SetTopMost(vb::Form& form) {
    SetWindowPos(form.hWnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void SetNotTopMost(vb::Form& form) {
    SetWindowPos(form.hWnd(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void DragForm(vb::Form& form) {
    ReleaseCapture();
    SendMessageA(form.hWnd(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/gdi/qt.h"
#include "platform/vb/Conversions.h"

long MakeRegionFromBitmap(vb::PictureBox& pic) {
    HDC h = pic.hDC();
    const int W = static_cast<int>(vb::RoundHalfEven(pic.ScaleWidth()));
    const int H = static_cast<int>(vb::RoundHalfEven(pic.ScaleHeight()));
    const COLORREF key = GetPixel(h, 0, 0);
    // The pixels are read straight from the image; a pixel outside it reads as no colour, as a
    // pixel read one at a time does.
    const QImage image = platform::gdi::ImageOf(
        reinterpret_cast<HBITMAP>(GetCurrentObject(h, OBJ_BITMAP)));
    auto colour = [&](const QRgb* row, int x) {
        if (!row || x >= image.width()) return CLR_INVALID;
        QRgb c = row[x];
        return RGB(qRed(c), qGreen(c), qBlue(c));
    };
    std::vector<QRect> runs;
    for (int y = 0; y < H; ++y) {
        const QRgb* row = y < image.height() ? reinterpret_cast<const QRgb*>(image.constScanLine(y))
                                             : nullptr;
        int x0 = -1;
        for (int x = 0; x < W; ++x) {
            bool face = colour(row, x) != key;
            if (face && x0 < 0) x0 = x;
            if (!face && x0 >= 0) {
                runs.emplace_back(x0, y, x - x0, 1);
                x0 = -1;
            }
        }
        if (x0 >= 0) runs.emplace_back(x0, y, W - x0, 1);
    }
    if (runs.empty()) return 0;
    // The runs come sorted by row and by column and never overlap: they make the region at once.
    QRegion region;
    region.setRects(runs.data(), static_cast<int>(runs.size()));
    return static_cast<long>(reinterpret_cast<std::uintptr_t>(platform::gdi::RegionFromQRegion(region)));
}

void ShapeFromPicture(vb::Form& form, vb::PictureBox& PicMainSkin) {
    PicMainSkin.SetScaleMode(vb::vbPixels);
    PicMainSkin.SetAutoRedraw(true);
    PicMainSkin.SetAutoSize(true);
    PicMainSkin.SetBorderStyle(0);
    form.SetBorderStyle(0);
    form.SetWidth(PicMainSkin.Width());
    form.SetHeight(PicMainSkin.Height());
    long r = MakeRegionFromBitmap(PicMainSkin);
    SetWindowRgn(form.hWnd(), reinterpret_cast<HRGN>(static_cast<std::uintptr_t>(r)), TRUE);
}
