// Kesto: the start-up form runs first and stays loaded as the single-instance mailbox.
#include <QApplication>

#include "platform/vb/App.h"
#include "player/Form5.h"

int main(int argc, char** argv) {
    vb::SetCommandLine(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName("Kesto");
    QApplication::setQuitOnLastWindowClosed(false);
    vb::App::SetTitle("Kesto");
    Form5.Get();
    return app.exec();
}
