// A process with a findable window: class "ThunderRT6FormDC", title "Startup", and a child text
// box. It prints "ready", then prints every text the box receives until it receives "quit".
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QWidget>
#include <cstdio>

#include "platform/win/messages.h"
#include "tests/platform/win/startup_form.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    testing_support::StartUpForm startUp;
    QWidget& form = startUp.form;
    QLineEdit* box = startUp.box;
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
