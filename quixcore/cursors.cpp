// The library's cursors for the MousePointer values 1 to 43: 32 x 32 cursors (an ICONINFO with
// fIcon FALSE, its hotspot where the pointer points). 1 to 11 and 43 are the standard shapes
// (arrow, cross, I-beam, icon, the sizing arrows, up arrow, hourglass, the four-way arrow);
// 12 to 42 are an arrow with a badge that names the picture (Boy, Brush, ... Arrow And
// Question). Each value's cursor is made once and shared: the caller does not destroy it.
// Values 44 to 98 have none.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <array>
#include <mutex>

#include "platform/gdi/qt.h"
#include "quixcore/quixcore.h"

namespace {

constexpr int kSize = 32;

struct CursorRow {
    short value;
    QPoint hotspot;
    const char* badge;  // null: a standard shape
};

constexpr CursorRow kCursors[] = {
    {1, {0, 0}, nullptr},   {2, {15, 15}, nullptr}, {3, {15, 15}, nullptr},  {4, {15, 15}, nullptr},
    {5, {15, 15}, nullptr}, {6, {15, 15}, nullptr}, {7, {15, 15}, nullptr},  {8, {15, 15}, nullptr},
    {9, {15, 15}, nullptr}, {10, {15, 0}, nullptr}, {11, {15, 15}, nullptr}, {12, {0, 0}, "Bo"},
    {13, {0, 0}, "Br"},     {14, {0, 0}, "Bu"},     {15, {0, 0}, "Cl"},      {16, {0, 0}, "C1"},
    {17, {0, 0}, "C2"},     {18, {0, 0}, "Gi"},     {19, {0, 0}, "H1"},      {20, {0, 0}, "H2"},
    {21, {0, 0}, "H3"},     {22, {0, 0}, "H4"},     {23, {0, 0}, "H5"},      {24, {0, 0}, "H6"},
    {25, {0, 0}, "H7"},     {26, {0, 0}, "?1"},     {27, {0, 0}, "?2"},      {28, {0, 0}, "Ke"},
    {29, {0, 0}, "Li"},     {30, {0, 0}, "Ma"},     {31, {0, 0}, "Mo"},      {32, {0, 0}, "N1"},
    {33, {0, 0}, "N2"},     {34, {0, 0}, "N3"},     {35, {0, 0}, "P1"},      {36, {0, 0}, "P2"},
    {37, {0, 0}, "Ph"},     {38, {0, 0}, "Q1"},     {39, {0, 0}, "Q2"},      {40, {0, 0}, "Wa"},
    {41, {0, 0}, "AH"},     {42, {0, 0}, "A?"},     {43, {15, 15}, nullptr},
};

void Arrow(QPainter& p, QPoint at) {
    QPolygon shape;
    shape << QPoint(0, 0) << QPoint(0, 16) << QPoint(4, 12) << QPoint(7, 19) << QPoint(9, 18)
          << QPoint(6, 11) << QPoint(11, 11);
    shape.translate(at);
    p.drawPolygon(shape);
}

// A double arrow from a to b.
void DoubleArrow(QPainter& p, QPointF a, QPointF b) {
    p.drawLine(a, b);
    const QPointF d = (b - a) / std::hypot(b.x() - a.x(), b.y() - a.y());
    const QPointF n(-d.y(), d.x());
    for (auto [tip, dir] : {std::pair{a, d}, std::pair{b, -d}}) {
        QPolygonF head;
        head << tip << tip + dir * 5 + n * 4 << tip + dir * 5 - n * 4;
        p.drawPolygon(head);
    }
}

QImage Draw(const CursorRow& row) {
    QImage image(kSize, kSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    switch (row.value) {
        case 2:  // cross
            p.drawLine(15, 2, 15, 28);
            p.drawLine(2, 15, 28, 15);
            break;
        case 3:  // I-beam
            p.drawLine(15, 4, 15, 26);
            p.drawLine(11, 4, 19, 4);
            p.drawLine(11, 26, 19, 26);
            break;
        case 4:  // icon
            p.drawRect(8, 8, 15, 15);
            p.drawRect(11, 11, 9, 9);
            break;
        case 5:   // size
        case 43:  // size all
            DoubleArrow(p, {15, 2}, {15, 28});
            DoubleArrow(p, {2, 15}, {28, 15});
            if (row.value == 5) p.drawRect(12, 12, 6, 6);
            break;
        case 6:
            DoubleArrow(p, {26, 4}, {4, 26});
            break;
        case 7:
            DoubleArrow(p, {15, 2}, {15, 28});
            break;
        case 8:
            DoubleArrow(p, {4, 4}, {26, 26});
            break;
        case 9:
            DoubleArrow(p, {2, 15}, {28, 15});
            break;
        case 10: {  // up arrow
            QPolygon up;
            up << QPoint(15, 0) << QPoint(23, 10) << QPoint(18, 10) << QPoint(18, 28)
               << QPoint(12, 28) << QPoint(12, 10) << QPoint(7, 10);
            p.drawPolygon(up);
            break;
        }
        case 11: {  // hourglass
            QPolygon glass;
            glass << QPoint(7, 3) << QPoint(23, 3) << QPoint(16, 15) << QPoint(23, 27)
                  << QPoint(7, 27) << QPoint(14, 15);
            p.drawPolygon(glass);
            break;
        }
        default:
            Arrow(p, {0, 0});
            if (row.badge) {
                p.setBrush(QColor(255, 255, 192));
                p.drawRect(12, 17, 19, 14);
                if (qGuiApp) {
                    QFont font("DejaVu Sans");
                    font.setPixelSize(10);
                    font.setStyleStrategy(QFont::NoAntialias);
                    p.setFont(font);
                    p.drawText(QRect(12, 17, 20, 15), Qt::AlignCenter, row.badge);
                }
            }
            break;
    }
    return image;
}

HCURSOR Make(const CursorRow& row) {
    const QImage image = Draw(row);
    QImage color(kSize, kSize, QImage::Format_RGB32), mask(kSize, kSize, QImage::Format_RGB32);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const QRgb p = image.pixel(x, y);
            const bool opaque = qAlpha(p) != 0;
            color.setPixel(x, y, opaque ? (p | 0xFF000000u) : 0xFF000000u);
            mask.setPixel(x, y, opaque ? 0xFF000000u : 0xFFFFFFFFu);
        }
    }
    ICONINFO info{};
    info.fIcon = FALSE;
    info.xHotspot = row.hotspot.x();
    info.yHotspot = row.hotspot.y();
    info.hbmColor = platform::gdi::BitmapFromImage(color);
    info.hbmMask = platform::gdi::BitmapFromImage(mask);
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return reinterpret_cast<HCURSOR>(icon);
}

}  // namespace

HCURSOR GetQuixCursor(short pointer) {
    static std::mutex mutex;
    static std::array<HCURSOR, 44> made{};
    for (const CursorRow& row : kCursors) {
        if (row.value != pointer) continue;
        std::lock_guard lock(mutex);
        if (!made[pointer]) made[pointer] = Make(row);
        return made[pointer];
    }
    return nullptr;
}
