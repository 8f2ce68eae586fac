// One full composition of a 640 x 480 control through the graphics layer and the drawing
// library, in the order of the control's paint: the background copied from the form's surface, a
// gradient back style with a picture, the outer and inner bevels with the border line, the filled
// shape, a caption in a 3-D font style, and the copy onto the form (the control's target for one
// full compose is under 2 ms).
//
//   build/bench/quixcore/compose_bench
#include <benchmark/benchmark.h>

#include <QImage>
#include <cstring>

#include "platform/gdi/gdi.h"
#include "platform/gdi/qt.h"
#include "quixcore/quixcore.h"

namespace {

constexpr int W = 640, H = 480;
const COLORREF kBack = RGB(192, 192, 192);

struct Scene {
    HWND form = reinterpret_cast<HWND>(std::uintptr_t{0x7C000000});
    HWND control = reinterpret_cast<HWND>(std::uintptr_t{0x7C000004});
    HBITMAP picture = nullptr;
    Scene() {
        platform::gdi::CreateWindowSurface(form, W + 40, H + 40);
        platform::gdi::PlaceWindow(control, form, RECT{20, 20, 20 + W, 20 + H}, true);
        QImage image(160, 120, QImage::Format_RGB32);
        image.fill(qRgb(255, 0, 255));
        for (int y = 10; y < 110; ++y) {
            for (int x = 10; x < 150; ++x) image.setPixel(x, y, qRgb(x, y, 200));
        }
        picture = platform::gdi::BitmapFromImage(image);
    }
};

void Compose(Scene& s) {
    const RECT full{0, 0, W, H};
    HDC output = GetDC(s.control);
    HDC reference = GetDC(s.control);
    // The image and background contexts, both holding what lies beneath the control.
    HDC image = CreateCompatibleDC(reference), background = CreateCompatibleDC(reference);
    HBITMAP imageBitmap = CreateCompatibleBitmap(reference, W, H);
    HBITMAP backBitmap = CreateCompatibleBitmap(reference, W, H);
    HGDIOBJ oldImage = SelectObject(image, imageBitmap);
    HGDIOBJ oldBack = SelectObject(background, backBitmap);
    BitBlt(image, 0, 0, W, H, output, 0, 0, SRCCOPY);
    BitBlt(background, 0, 0, W, H, output, 0, 0, SRCCOPY);
    SetBkMode(image, TRANSPARENT);
    // Bevels and border line, then the shape filled with the back colour.
    DrawBorder(image, &full, 0, QUIX_BEVEL_Raised, 4, RGB(128, 128, 128), RGB(255, 255, 255),
               QUIX_BEVEL_Inset, 3, RGB(128, 128, 128), RGB(255, 255, 255), 2, 0, 1, 0, 0, 0);
    HPEN pen = CreatePen(PS_INSIDEFRAME, 2, 0);
    HGDIOBJ oldPen = SelectObject(image, pen);
    HGDIOBJ oldBrush = SelectObject(image, GetStockObject(NULL_BRUSH));
    Rectangle(image, 4, 4, W - 4, H - 4);
    SelectObject(image, GetStockObject(NULL_PEN));
    HBRUSH fill = CreateSolidBrush(kBack);
    SelectObject(image, fill);
    Rectangle(image, 9, 9, W - 8, H - 8);
    SelectObject(image, oldPen);
    SelectObject(image, oldBrush);
    DeleteObject(pen);
    DeleteObject(fill);
    // The gradient with the picture where the shape shows the back colour.
    HBITMAP gradient = GetGradientBitmap(reference, &full, 0, QUIX_GS_EllipseFromCenter, 64,
                                         RGB(0, 0, 0), RGB(0, 0, 255));
    HDC gradientDc = CreateCompatibleDC(reference);
    HGDIOBJ oldGradient = SelectObject(gradientDc, gradient);
    short qx, qy;
    AddImageToControl(gradientDc, &full, s.picture, nullptr, 0, TRUE, 7, 0, 0, &qx, &qy, 3, TRUE,
                      TRUE, RGB(255, 0, 255));
    SetBkColor(image, RGB(255, 255, 255));
    SetTextColor(image, 0);
    CreateTransparentBitmap(image, 0, 0, W - 8, H - 8, kBack, gradientDc);
    SelectObject(gradientDc, oldGradient);
    DeleteDC(gradientDc);
    DeleteObject(gradient);
    // The caption.
    LOGFONTA lf{};
    lf.lfHeight = -32;
    lf.lfWeight = 700;
    std::strcpy(lf.lfFaceName, "DejaVu Sans");
    GetFontData(image, 0, 0, nullptr, 0);
    SetMapperFlags(image, 1);
    HFONT font = CreateFontIndirect(&lf);
    HGDIOBJ oldFont = SelectObject(image, font);
    PaintTextInControl(image, &full, QUIX_F3D_RaisedHeavy, 2, 2, 3, 2, 4, 1, 3, 2,
                       "Quix shape control", 0, 0, 7, TRUE, RGB(255, 255, 0), RGB(255, 255, 255),
                       RGB(128, 128, 128), 0, 0, 0);
    SelectObject(image, oldFont);
    DeleteObject(font);
    // Onto the form.
    BOOL canceled = FALSE;
    BltEffect(output, 0, 0, image, 0, 0, W, H, 5, 0, 0, SRCCOPY, nullptr, 0, FALSE, 0, 1, "", 0,
              &canceled);
    SelectObject(background, oldBack);
    SelectObject(image, oldImage);
    DeleteDC(background);
    DeleteDC(image);
    DeleteObject(backBitmap);
    DeleteObject(imageBitmap);
    ReleaseDC(s.control, reference);
    ReleaseDC(s.control, output);
}

void BM_Compose(benchmark::State& state) {
    static Scene scene;
    for (auto _ : state) Compose(scene);
}
BENCHMARK(BM_Compose)->Unit(benchmark::kMillisecond);

}  // namespace
