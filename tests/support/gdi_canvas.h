// A memory context over a white bitmap for the graphics and drawing-library tests, read back as
// pixels or as rows of characters.
#pragma once

#include <QImage>
#include <map>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/gdi/qt.h"

class MemCanvas {
public:
    MemCanvas(int width, int height, COLORREF fill = RGB(255, 255, 255))
        : width_(width), height_(height) {
        bitmap_ = CreateBitmap(width, height, 1, 32, nullptr);
        dc_ = CreateCompatibleDC(nullptr);
        old_ = SelectObject(dc_, bitmap_);
        Fill(fill);
    }
    ~MemCanvas() {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
        DeleteObject(bitmap_);
    }
    MemCanvas(const MemCanvas&) = delete;
    MemCanvas& operator=(const MemCanvas&) = delete;

    HDC dc() const { return dc_; }
    HBITMAP bitmap() const { return bitmap_; }
    QImage Image() const { return platform::gdi::ImageOf(bitmap_); }
    COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }

    void Fill(COLORREF colour) {
        HBRUSH b = CreateSolidBrush(colour);
        RECT all{0, 0, width_, height_};
        FillRect(dc_, &all, b);
        DeleteObject(b);
    }

    // The rows of the bitmap (whatever the clip region) with one character per pixel: the
    // colour's character from `names`, '?' for a colour not named.
    std::vector<std::string> Rows(const std::map<COLORREF, char>& names) const {
        std::vector<std::string> rows;
        QImage image = Image();
        for (int y = 0; y < height_; ++y) {
            std::string row;
            for (int x = 0; x < width_; ++x) {
                QRgb p = image.pixel(x, y);
                auto it = names.find(RGB(qRed(p), qGreen(p), qBlue(p)));
                row += it == names.end() ? '?' : it->second;
            }
            rows.push_back(row);
        }
        return rows;
    }

private:
    int width_, height_;
    HBITMAP bitmap_;
    HDC dc_;
    HGDIOBJ old_;
};

// The bounding box of the pixels that differ from the background.
inline QRect InkBox(const QImage& image, QRgb background = qRgb(255, 255, 255)) {
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFFu) != (background & 0xFFFFFFu)) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

// The usual names: white '.', black '#'.
inline const std::map<COLORREF, char> kInk = {{RGB(255, 255, 255), '.'}, {RGB(0, 0, 0), '#'}};
