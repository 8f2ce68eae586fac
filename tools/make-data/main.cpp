// make-data: writes the player's data files into a folder.
//   make-data <folder> [--preview <folder>]
// The preview folder receives contact.png (every face as the player shows it), outlines.png (the
// same with the element rectangles outlined), a double-size picture of each face and
// cursors.png. Exits with 1 when a face breaks a rule of the player (see Check).
#include <QGuiApplication>
#include <QPainter>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/base/report.h"
#include "tools/make-data/art.h"
#include "tools/make-data/cursors.h"
#include "tools/make-data/encoders.h"
#include "tools/make-data/preview.h"
#include "tools/make-data/skins.h"
#include "tools/make-data/sound.h"
#include "tools/make-data/windows.h"

namespace fs = std::filesystem;
using namespace makedata;

namespace {

void Write(const fs::path& path, const Bytes& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
    std::printf("%8zu  %s\n", bytes.size(), path.string().c_str());
}

// The number of problems (0 or 1) when a window face's top-left pixel is not the key or a
// rectangle the program places on it is not all face.
int RequireFace(const char* what, const QImage& face, const QRect& r) {
    const QRgb key = face.pixel(0, 0);
    if ((key | 0xFF000000u) != kKey) {
        platform::base::Report(what, "top-left pixel is not the key");
        return 1;
    }
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            if (!face.rect().contains(x, y) || face.pixel(x, y) == key) {
                platform::base::Report(
                    what, "(" + std::to_string(x) + ", " + std::to_string(y) + ") is not face");
                return 1;
            }
        }
    }
    return 0;
}

// The rectangles the program places on a window face, outlined.
QImage Outlined(const QImage& face, const std::vector<QRect>& rects) {
    QImage img = PreviewFace(face);
    QPainter p(&img);
    p.setPen(QColor(255, 255, 0));
    for (const QRect& r : rects) p.drawRect(r.adjusted(0, 0, -1, -1));
    return img;
}

// The cursors, four times their size over light and dark grounds, hot spots marked.
QImage CursorSheet(const std::vector<Cursor>& cursors) {
    QImage sheet(cursors.size() * 144, 280, QImage::Format_RGB32);
    QPainter p(&sheet);
    for (size_t i = 0; i < cursors.size(); ++i) {
        for (int ground = 0; ground < 2; ++ground) {
            const QRect cell(static_cast<int>(i) * 144, ground * 140, 144, 140);
            p.fillRect(cell, ground ? QColor(40, 44, 52) : QColor(226, 230, 236));
            const QPoint at = cell.topLeft() + QPoint(8, 6);
            p.drawImage(QRect(at, QSize(128, 128)), cursors[i].image);
            p.setPen(QColor(255, 0, 0));
            const QPoint hot = at + cursors[i].hotspot * 4 + QPoint(2, 2);
            p.drawLine(hot - QPoint(6, 0), hot + QPoint(6, 0));
            p.drawLine(hot - QPoint(0, 6), hot + QPoint(0, 6));
        }
    }
    return sheet;
}

// The faces as the player shows them (sheet) and with their element rectangles outlined (debug).
struct Previews {
    std::vector<std::pair<QString, QImage>> sheet, debug;
};

// Every skin's description file and pictures, each in its folder. Returns the number of problems.
int WriteSkins(const fs::path& out, Previews& previews) {
    int failures = 0;
    for (Skin skin : AllSkins()) {
        Bytes gif;
        if (skin.storage == Storage::kGif) {
            // Checked and previewed as the player will see it: decoded from the GIF.
            gif = EncodeGif(Quantize(skin.face, kKey));
            skin.face = QImage::fromData(reinterpret_cast<const uchar*>(gif.data()),
                                         static_cast<int>(gif.size()), "GIF")
                            .convertToFormat(QImage::Format_RGB32);
        }
        for (const std::string& problem : Check(skin)) {
            platform::base::Report(skin.name, problem);
            ++failures;
        }
        const fs::path dir = out / skin.folder;
        const std::string ini = SkinIni(skin);
        if (LayoutFromIni(ini) != skin.layout) {
            platform::base::Report(skin.name, "description file does not round-trip");
            ++failures;
        }
        Write(dir / (skin.name + ".ini"), ini);
        switch (skin.storage) {
            case Storage::kBmpJpg:
                Write(dir / (skin.name + ".bmp"), EncodeBmp(skin.face));
                Write(dir / (skin.name + ".jpg"), EncodeJpeg(skin.face, 80));
                break;
            case Storage::kGif:
                Write(dir / (skin.name + ".gif"), gif);
                break;
            case Storage::kHiddenExt:
                Write(dir / (skin.name + ".BKwo"), EncodeBmp(skin.face));
                Write(dir / (skin.name + ".JKwo"), EncodeJpeg(skin.face, 80));
                break;
        }
        const QString caption = QString::fromStdString(skin.folder + "/" + skin.name) +
                                QString(" %1x%2").arg(skin.face.width()).arg(skin.face.height());
        // The previews place the elements where the written description file says.
        Skin shown = skin;
        shown.layout = LayoutFromIni(ini);
        previews.sheet.emplace_back(caption, PreviewSkin(shown, false));
        previews.debug.emplace_back(caption, PreviewSkin(shown, true));
    }
    return failures;
}

