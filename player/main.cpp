// kesto-player, the player that the launcher Kesto starts: the start-up form runs first and stays
// loaded as the single-instance mailbox.
#include <QApplication>
#include <QTimer>

#include "platform/controls/MediaEngine.h"
#include "platform/files/files.h"
#include "platform/registry/registry.h"
#include "platform/vb/App.h"
#include "player/Form5.h"

int main(int argc, char** argv) {
    // Started by the launcher Kesto: its name and folder are this program's.
    platform::files::TakeLauncherPath();
    vb::SetCommandLine(argc, argv);
    // The first instance (a later start only hands its file over) loads the GStreamer module and
    // starts GStreamer on a thread of its own a little after the window is up: started beside
    // Qt's own loading it would hold that up. A file played before then loads it on the spot.
    const bool first = !vb::App::PrevInstance();
    QApplication app(argc, argv);
    QApplication::setApplicationName("Kesto");
    QApplication::setQuitOnLastWindowClosed(false);
    vb::App::SetTitle("Kesto");
    // Settings are put in place on the disk by a worker, so that the start (which counts itself
    // in the registry) does not wait for the disk before its window shows; the end flushes them.
    platform::registry::SetWriteBehind(true);
    Form5.Get();
    if (first) QTimer::singleShot(250, [] { controls::PrepareGstEngine(); });
    return app.exec();
}
