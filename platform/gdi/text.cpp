// Fonts and text: LOGFONTs mapped to installed fonts with Qt's metrics, drawn without
// antialiasing into the context's target.
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QRawFont>
#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/gdi/objects.h"
#include "platform/gdi/raster.h"

using namespace platform::gdi::internal;

namespace {

// The original's faces and the installed fonts that draw them; raster faces fail the TrueType
// test.
struct Face {
    const char* name;
    const char* family;
    bool raster;
};
const Face kFaces[] = {
    {"MS Sans Serif", "DejaVu Sans", true},
    {"System", "DejaVu Sans", true},
    {"Small Fonts", "DejaVu Sans", true},
    {"Modern", "DejaVu Sans", true},
    {"MS Serif", "DejaVu Serif", true},
    {"Roman", "DejaVu Serif", true},
    {"Script", "DejaVu Serif", true},
    {"Courier", "DejaVu Sans Mono", true},
    {"Fixedsys", "DejaVu Sans Mono", true},
    {"Terminal", "DejaVu Sans Mono", true},
    {"Arial", "DejaVu Sans", false},
    {"Tahoma", "DejaVu Sans", false},
    {"Verdana", "DejaVu Sans", false},
    {"MS Shell Dlg", "DejaVu Sans", false},
    {"MS Shell Dlg 2", "DejaVu Sans", false},
    {"Microsoft Sans Serif", "DejaVu Sans", false},
    {"Segoe UI", "DejaVu Sans", false},
    {"Helvetica", "DejaVu Sans", false},
    {"Times New Roman", "DejaVu Serif", false},
    {"Times", "DejaVu Serif", false},
    {"Georgia", "DejaVu Serif", false},
    {"Courier New", "DejaVu Sans Mono", false},
    {"Lucida Console", "DejaVu Sans Mono", false},
    {"Consolas", "DejaVu Sans Mono", false},
};

bool SameFace(const char* a, const QString& b) {
    return QString::fromLatin1(a).compare(b, Qt::CaseInsensitive) == 0;
}

// The characters of the ANSI code page 1252.
QString Decode(const char* text, int n) {
    static const char16_t k80[32] = {
        0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
    QString s;
    s.reserve(n);
    for (int i = 0; i < n; ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        s.append(c >= 0x80 && c < 0xA0 ? QChar(k80[c - 0x80]) : QChar(c));
    }
    return s;
}

// What the font file says, read once per installed font (reading its tables copies them): whether
// it is a TrueType (outline) font and the size of its tables.
struct FileFacts {
    bool trueType = false;
    DWORD tablesSize = 0;
};

FileFacts FactsOf(const QFont& font) {
    static std::mutex mutex;
    static std::map<QString, FileFacts> known;
    QRawFont raw = QRawFont::fromFont(font);
    const QString key = raw.familyName() + '/' + raw.styleName();
    {
        std::lock_guard lock(mutex);
        if (auto it = known.find(key); it != known.end()) return it->second;
    }
    FileFacts facts;
    static const char* const kTables[] = {"head", "hhea", "maxp", "OS/2", "hmtx", "cmap",
                                          "loca", "glyf", "name", "post", "CFF ", "kern",
                                          "GPOS", "GSUB", "GDEF", "cvt ", "fpgm", "prep",
                                          "gasp", "hdmx", "VDMX", "LTSH", "vhea", "vmtx"};
    bool head = false, outlines = false;
    for (const char* t : kTables) {
        qsizetype size = raw.isValid() ? raw.fontTable(t).size() : 0;
        facts.tablesSize += static_cast<DWORD>(size);
        if (size && std::strcmp(t, "head") == 0) head = true;
        if (size && (std::strcmp(t, "glyf") == 0 || std::strcmp(t, "CFF ") == 0)) outlines = true;
    }
    facts.trueType = head && outlines;
    std::lock_guard lock(mutex);
    known.emplace(key, facts);
    return facts;
}

ResolvedFont Make(const LOGFONTA& log) {
    ResolvedFont r;
    if (!QGuiApplication::instance()) return r;
    char nameBuf[LF_FACESIZE + 1] = {};
    std::memcpy(nameBuf, log.lfFaceName, LF_FACESIZE);
    QString name = QString::fromLatin1(nameBuf);
    QString family;
    bool raster = false;
    for (const Face& f : kFaces) {
        if (f.raster && SameFace(f.name, name)) {
            family = f.family;
            raster = true;
        }
    }
    if (family.isEmpty() && !name.isEmpty() && QFontDatabase::hasFamily(name)) family = name;
    if (family.isEmpty()) {
        for (const Face& f : kFaces) {
            if (SameFace(f.name, name)) family = f.family;
        }
    }
    if (family.isEmpty()) {
        BYTE pitch = log.lfPitchAndFamily & 3, fam = log.lfPitchAndFamily & 0xF0;
        family = pitch == FIXED_PITCH || fam == FF_MODERN ? "DejaVu Sans Mono"
                 : fam == FF_ROMAN                        ? "DejaVu Serif"
                                                          : "DejaVu Sans";
    }
    QFont font(family);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoSubpixelAntialias));
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setKerning(false);
    int weight = log.lfWeight <= 0 ? kWeightNormal : std::clamp<int>(log.lfWeight, 100, 900);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setItalic(log.lfItalic != 0);
    font.setUnderline(log.lfUnderline != 0);
    font.setStrikeOut(log.lfStrikeOut != 0);
    // A negative height is the character height, a positive one the cell height.
    LONG height = log.lfHeight == 0 ? 16 : log.lfHeight;
    int em = height < 0 ? -height : height;
    em = std::clamp(em, 1, 2048);
    font.setPixelSize(em);
    if (height > 0) {
        QFontMetrics fm(font);
        int cell = fm.ascent() + fm.descent();
        if (cell > 0 && cell != em) {
            em = std::max(1, static_cast<int>(static_cast<long long>(em) * em / cell));
            font.setPixelSize(em);
            while (em > 1 && QFontMetrics(font).ascent() + QFontMetrics(font).descent() > height) {
                font.setPixelSize(--em);
            }
        }
    }
    if (log.lfWidth != 0) {
        int natural = QFontMetrics(font).averageCharWidth();
        if (natural > 0) {
            int stretch = static_cast<int>(100LL * std::abs(log.lfWidth) / natural);
            font.setStretch(std::clamp(stretch, 1, 4000));
        }
    }
    QFontMetrics fm(font);
    r.valid = true;
    r.font = font;
    r.ascent = fm.ascent();
    r.descent = fm.descent();
    r.internalLeading = std::max(0, r.ascent + r.descent - em);
    r.externalLeading = std::max(0, fm.leading());
    r.aveCharWidth = fm.averageCharWidth();
    r.maxCharWidth = fm.maxWidth();
    r.weight = weight;
    r.fixedPitch = QFontInfo(font).fixedPitch();
    if (!raster) {
        FileFacts facts = FactsOf(font);
        r.trueType = facts.trueType;
        r.tablesSize = facts.tablesSize;
    }
    return r;
}

