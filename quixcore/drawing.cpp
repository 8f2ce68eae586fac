// Drawing into the composed bitmap (the control's drawing methods) and saving a bitmap to a file.
//
// The settings are the control's: the pen style is the border-style catalogue (0 no pen, 1 solid,
// 2 dash, 3 dot, 4 dash-dot, 5 dash-dot-dot), the width in pixels (1 or more; styled pens wider
// than 1 draw solid), the draw mode one of the sixteen binary raster operations (1 to 16), the
// fill style the fill catalogue (0 solid, 1 none, 2 to 7 the hatches in gdi.h's HS_ order, their
// gaps left as they were). A setting outside its catalogue is refused with QUIX_E_ARGUMENT.
//
// The VARIANT arguments: a missing one (VT_EMPTY, VT_ERROR or VT_NULL) takes its default. A colour
// is an OLE colour as a whole number (VT_I2, VT_I4, VT_R4 or VT_R8): an RGB value, a palette entry
// (0x01000000 | index) or a system colour (0x80000000 | index); its default is black. A flag is a
// VT_BOOL or a whole number (non-zero is TRUE), default FALSE. The aspect is a positive number,
// default 1. Any other type is refused with QUIX_E_ARGUMENT and nothing is drawn.
#define _USE_MATH_DEFINES
#include <QBuffer>
#include <QImageWriter>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "quixcore/internal.h"
#include "quixcore/quixcore.h"

using quixcore::internal::IsBitmap;

namespace {

bool Missing(const VARIANT& v) {
    return v.vt == VT_EMPTY || v.vt == VT_ERROR || v.vt == VT_NULL;
}

std::optional<double> Number(const VARIANT& v) {
    switch (v.vt) {
        case VT_I2:
            return v.iVal;
        case VT_I4:
            return v.lVal;
        case VT_R4:
            return std::isfinite(v.fltVal) ? std::optional<double>(v.fltVal) : std::nullopt;
        case VT_R8:
            return std::isfinite(v.dblVal) ? std::optional<double>(v.dblVal) : std::nullopt;
        default:
            return std::nullopt;
    }
}

// A colour argument as a COLORREF; nothing when it is not one.
std::optional<COLORREF> ColorOf(const VARIANT& v) {
    if (Missing(v)) return COLORREF{0};
    std::optional<double> n = Number(v);
    if (!n || *n < -2147483648.0 || *n > 4294967295.0) return std::nullopt;
    auto value = static_cast<std::uint32_t>(static_cast<std::int64_t>(std::llround(*n)));
    switch (value >> 24) {
        case 0x00:
        case 0x01:
        case 0x02:
            return COLORREF{value};
        case 0x80:
            if ((value & 0xFFFFFF) > 30) return std::nullopt;
            return static_cast<COLORREF>(GetSysColor(static_cast<int>(value & 0xFFFFFF)));
        default:
            return std::nullopt;
    }
}

std::optional<bool> FlagOf(const VARIANT& v) {
    if (Missing(v)) return false;
    if (v.vt == VT_BOOL) return v.boolVal != 0;
    std::optional<double> n = Number(v);
    if (!n) return std::nullopt;
    return *n != 0;
}

// The control's drawing settings.
struct Settings {
    short drawStyle, drawWidth, drawMode, fillStyle;
    COLORREF fillColor;
    bool brush;  // whether the shape has an inside
};

// Selects the composed bitmap and the pen and brush of the settings into a memory context, runs
// `draw` on it and puts everything back.
template <class F>
short Draw(HBITMAP composed, const Settings& s, std::optional<COLORREF> color, F draw) {
    if (!composed) return QUIX_E_NOIMAGE;
    if (!IsBitmap(composed)) return QUIX_E_HANDLE;
    if (!color || s.drawStyle < 0 || s.drawStyle > 5 || s.drawWidth < 1 || s.drawMode < 1 ||
        s.drawMode > 16 || (s.brush && (s.fillStyle < 0 || s.fillStyle > 7))) {
        return QUIX_E_ARGUMENT;
    }
    quixcore::internal::BitmapContext holder(composed);
    HDC dc = holder.dc();
    if (!dc) return QUIX_E_HANDLE;  // held by another context
    HPEN pen = s.drawStyle == 0 ? nullptr : CreatePen(s.drawStyle - 1, s.drawWidth, *color);
    HBRUSH brush = nullptr;
    if (s.brush && s.fillStyle == 0) brush = CreateSolidBrush(s.fillColor);
    if (s.brush && s.fillStyle >= 2) brush = CreateHatchBrush(s.fillStyle - 2, s.fillColor);
    HGDIOBJ oldPen =
        SelectObject(dc, pen ? reinterpret_cast<HGDIOBJ>(pen) : GetStockObject(NULL_PEN));
    HGDIOBJ oldBrush =
        SelectObject(dc, brush ? reinterpret_cast<HGDIOBJ>(brush) : GetStockObject(NULL_BRUSH));
    SetROP2(dc, s.drawMode);
    SetBkMode(dc, TRANSPARENT);
    BOOL ok = draw(dc, *color);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    if (pen) DeleteObject(pen);
    if (brush) DeleteObject(brush);
    return ok ? QUIX_OK : QUIX_E_DRAW;
}

// A point of the ellipse's radial at `degrees` (counterclockwise from three o'clock), far enough
// out that the radial's direction is exact to the pixel.
POINT Radial(int x1, int y1, int x2, int y2, short degrees) {
    double cx = (x1 + x2) / 2.0, cy = (y1 + y2) / 2.0;
    double reach = 4.0 * (std::abs(x2 - x1) + std::abs(y2 - y1)) + 64.0;
    double a = degrees * M_PI / 180.0;
    return POINT{static_cast<LONG>(std::lround(cx + reach * std::cos(a))),
                 static_cast<LONG>(std::lround(cy - reach * std::sin(a)))};
}

}  // namespace

