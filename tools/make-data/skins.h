// The skins of the main window: where each element sits, the face picture, and the description
// file; plus the shared seats that the faces paint under the elements.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <array>
#include <string>
#include <vector>

namespace makedata {

// The elements a skin places, in the order of the description file.
enum Element {
    kMin,
    kClose,
    kAbout,
    kVideo,
    kAssoc,
    kBrowse,
    kList,
    kMenu,
    kTime,
    kDuration,
    kTitle,
    kVol,
    kPos,
    kPlay,
    kPrevious,
    kPause,
    kStop,
    kNext,
    kElementCount
};

struct ElementInfo {
    const char* topKey;
    const char* leftKey;
    QSize size;
    const char* sample;  // what the player shows there, for previews
};
const ElementInfo& Info(Element e);

// Where a skin puts its elements: the top-left corner of each, in face pixels.
using Layout = std::array<QPoint, kElementCount>;
inline QRect Rect(const Layout& l, Element e) {
    return QRect(l[e], Info(e).size);
}
// An element's rectangle grown by dx, dy on each side.
inline QRectF Around(const Layout& l, Element e, qreal dx, qreal dy) {
    return QRectF(Rect(l, e)).adjusted(-dx, -dy, dx, dy);
}

// The folder a skin goes to and how its pictures are stored.
enum class Storage {
    kBmpJpg,     // <SkinName>.bmp and <SkinName>.jpg
    kGif,        // <SkinName>.gif, face and background in one
    kHiddenExt,  // <SkinName>.BKwo (BMP bytes) and <SkinName>.JKwo (JPEG bytes)
};

struct Skin {
    std::string folder;  // "Sk" or "Skins"
    std::string name;    // the description file's base name and SkinName
    std::string author;
    Storage storage = Storage::kBmpJpg;
    QColor foreColor;
    int windowTop = 1200;  // twips
    Layout layout{};
    QImage face;  // finished: key colour outside the outline
};

// The description file of a skin, CR LF lines.
std::string SkinIni(const Skin& skin);

// The element positions read back from a description file (pixels); positions it lacks stay at
// (-1000, -1000).
Layout LayoutFromIni(const std::string& ini);

// Checks a skin: top-left pixel is the key, every element lies on face pixels, no two elements
// overlap, and some face is left free to drag by. Returns the problems found.
std::vector<std::string> Check(const Skin& skin);

// The skins, in catalogue order.
std::vector<Skin> AllSkins();
Skin Tavro();
Skin Nocturne();
Skin Argent();
Skin Author();
Skin Green1();
Skin Vesper();
Skin Ember();

// The label font of the player (DejaVu Sans 8 pt bold) and fonts for face lettering.
QFont LabelFont();
QFont Lettering(const char* family, qreal pixels, int weight, qreal spacing = 0);

// Shared seats. All paint into an RGB32 painting.
struct LcdStyle {
    QColor top, bottom;  // the glass
    QColor bezelDark, bezelLight;
    QColor grid;          // faint scan lines
    float glare = 0.06f;  // the glass reflection
};
// A recessed display panel.
void LcdPanel(QImage& img, const QRectF& r, qreal radius, const LcdStyle& s);
// A seat for a caption label: a rounded key, raised or recessed, in a colour.
void KeySeat(QImage& img, const QRectF& r, QColor base, bool raised, qreal radius = -1);
// The trough around a bar.
void BarSlot(QImage& img, const QRectF& bar, QColor rim);
// A recessed well in the colour of the transport buttons' ground.
void ButtonWell(QImage& img, const QPainterPath& path, int depth = 4);
// Letters in a path, lit as raised (or engraved) into the surface.
void Letters(QImage& img, const QString& text, const QFont& font, QPointF baseline, QColor colour,
             bool raised, float strength = 0.5f);
// A soft glowing line along a path.
void Glow(QImage& img, const QPainterPath& path, QColor colour, qreal width, int blur, float core);
// A gloss over the upper part of a shape: white fading from `top` to nothing at `fade`.
void Gloss(QImage& img, const QPainterPath& shape, qreal top, qreal fade, float strength);
// Fills a path with a vertical gradient of stops.
void FillVertical(QImage& img, const QPainterPath& path,
                  const std::vector<std::pair<qreal, QColor>>& stops);
// A small screw head.
void Screw(QImage& img, QPointF c, qreal r, QColor metal, qreal angle);
// Holes of a speaker grille inside a path.
void Grille(QImage& img, const QPainterPath& area, qreal pitch, qreal hole, QColor dark);

// The ground colour of the transport buttons' own pictures.
inline constexpr QRgb kButtonGround = 0xFF181C24u;  // 24, 28, 36

}  // namespace makedata