FontObject* FontOf(const DCObject& dc) {
    return static_cast<FontObject*>(dc.state.font.object.get());
}

int Advance(const ResolvedFont& f, const QString& s) {
    return s.isEmpty() ? 0 : QFontMetrics(f.font).horizontalAdvance(s);
}

// Draws one line whose cell's top-left is (x, top) in device coordinates, clipped also to `clip`
// when given; the OPAQUE background fills the cell.
void DrawLine(Canvas& canvas, const DCObject& dc, const ResolvedFont& f, const QString& s, int x,
              int top, const std::optional<QRect>& clip, int underlineAt = -1) {
    const int width = Advance(f, s), height = f.ascent + f.descent;
    QRegion area = canvas.areaIsRect ? QRegion(canvas.areaBox) : canvas.area;
    if (clip) area = area.intersected(*clip);
    if (canvas.readOnlyWindow || area.isEmpty()) return;
    DWORD text = ResolveColor(dc, dc.state.textColor);
    if (canvas.mono) text = MonoWord(text);
    if (dc.state.bkMode == OPAQUE && width > 0) {
        Paint bk = SolidPaint(dc, canvas, dc.state.bkColor);
        Canvas c = canvas;
        c.area = area;
        c.areaBox = area.boundingRect();
        c.areaIsRect = area.rectCount() <= 1;
        PaintRegion(c, QRegion(x, top, width, height), bk, R2_COPYPEN);
    }
    if (s.isEmpty()) return;
    const int pad = f.ascent + f.descent;
    QImage mask(width + 2 * pad, height + 2, QImage::Format_Grayscale8);
    if (mask.isNull()) return;
    mask.fill(0);
    {
        QPainter p(&mask);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setFont(f.font);
        p.setPen(Qt::white);
        p.drawText(QPoint(pad, f.ascent), s);
        if (underlineAt >= 0 && underlineAt < s.size()) {
            int ux = pad + Advance(f, s.left(underlineAt));
            int uw = std::max(1, Advance(f, s.mid(underlineAt, 1)));
            p.fillRect(QRect(ux, f.ascent + 1, uw, 1), Qt::white);
        }
    }
    QImage& image = canvas.bitmap->image;
    const int ox = canvas.origin.x(), oy = canvas.origin.y();
    const QRgb colour = 0xFF000000u | text;
    const bool rect = area.rectCount() <= 1;
    const QRect box = area.boundingRect();
    for (int my = 0; my < mask.height(); ++my) {
        const uchar* m = mask.constScanLine(my);
        int dy = top + my;
        for (int mx = 0; mx < mask.width(); ++mx) {
            if (m[mx] < 128) continue;
            int dx = x - pad + mx;
            QPoint d(dx, dy);
            if (rect ? !box.contains(d) : !area.contains(d)) continue;
            reinterpret_cast<QRgb*>(image.scanLine(dy + oy))[dx + ox] = colour;
        }
    }
}

