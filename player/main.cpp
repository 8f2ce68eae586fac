// Kesto: the start-up form runs first and stays loaded as the single-instance mailbox.
#include <QApplication>
#include <QTimer>

#include "platform/controls/MediaEngine.h"
#include "platform/vb/App.h"
#include "player/Form5.h"

int main(int argc, char** argv) {
    vb::SetCommandLine(argc, argv);
    // GStreamer starts on a thread of its own in the first instance only (a later start just
    // hands its file over): beside Qt and the forms when a file is to play before the window
    // shows, else a little after the window is up, so that loading its libraries does not hold
    // up Qt's own loading and the first paint (the first file played waits for what is left).
    const bool first = !vb::App::PrevInstance();
    if (first && !vb::Command().empty()) controls::PrepareGstEngine();
    QApplication app(argc, argv);
    QApplication::setApplicationName("Kesto");
    QApplication::setQuitOnLastWindowClosed(false);
    vb::App::SetTitle("Kesto");
    Form5.Get();
    if (first) QTimer::singleShot(250, [] { controls::PrepareGstEngine(); });
    return app.exec();
}
