// make-data: writes the player's data files into a folder.
//   make-data <folder> [--preview <folder>]
// The preview folder receives contact.png (every face as the player shows it), outlines.png (the
// same with the element rectangles outlined) and a double-size picture of each face.
#include <QGuiApplication>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tools/make-data/art.h"
#include "tools/make-data/encoders.h"
#include "tools/make-data/preview.h"
#include "tools/make-data/skins.h"

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
            std::fprintf(stderr, "usage: make-data <folder> [--preview <folder>]\n");
            return 2;
        }
    }
    if (folder.empty()) {
        std::fprintf(stderr, "usage: make-data <folder> [--preview <folder>]\n");
        return 2;
    }
    const fs::path out(folder);
    try {
        std::vector<std::pair<QString, QImage>> sheet, debug;
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
                std::fprintf(stderr, "%s: %s\n", skin.name.c_str(), problem.c_str());
                ++failures;
            }
            const fs::path dir = out / skin.folder;
            Write(dir / (skin.name + ".ini"), SkinIni(skin));
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
            const QString caption =
                QString::fromStdString(skin.folder + "/" + skin.name) +
                QString(" %1x%2").arg(skin.face.width()).arg(skin.face.height());
            sheet.emplace_back(caption, PreviewSkin(skin, false));
            debug.emplace_back(caption, PreviewSkin(skin, true));
        }
        if (!previewDir.empty()) {
            fs::create_directories(previewDir);
            const QString dir = QString::fromStdString(previewDir) + "/";
            ContactSheet(sheet, 2).save(dir + "contact.png");
            ContactSheet(debug, 2).save(dir + "outlines.png");
            for (auto& [caption, img] : sheet) {
                QString name = caption.section(' ', 0, 0).replace('/', '-');
                img.scaled(img.size() * 2).save(dir + name + "@2x.png");
            }
        }
        if (failures) return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make-data: %s\n", e.what());
        return 1;
    }
    return 0;
}