void Done(const Canvas& canvas) {
    if (canvas.bitmap->surface) NotifyDrawn(*canvas.bitmap);
}

struct Prefixed {
    QString text;
    int underline = -1;
};

// "&x" shows x underlined, "&&" shows "&".
Prefixed StripPrefix(const QString& s) {
    Prefixed out;
    for (int i = 0; i < s.size(); ++i) {
        if (s[i] == '&') {
            if (i + 1 < s.size() && s[i + 1] == '&') {
                out.text.append('&');
                ++i;
            } else if (i + 1 < s.size()) {
                out.underline = static_cast<int>(out.text.size());
            }
            continue;
        }
        out.text.append(s[i]);
    }
    return out;
}

}  // namespace

namespace platform::gdi::internal {

const ResolvedFont& Resolve(FontObject& font) {
    static const ResolvedFont invalid;
    std::lock_guard lock(font.mutex);
    if (!font.resolved) {
        ResolvedFont r = Make(font.log);
        if (!r.valid) return invalid;  // tried again once there is an application object
        font.resolved = std::move(r);
    }
    return *font.resolved;
}

}  // namespace platform::gdi::internal

HFONT CreateFontIndirectA(const LOGFONTA* lplf) {
    if (!lplf) return nullptr;
    auto f = std::make_shared<FontObject>();
    f->log = *lplf;
    f->log.lfFaceName[LF_FACESIZE - 1] = 0;
    return As<HFONT>(Add(f));
}

