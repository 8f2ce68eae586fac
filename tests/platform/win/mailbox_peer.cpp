// A process with a findable window: class "ThunderRT6FormDC", title "Startup", and a child text
// box. It prints "ready", then prints every text the box receives until it receives "quit".
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QWidget>
#include <cstdio>

#include "platform/win/messages.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget form;
    form.setWindowTitle("Startup");
    platform::win::SetWindowClass(&form, "ThunderRT6FormDC");
    auto* box = new QLineEdit(&form);
    platform::win::SetWindowClass(box, "ThunderRT6TextBox");
    QObject::connect(box, &QLineEdit::textChanged, [&](const QString& t) {
        std::printf("got:%s\n", t.toUtf8().constData());
        std::fflush(stdout);
        if (t == "quit") app.quit();
    });
    auto* list = new QListWidget(&form);
    platform::win::SetWindowClass(list, "ThunderRT6ListBox");
    list->addItems({"first.mp3", "second title"});
    if (!platform::win::PublishWindows()) return 2;
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}
