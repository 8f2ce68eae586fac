// xshot <out.png> [delay-ms [x y width height]]: saves a picture of the X screen ($DISPLAY), or
// of a part of it.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QThread>
#include <cstdlib>

#include "platform/base/report.h"

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3 && argc != 7) {
        platform::base::Report("usage", "xshot <out.png> [delay-ms [x y width height]]");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    if (argc > 2) QThread::msleep(std::strtoul(argv[2], nullptr, 10));
    int x = 0, y = 0, w = -1, h = -1;
    if (argc == 7) {
        x = std::atoi(argv[3]), y = std::atoi(argv[4]), w = std::atoi(argv[5]),
        h = std::atoi(argv[6]);
    }
    QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0, x, y, w, h);
    return shot.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