// The player's settings file, naming the start-up skin.
void WriteSettings(const fs::path& out) {
    Write(out / "Settings.ini", std::string("[Configuration]\r\nskin=Tavro\r\n"));
}

// The faces of the about box and the skin chooser. Returns the number of problems.
int WriteWindowFaces(const fs::path& out, Previews& previews) {
    int failures = 0;
    const QImage about = AboutFace();
    failures += RequireFace("About.bmp", about, AboutCloseMark());
    Write(out / "About.bmp", EncodeBmp(about));
    const QImage chooser = ChooserFace();
    failures += RequireFace("skin.bmp", chooser, ChooserList());
    std::vector<QRect> chooserRects{ChooserList()};
    for (int i = 0; i < 3; ++i) {
        failures += RequireFace("skin.bmp", chooser, ChooserButton(i));
        chooserRects.push_back(ChooserButton(i));
    }
    Write(out / "skin.bmp", EncodeBmp(chooser));
    previews.sheet.emplace_back("About.bmp", PreviewFace(about));
    previews.sheet.emplace_back("skin.bmp", PreviewFace(chooser));
    previews.debug.emplace_back("About.bmp", Outlined(about, {AboutCloseMark()}));
    previews.debug.emplace_back("skin.bmp", Outlined(chooser, chooserRects));
    return failures;
}

std::vector<Cursor> WriteCursors(const fs::path& out) {
    std::vector<Cursor> cursors = AllCursors();
    for (const Cursor& c : cursors) Write(out / c.file, EncodeCursor(c.image, c.hotspot));
    return cursors;
}

void WriteSounds(const fs::path& out) {
    Write(out / "aah.wav", EncodeWav(Blip(), kSoundRate));
    Write(out / "Kesto.wav", EncodeWav(Chime(), kSoundRate));
    Write(out / "demo" / "Kesto Demo.wav", EncodeWav(DemoTrack(), kSoundRate));
}

void WritePreviews(const std::string& previewDir, const Previews& previews,
                   const std::vector<Cursor>& cursors) {
    fs::create_directories(previewDir);
    const QString dir = QString::fromStdString(previewDir) + "/";
    ContactSheet(previews.sheet, 2).save(dir + "contact.png");
    ContactSheet(previews.debug, 2).save(dir + "outlines.png");
    CursorSheet(cursors).save(dir + "cursors.png");
    for (auto& [caption, img] : previews.sheet) {
        QString name = caption.section(' ', 0, 0).replace('/', '-');
        img.scaled(img.size() * 2).save(dir + name + "@2x.png");
    }
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    std::string folder, previewDir;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--preview" && i + 1 < argc) {
            previewDir = argv[++i];
        } else if (folder.empty() && a[0] != '-') {
            folder = a;
        } else {
            folder.clear();
            break;
        }
    }
    if (folder.empty()) {
        platform::base::Report("usage", "make-data <folder> [--preview <folder>]");
        return 2;
    }
    const fs::path out(folder);
    try {
        Previews previews;
        int failures = WriteSkins(out, previews);
        WriteSettings(out);
        failures += WriteWindowFaces(out, previews);
        const std::vector<Cursor> cursors = WriteCursors(out);
        WriteSounds(out);
        if (!previewDir.empty()) WritePreviews(previewDir, previews, cursors);
        if (failures) return 1;
    } catch (const std::exception& e) {
        platform::base::Report("make-data", e.what());
        return 1;
    }
    return 0;
}
