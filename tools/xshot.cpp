// xshot <out.png> [delay-ms]: saves a picture of the whole X screen ($DISPLAY).
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QThread>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: xshot <out.png> [delay-ms]\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    if (argc > 2) QThread::msleep(std::strtoul(argv[2], nullptr, 10));
    QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0);
    return shot.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