short IQuixDrawLine(short x1, short y1, short x2, short y2, const VARIANT& color,
                    const VARIANT& box, const VARIANT& fill, HBITMAP composed, short drawStyle,
                    short drawWidth, short drawMode, short fillStyle, COLORREF fillColor) {
    std::optional<bool> isBox = FlagOf(box), isFilled = FlagOf(fill);
    if (!isBox || !isFilled) return composed ? QUIX_E_ARGUMENT : QUIX_E_NOIMAGE;
    Settings s{drawStyle, drawWidth, drawMode, fillStyle, fillColor, *isBox && !*isFilled};
    return Draw(composed, s, ColorOf(color), [&](HDC dc, COLORREF c) -> BOOL {
        if (*isBox) {
            int left = std::min(x1, x2), top = std::min(y1, y2);
            int right = std::max(x1, x2) + 1, bottom = std::max(y1, y2) + 1;
            if (!*isFilled) return Rectangle(dc, left, top, right, bottom);
            HBRUSH solid = CreateSolidBrush(c);
            HGDIOBJ old = SelectObject(dc, solid);
            BOOL ok = Rectangle(dc, left, top, right, bottom);
            SelectObject(dc, old);
            DeleteObject(solid);
            return ok;
        }
        if (x1 != x2 || y1 != y2) return MoveToEx(dc, x1, y1, nullptr) && LineTo(dc, x2, y2);
        // A line of no length is a dot of the pen's width.
        if (drawStyle == 0) return TRUE;
        int w = drawWidth, left = x1 - w / 2, top = y1 - w / 2;
        HBRUSH solid = CreateSolidBrush(c);
        HGDIOBJ oldBrush = SelectObject(dc, solid);
        HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
        // With no pen the filled area is one pixel narrower and lower than the box.
        BOOL ok = w < 3 ? Rectangle(dc, left, top, left + w + 1, top + w + 1)
                        : Ellipse(dc, left, top, left + w + 1, top + w + 1);
        SelectObject(dc, oldPen);
        SelectObject(dc, oldBrush);
        DeleteObject(solid);
        return ok;
    });
}

short IQuixDrawCircle(short x, short y, short radius, const VARIANT& color, const VARIANT& aspect,
                      HBITMAP composed, short drawStyle, short drawWidth, short drawMode,
                      short fillStyle, COLORREF fillColor) {
    std::optional<double> ratio = Missing(aspect) ? std::optional<double>(1.0) : Number(aspect);
    if (!ratio || *ratio <= 0 || radius < 0) return composed ? QUIX_E_ARGUMENT : QUIX_E_NOIMAGE;
    Settings s{drawStyle, drawWidth, drawMode, fillStyle, fillColor, true};
    // The radius is the longer axis's: the width's for an aspect below 1, else the height's.
    double rx = *ratio < 1 ? radius : radius / *ratio;
    double ry = *ratio < 1 ? radius * *ratio : radius;
    int ix = static_cast<int>(std::lround(rx)), iy = static_cast<int>(std::lround(ry));
    return Draw(composed, s, ColorOf(color), [&](HDC dc, COLORREF) {
        return Ellipse(dc, x - ix, y - iy, x + ix + 1, y + iy + 1);
    });
}

short IQuixDrawCurve(short x1, short y1, short x2, short y2, short x3, short y3, short x4, short y4,
                     const VARIANT& color, HBITMAP composed, short drawStyle, short drawWidth,
                     short drawMode) {
    Settings s{drawStyle, drawWidth, drawMode, 1, 0, false};
    // The cubic Bezier curve from point 1 to point 4 with points 2 and 3 as its controls, drawn as
    // 64 straight pieces; like a line, it leaves out its last point.
    constexpr int kPieces = 64;
    std::vector<POINT> points;
    for (int i = 0; i <= kPieces; ++i) {
        double t = double(i) / kPieces, u = 1 - t;
        double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
        points.push_back(POINT{static_cast<LONG>(std::lround(a * x1 + b * x2 + c * x3 + d * x4)),
                               static_cast<LONG>(std::lround(a * y1 + b * y2 + c * y3 + d * y4))});
    }
    return Draw(composed, s, ColorOf(color), [&](HDC dc, COLORREF) {
        return Polyline(dc, points.data(), static_cast<int>(points.size()));
    });
}