HFONT CreateFontA(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight,
                  DWORD bItalic, DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet,
                  DWORD iOutPrecision, DWORD iClipPrecision, DWORD iQuality, DWORD iPitchAndFamily,
                  LPCSTR pszFaceName) {
    LOGFONTA lf{};
    lf.lfHeight = cHeight;
    lf.lfWidth = cWidth;
    lf.lfEscapement = cEscapement;
    lf.lfOrientation = cOrientation;
    lf.lfWeight = cWeight;
    lf.lfItalic = static_cast<BYTE>(bItalic != 0);
    lf.lfUnderline = static_cast<BYTE>(bUnderline != 0);
    lf.lfStrikeOut = static_cast<BYTE>(bStrikeOut != 0);
    lf.lfCharSet = static_cast<BYTE>(iCharSet);
    lf.lfOutPrecision = static_cast<BYTE>(iOutPrecision);
    lf.lfClipPrecision = static_cast<BYTE>(iClipPrecision);
    lf.lfQuality = static_cast<BYTE>(iQuality);
    lf.lfPitchAndFamily = static_cast<BYTE>(iPitchAndFamily);
    if (pszFaceName) std::strncpy(lf.lfFaceName, pszFaceName, LF_FACESIZE - 1);
    return CreateFontIndirectA(&lf);
}

BOOL GetTextExtentPoint32A(HDC hdc, LPCSTR lpString, int c, SIZE* psizl) {
    auto dc = DcOf(hdc);
    if (!dc || !psizl || c < 0 || (c > 0 && !lpString)) return FALSE;
    FontObject* font = FontOf(*dc);
    if (!font) return FALSE;
    const ResolvedFont& f = Resolve(*font);
    if (!f.valid) return FALSE;
    psizl->cx = Advance(f, Decode(lpString, c));
    psizl->cy = f.ascent + f.descent;
    return TRUE;
}

BOOL GetTextMetricsA(HDC hdc, TEXTMETRICA* tm) {
    auto dc = DcOf(hdc);
    if (!dc || !tm) return FALSE;
    FontObject* font = FontOf(*dc);
    if (!font) return FALSE;
    const ResolvedFont& f = Resolve(*font);
    if (!f.valid) return FALSE;
    *tm = TEXTMETRICA{};
    tm->tmHeight = f.ascent + f.descent;
    tm->tmAscent = f.ascent;
    tm->tmDescent = f.descent;
    tm->tmInternalLeading = f.internalLeading;
    tm->tmExternalLeading = f.externalLeading;
    tm->tmAveCharWidth = f.aveCharWidth;
    tm->tmMaxCharWidth = f.maxCharWidth;
    tm->tmWeight = f.weight;
    tm->tmDigitizedAspectX = 96;
    tm->tmDigitizedAspectY = 96;
    tm->tmFirstChar = 0x20;
    tm->tmLastChar = 0xFF;
    tm->tmDefaultChar = 0x1F;
    tm->tmBreakChar = 0x20;
    tm->tmItalic = font->log.lfItalic;
    tm->tmUnderlined = font->log.lfUnderline;
    tm->tmStruckOut = font->log.lfStrikeOut;
    tm->tmPitchAndFamily = static_cast<BYTE>((font->log.lfPitchAndFamily & 0xF0) |
                                             (f.fixedPitch ? 0 : TMPF_FIXED_PITCH) |
                                             (f.trueType ? TMPF_TRUETYPE | TMPF_VECTOR : 0));
    tm->tmCharSet = font->log.lfCharSet;
    return TRUE;
}

int GetTextFaceA(HDC hdc, int c, LPSTR lpName) {
    auto dc = DcOf(hdc);
    if (!dc) return 0;
    FontObject* font = FontOf(*dc);
    if (!font) return 0;
    int n = static_cast<int>(strnlen(font->log.lfFaceName, LF_FACESIZE));
    if (!lpName) return n + 1;
    if (c <= 0) return 0;
    int copy = std::min(n, c - 1);
    std::memcpy(lpName, font->log.lfFaceName, copy);
    lpName[copy] = 0;
    return copy;
}

