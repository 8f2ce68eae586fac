// Skins written into the test's program folder.
#pragma once

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <map>
#include <string>
#include <vector>

#include "tests/player/PlayerFixture.h"
#include "tests/support/media_files.h"

// The 36 position keys in the order the skin applies them, with the element each places.
inline const std::vector<std::pair<std::string, std::string>>& PositionKeys() {
    static const std::vector<std::pair<std::string, std::string>> keys = {
        {"MinT", "QuixLabel1"},
        {"MinL", "QuixLabel1"},
        {"CloseT", "QuixLabel2"},
        {"CloseL", "QuixLabel2"},
        {"AbouT", "QuixLabel3"},
        {"AboutL", "QuixLabel3"},
        {"VideoT", "QuixLabel4"},
        {"VideoL", "QuixLabel4"},
        {"AssociateT", "QuixLabel5"},
        {"AssociateL", "QuixLabel5"},
        {"BrowseT", "QuixLabel6"},
        {"BrowseL", "QuixLabel6"},
        {"LisT", "QuixLabel7"},
        {"ListL", "QuixLabel7"},
        {"RemoteT", "QuixLabel8"},
        {"RemoteL", "QuixLabel8"},
        {"TimeT", "Label11"},
        {"TimeL", "Label11"},
        {"DurationT", "Label1"},
        {"DurationL", "Label1"},
        {"TitleT", "Label24"},
        {"TitleL", "Label24"},
        {"VolT", "vol"},
        {"VoltL", "vol"},
        {"PgT", "Pg"},
        {"PgL", "Pg"},
        {"PlayT", "Command1"},
        {"PlayL", "Command1"},
        {"PreviousT", "Command2"},
        {"PreviousL", "Command2"},
        {"PauseT", "Command4"},
        {"PauseL", "Command4"},
        {"StopT", "Command5"},
        {"StopL", "Command5"},
        {"NexT", "Command6"},
        {"NextL", "Command6"},
    };
    return keys;
}

struct Skin {
    enum class Pictures { JpgAndBmp, Gif, Hidden, None };
    std::string file;      // the description file's name, without ".ini"
    std::string skinName;  // its SkinName
    std::string folder = "Sk";
    std::string colour = "&H0000FFFF&";
    std::string top = "1500";
    Pictures pictures = Pictures::JpgAndBmp;
    std::vector<std::string> omit = {};           // keys left out
    std::map<std::string, std::string> set = {};  // position keys with values of their own
    int seed = 1;                                 // varies positions and face colour
};

// A face of 300 x 200 pixels: a rounded plate on magenta, with a magenta hole in its middle.
inline QImage Face(int seed) {
    QImage img(300, 200, QImage::Format_RGB32);
    img.fill(QColor(255, 0, 255));
    QPainter p(&img);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20 * seed % 200, 80, 120));
    p.drawRoundedRect(QRect(10, 10, 280, 180), 30, 30);
    p.fillRect(QRect(140, 90, 20, 20), QColor(255, 0, 255));
    return img;
}

inline std::string PositionOf(const std::string& key, int seed) {
    int i = 0;
    for (const auto& [k, element] : PositionKeys()) {
        if (k == key) break;
        ++i;
    }
    int element = i / 2;
    bool isTop = i % 2 == 0;
    return std::to_string(isTop ? 300 + 15 * seed + (element % 6) * 390
                                : 300 + (element / 6) * 1350);
}

inline std::string Bytes(const QImage& img, const char* format) {
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, format, 100);
    return out.toStdString();
}

inline void WriteSkin(const std::string& program, const Skin& s) {
    using testing_support::WriteFile;
    std::string dir = program + "/" + s.folder + "/";
    std::string ini = "[SkinName]\r\nSkinName=" + s.skinName +
                      "\r\n[TextColor]\r\nForeColor=" + s.colour +
                      "\r\n[Position]\r\nTop=" + s.top + "\r\n[Settings]\r\n";
    for (const auto& [key, element] : PositionKeys()) {
        if (std::find(s.omit.begin(), s.omit.end(), key) != s.omit.end()) continue;
        auto own = s.set.find(key);
        ini += key + "=" + (own != s.set.end() ? own->second : PositionOf(key, s.seed)) + "\r\n";
    }
    ini += "[Info]\r\nAuthorName=Tests\r\n";
    WriteFile(dir + s.file + ".ini", ini);
    QImage face = Face(s.seed);
    QImage back = face;
    back.fill(QColor(10, 20, 30));
    switch (s.pictures) {
        case Skin::Pictures::JpgAndBmp:
            WriteFile(dir + s.skinName + ".jpg", Bytes(back, "JPG"));
            WriteFile(dir + s.skinName + ".bmp", Bytes(face, "BMP"));
            break;
        case Skin::Pictures::Hidden:
            WriteFile(dir + s.skinName + ".JKwo", Bytes(back, "JPG"));
            WriteFile(dir + s.skinName + ".BKwo", Bytes(face, "BMP"));
            break;
        case Skin::Pictures::Gif:
            WriteFile(dir + s.skinName + ".gif", testing_support::Gif(face));
            break;
        case Skin::Pictures::None:
            break;
    }
}

class SkinTest : public PlayerTest {
protected:
    void Settings(const std::string& skin) {
        testing_support::WriteFile(program / "Settings.ini",
                                   "[Configuration]\r\nSkin=" + skin + "\r\n");
    }
    vb::Control& Element(const std::string& name) { return *frmMain1->ControlByName(name); }
    // Every element stands where the skin's keys put it.
    void ExpectPlaced(int seed, size_t upTo = 36) {
        size_t i = 0;
        for (const auto& [key, name] : PositionKeys()) {
            if (i++ >= upTo) break;
            float expected = std::stof(PositionOf(key, seed));
            float actual = key.back() == 'T' ? Element(name).Top() : Element(name).Left();
            EXPECT_FLOAT_EQ(actual, expected) << key;
        }
    }
};