short IQuixDrawPolygon(short x1, short y1, short x2, short y2, const VARIANT& x3, const VARIANT& y3,
                       const VARIANT& x4, const VARIANT& y4, const VARIANT& x5, const VARIANT& y5,
                       const VARIANT& x6, const VARIANT& y6, const VARIANT& color, HBITMAP composed,
                       short drawStyle, short drawWidth, short drawMode, short fillStyle,
                       COLORREF fillColor) {
    // The corners after the second are taken in order while both of a pair are given; a corner
    // given after a missing one, or half a pair, is refused.
    std::vector<POINT> points{{x1, y1}, {x2, y2}};
    const VARIANT* more[4][2] = {{&x3, &y3}, {&x4, &y4}, {&x5, &y5}, {&x6, &y6}};
    bool ended = false, bad = false;
    for (auto& pair : more) {
        bool missingX = Missing(*pair[0]), missingY = Missing(*pair[1]);
        if (missingX && missingY) {
            ended = true;
            continue;
        }
        std::optional<double> px = Number(*pair[0]), py = Number(*pair[1]);
        if (ended || !px || !py || *px != std::trunc(*px) || *py != std::trunc(*py) ||
            std::abs(*px) > 32767 || std::abs(*py) > 32767) {
            bad = true;
            break;
        }
        points.push_back(POINT{static_cast<LONG>(*px), static_cast<LONG>(*py)});
    }
    if (bad) return composed ? QUIX_E_ARGUMENT : QUIX_E_NOIMAGE;
    Settings s{drawStyle, drawWidth, drawMode, fillStyle, fillColor, true};
    return Draw(composed, s, ColorOf(color), [&](HDC dc, COLORREF) {
        return Polygon(dc, points.data(), static_cast<int>(points.size()));
    });
}

short IQuixDrawRoundRect(short x1, short y1, short x2, short y2, short roundW, short roundH,
                         const VARIANT& color, HBITMAP composed, short drawStyle, short drawWidth,
                         short drawMode, short fillStyle, COLORREF fillColor) {
    if (roundW < 0 || roundH < 0) return composed ? QUIX_E_ARGUMENT : QUIX_E_NOIMAGE;
    Settings s{drawStyle, drawWidth, drawMode, fillStyle, fillColor, true};
    return Draw(composed, s, ColorOf(color),
                [&](HDC dc, COLORREF) { return RoundRect(dc, x1, y1, x2, y2, roundW, roundH); });
}

short IQuixDrawArc(short x1, short y1, short x2, short y2, short startAngle, short endAngle,
                   const VARIANT& color, HBITMAP composed, short drawStyle, short drawWidth,
                   short drawMode) {
    Settings s{drawStyle, drawWidth, drawMode, 1, 0, false};
    POINT a = Radial(x1, y1, x2, y2, startAngle), b = Radial(x1, y1, x2, y2, endAngle);
    return Draw(composed, s, ColorOf(color),
                [&](HDC dc, COLORREF) { return Arc(dc, x1, y1, x2, y2, a.x, a.y, b.x, b.y); });
}

short IQuixDrawPie(short x1, short y1, short x2, short y2, short startAngle, short endAngle,
                   const VARIANT& color, HBITMAP composed, short drawStyle, short drawWidth,
                   short drawMode, short fillStyle, COLORREF fillColor) {
    Settings s{drawStyle, drawWidth, drawMode, fillStyle, fillColor, true};
    POINT a = Radial(x1, y1, x2, y2, startAngle), b = Radial(x1, y1, x2, y2, endAngle);
    return Draw(composed, s, ColorOf(color),
                [&](HDC dc, COLORREF) { return Pie(dc, x1, y1, x2, y2, a.x, a.y, b.x, b.y); });
}

short SaveControlImage(const char* file, HBITMAP bitmap) {
    if (!IsBitmap(bitmap)) return QUIX_E_HANDLE;
    if (!file || !*file) return QUIX_E_FILE;
    std::string name(file);
    std::size_t dot = name.find_last_of('.');
    std::size_t slash = name.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return QUIX_E_ARGUMENT;
    }
    std::string ext = name.substr(dot + 1);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const char* format = ext == "bmp"                    ? "BMP"
                         : ext == "png"                  ? "PNG"
                         : ext == "jpg" || ext == "jpeg" ? "JPEG"
                                                         : nullptr;
    if (!format) return QUIX_E_ARGUMENT;
    QImage image = platform::gdi::ImageOf(bitmap);
    if (image.isNull()) return QUIX_E_HANDLE;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (!writer.write(image.convertToFormat(QImage::Format_RGB888))) return QUIX_E_DRAW;
    return quixcore::internal::ReplaceFile(file, bytes.constData(), std::size_t(bytes.size()))
               ? QUIX_OK
               : QUIX_E_FILE;
}
