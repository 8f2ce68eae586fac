#include "platform/win/sound.h"

#include <QApplication>
#include <QProcess>
#include <mutex>

#include "platform/base/report.h"
#include "platform/controls/GstModule.h"
#include "platform/files/files.h"

namespace platform::win {

namespace {

std::function<bool(const std::string&, UINT)>& handler() {
    static std::function<bool(const std::string&, UINT)> h;
    return h;
}

void Beep() {
    if (qApp) QApplication::beep();
}

// Sounds are played by the GStreamer module, loaded on the first sound; without it, a sound
// cannot be played (said once on stderr).
bool Play(const std::string& path, UINT flags) {
    std::string why;
    const controls::GstModuleEntry* module = controls::LoadGstModule(&why);
    if (!module) {
        static std::once_flag once;
        std::call_once(once,
                       [&] { platform::base::Report("sound", "Cannot play sounds: " + why); });
        return false;
    }
    return module->playSound(path.c_str(), (flags & SND_ASYNC) != 0);
}

}  // namespace

void SetSoundHandler(std::function<bool(const std::string&, UINT)> h) {
    handler() = std::move(h);
}

long long StartProgram(const std::string& path, const std::vector<std::string>& arguments) {
    std::string program = files::Resolve(path);
    QStringList args;
    for (const auto& a : arguments) args << QString::fromStdString(a);
    qint64 pid = 0;
    if (!QProcess::startDetached(QString::fromStdString(program), args, QString(), &pid)) return 0;
    return pid;
}

}  // namespace platform::win

BOOL sndPlaySoundA(LPCSTR lpszSoundName, UINT fuSound) {
    std::string name = lpszSoundName ? lpszSoundName : "";
    if (auto& h = platform::win::handler()) return h(name, fuSound) ? TRUE : FALSE;
    std::string path = platform::files::Resolve(name);
    if (!name.empty() && platform::files::Exists(path) && platform::win::Play(path, fuSound)) {
        return TRUE;
    }
    if (!(fuSound & SND_NODEFAULT)) platform::win::Beep();
    return FALSE;
}