BOOL TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c) {
    auto dc = DcOf(hdc);
    if (!dc || c < 0 || (c > 0 && !lpString)) return FALSE;
    FontObject* font = FontOf(*dc);
    if (!font) return FALSE;
    const ResolvedFont& f = Resolve(*font);
    if (!f.valid) return FALSE;
    auto canvas = OpenCanvas(*dc);
    if (!canvas) return FALSE;
    QString s = Decode(lpString, c);
    const int width = Advance(f, s);
    const UINT align = dc->state.textAlign;
    if (align & TA_UPDATECP) {
        x = dc->state.position.x();
        y = dc->state.position.y();
    }
    QPoint p = ToDevice(*dc, x, y);
    int left = p.x(), top = p.y();
    if ((align & TA_CENTER) == TA_CENTER) {
        left -= width / 2;
    } else if (align & TA_RIGHT) {
        left -= width;
    }
    if ((align & TA_BASELINE) == TA_BASELINE) {
        top -= f.ascent;
    } else if (align & TA_BOTTOM) {
        top -= f.ascent + f.descent;
    }
    {
        PixelLock lock(canvas->bitmap.get());
        DrawLine(*canvas, *dc, f, s, left, top, std::nullopt);
    }
    if (align & TA_UPDATECP) {
        int move = (align & TA_CENTER) == TA_CENTER ? 0 : (align & TA_RIGHT) ? -width : width;
        dc->state.position.rx() += move;
    }
    Done(*canvas);
    return TRUE;
}

int DrawTextA(HDC hdc, LPCSTR lpchText, int cchText, LPRECT lprc, UINT format) {
    auto dc = DcOf(hdc);
    if (!dc || !lprc || (!lpchText && cchText != 0)) return 0;
    FontObject* font = FontOf(*dc);
    if (!font) return 0;
    const ResolvedFont& f = Resolve(*font);
    if (!f.valid) return 0;
    int n = cchText < 0 ? static_cast<int>(std::strlen(lpchText)) : cchText;
    QString all = Decode(lpchText, n);
    // Tabs: stops every eight average characters with DT_EXPANDTABS, a space otherwise.
    if (format & DT_EXPANDTABS) {
        QString out;
        for (QChar ch : all) {
            if (ch == '\t') {
                do {
                    out.append(' ');
                } while (out.size() % 8);
            } else {
                out.append(ch);
            }
        }
        all = out;
    } else {
        all.replace('\t', ' ');
    }
    // Lines: paragraphs at CR LF, LF or CR; words wrapped to the width.
    std::vector<QString> paragraphs;
    if (format & DT_SINGLELINE) {
        QString one = all;
        one.remove('\r');
        one.remove('\n');
        paragraphs.push_back(one);
    } else {
        QString cur;
        for (int i = 0; i < all.size(); ++i) {
            if (all[i] == '\r' || all[i] == '\n') {
                paragraphs.push_back(cur);
                cur.clear();
                if (all[i] == '\r' && i + 1 < all.size() && all[i + 1] == '\n') ++i;
            } else {
                cur.append(all[i]);
            }
        }
        paragraphs.push_back(cur);
    }
    const int boxWidth = lprc->right - lprc->left;
    std::vector<Prefixed> lines;
    for (const QString& para : paragraphs) {
        Prefixed shown = (format & DT_NOPREFIX) ? Prefixed{para, -1} : StripPrefix(para);
        if (!(format & DT_WORDBREAK) || (format & DT_SINGLELINE) ||
            Advance(f, shown.text) <= boxWidth) {
            lines.push_back(shown);
            continue;
        }
        // Greedy: as many words as fit; a word wider than the box stays whole.
        const QString& t = shown.text;
        int start = 0;
        while (start < t.size()) {
            int fit = -1, pos = start;
            while (pos < t.size()) {
                int wordEnd = pos;
                while (wordEnd < t.size() && t[wordEnd] == ' ') ++wordEnd;
                while (wordEnd < t.size() && t[wordEnd] != ' ') ++wordEnd;
                bool fits = Advance(f, t.mid(start, wordEnd - start)) <= boxWidth;
                if (fit >= 0 && !fits) break;
                fit = wordEnd;
                pos = wordEnd;
                if (!fits) break;  // a first word wider than the box stays whole
            }
            int lastFit = fit < 0 ? static_cast<int>(t.size()) : fit;
            Prefixed line{t.mid(start, lastFit - start), -1};
            if (shown.underline >= start && shown.underline < lastFit) {
                line.underline = shown.underline - start;
            }
            lines.push_back(line);
            start = lastFit;
            while (start < t.size() && t[start] == ' ') ++start;
        }
    }
    const int lineHeight =
        f.ascent + f.descent + ((format & DT_EXTERNALLEADING) ? f.externalLeading : 0);
    const int height = lineHeight * static_cast<int>(lines.size());
    int maxWidth = 0;
    for (const Prefixed& l : lines) maxWidth = std::max(maxWidth, Advance(f, l.text));
    if (format & DT_CALCRECT) {
        lprc->right = lprc->left + maxWidth;
        lprc->bottom = lprc->top + height;
        return height;
    }
    int y0 = lprc->top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER) {
            y0 = (lprc->top + lprc->bottom - lineHeight) / 2;
        } else if (format & DT_BOTTOM) {
            y0 = lprc->bottom - lineHeight;
        }
    }
    auto canvas = OpenCanvas(*dc);
    if (!canvas) return 0;
    std::optional<QRect> clip;
    if (!(format & DT_NOCLIP)) {
        QPoint a = ToDevice(*dc, lprc->left, lprc->top),
               b = ToDevice(*dc, lprc->right, lprc->bottom);
        clip = QRect(a, QSize(b.x() - a.x(), b.y() - a.y())).normalized();
    }
    {
        PixelLock lock(canvas->bitmap.get());
        int y = y0;
        for (const Prefixed& l : lines) {
            int w = Advance(f, l.text);
            int x = lprc->left;
            if (format & DT_CENTER) {
                x = (lprc->left + lprc->right - w) / 2;
            } else if (format & DT_RIGHT) {
                x = lprc->right - w;
            }
            QPoint p = ToDevice(*dc, x, y);
            DrawLine(*canvas, *dc, f, l.text, p.x(), p.y(), clip, l.underline);
            y += lineHeight;
        }
    }
    Done(*canvas);
    if (format & DT_SINGLELINE && (format & (DT_VCENTER | DT_BOTTOM))) {
        return y0 + height - lprc->top;
    }
    return height;
}

