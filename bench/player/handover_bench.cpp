// The hand-over of a second start: from starting the second process with a file to that file
// playing in the first instance; and the first instance's processor use while a file plays with
// every position timer running.
//
//   build/bench/player/handover_bench
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QProcess>
#include <QThread>
#include <chrono>
#include <fstream>
#include <memory>
#include <sstream>

#include "platform/win/messages.h"
#include "tests/support/media_files.h"
#include "tests/support/test_support.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Player {
    testing_support::TempDir folder;
    QProcess first;

    Player() {
        qputenv("KESTO_PROGRAM_DIR", QByteArray::fromStdString(folder.path()));
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(folder.path()));
        qputenv("KESTO_REGISTRY", QByteArray::fromStdString(folder / "registry.reg"));
        qputenv("KESTO_AUDIO_SINK", "fakesink");
        qputenv("KESTO_VIDEO_SINK", "fakesink");
        qputenv("QT_QPA_PLATFORM", "offscreen");
        std::string start = Wav("start.dat", 600);
        first.start(KESTO_EXE, {QString::fromStdString(start)});
        first.waitForStarted();
        while (!FindWindowA("ThunderRT6FormDC", "Startup")) QThread::msleep(5);
    }
    ~Player() {
        first.kill();
        first.waitForFinished();
    }
    std::string Wav(const std::string& name, double seconds) {
        std::string path = folder / name;
        testing_support::WriteFile(path, testing_support::Wav(seconds));
        return path;
    }
    static bool Showing(const std::string& title) {
        HWND main = FindWindowA("ThunderRT6FormDC", "");
        return main && FindWindowExA(main, nullptr, nullptr, title.c_str());
    }
    double CpuSeconds() {
        std::ifstream stat("/proc/" + std::to_string(first.processId()) + "/stat");
        std::string line;
        std::getline(stat, line);
        std::istringstream fields(line.substr(line.rfind(')') + 2));
        std::string skip;
        for (int i = 0; i < 11; ++i) fields >> skip;
        double user = 0, system = 0;
        fields >> user >> system;
        return (user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
    }
};

Player& player() {
    static Player p;
    return p;
}

void BM_SecondStartUntilPlaying(benchmark::State& state) {
    Player& p = player();
    int n = 0;
    for (auto _ : state) {
        std::string name = "handed" + std::to_string(n++) + ".wav";
        std::string file = p.Wav(name, 5);
        auto begin = Clock::now();
        QProcess second;
        second.start(KESTO_EXE, {QString::fromStdString(file)});
        while (!Player::Showing(name)) QThread::usleep(500);
        auto end = Clock::now();
        second.waitForFinished();
        state.SetIterationTime(std::chrono::duration<double>(end - begin).count());
    }
}
BENCHMARK(BM_SecondStartUntilPlaying)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

void BM_ProcessorUseWhilePlaying(benchmark::State& state) {
    Player& p = player();
    for (auto _ : state) {
        double cpu0 = p.CpuSeconds();
        auto t0 = Clock::now();
        QThread::sleep(5);
        double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
        state.counters["cpu_percent"] = 100.0 * (p.CpuSeconds() - cpu0) / seconds;
    }
}
BENCHMARK(BM_ProcessorUseWhilePlaying)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