DWORD GetFontData(HDC hdc, DWORD dwTable, DWORD dwOffset, void* pvBuffer, DWORD cjBuffer) {
    auto dc = DcOf(hdc);
    if (!dc) return GDI_ERROR;
    FontObject* font = FontOf(*dc);
    if (!font) return GDI_ERROR;
    const ResolvedFont& f = Resolve(*font);
    if (!f.valid || !f.trueType) return GDI_ERROR;
    if (dwTable == 0) return pvBuffer ? GDI_ERROR : f.tablesSize;
    QRawFont raw = QRawFont::fromFont(f.font);
    char tag[5] = {char(dwTable & 255), char((dwTable >> 8) & 255), char((dwTable >> 16) & 255),
                   char((dwTable >> 24) & 255), 0};
    QByteArray data = raw.fontTable(tag);
    if (data.isEmpty() || dwOffset > static_cast<DWORD>(data.size())) return GDI_ERROR;
    DWORD available = static_cast<DWORD>(data.size()) - dwOffset;
    if (!pvBuffer) return available;
    DWORD n = std::min(available, cjBuffer);
    std::memcpy(pvBuffer, data.constData() + dwOffset, n);
    return n;
}

DWORD SetMapperFlags(HDC hdc, DWORD flags) {
    auto dc = DcOf(hdc);
    if (!dc) return GDI_ERROR;
    return std::exchange(dc->state.mapperFlags, flags);
}
